#pragma once
// A small race world for the car and controller tests: the game's engine object on the null
// driver, the entity manager with a flat static ground (top at y = 0) and cars built as the
// mission loader builds them, with an OBJ body and OBJ wheels.
#include <gtest/gtest.h>
#include <irrlicht.h>
#include <string>

#include "EntityFixtures.h"
#include "race/CControllerPack.h"

class CItemEntity;
class CStaticObjectEntity;
class CVehicleEntity;
class btRigidBody;

namespace vehicletest {

// The body at `position` facing `yawDegrees` about +y; its interpolated transform, which the
// scene and the camera follow, goes there too.
void placeBody(btRigidBody* body, const irr::core::vector3df& position, float yawDegrees);
// Puts the car somewhere else, at rest, facing along `yawDegrees`, its nodes with it.
void teleport(CVehicleEntity* car, const irr::core::vector3df& position, float yawDegrees = 0.0f);

// The car of a "Vehicle" record; "NULL" or a missing file leaves that part out.
struct SCarRecord {
    std::string body = "body.obj";
    std::string wheels[4] = {"wheel.obj", "wheel.obj", "wheel.obj", "wheel.obj"};
    std::string physic = "VEHICLE0"; // "" gives no physics body at all
    float mass = 400.0f;
    bool withSound = true;
    bool transparent = false;
    irr::core::vector3df position{0, 0.1f, 0};
    irr::core::vector3df rotation{0, 0, 0};
    float maxEngineForce = 1500.0f;
    float maxBreakingForce = 40.0f;
    float maxVelocity = 60.0f;
};

// A controller whose values the test sets; it counts its own destruction.
class CFixedControllerPack : public CControllerPack {
public:
    explicit CFixedControllerPack(int* destroyed = nullptr) : destroyed(destroyed) {}
    ~CFixedControllerPack() override
    {
        if (destroyed)
            ++*destroyed;
    }
    void setEngineForce(float force) override { engineForce = force; }
    float getEngineForce() override { return engineForce; }
    void setBrakeForce(float force) override { brakeForce = force; }
    float getBrakeForce() override { return brakeForce; }
    void setSteering(float value) override { steering = value; }
    float getSteering() override { return steering; }
    void setVehicle(CVehicleEntity* car) override { vehicle = car; }
    CVehicleEntity* getVehicle() override { return vehicle; }
    void update(float, bool) override {}
    bool isManual() override { return false; }

    float engineForce = 0.0f;
    float brakeForce = 0.0f;
    float steering = 0.0f;
    CVehicleEntity* vehicle = nullptr;
    int* destroyed;
};

class VehicleWorldTest : public entitytest::EntityWorldTest {
protected:
    VehicleWorldTest();
    ~VehicleWorldTest() override;

    // Built and handed to the manager as the loader does; null when the manager refused it.
    // What the construction printed is kept in `out`.
    CVehicleEntity* addCar(const std::string& name, CControllerPack* controller,
                           const SCarRecord& record = SCarRecord());
    btRigidBody* groundBody();
    CStaticObjectEntity* ground();
    // A static block of the track from `minimum` to `maximum`: friction 0.75, or with mapping 1
    // the triplanar ground's 0.
    CStaticObjectEntity* addBlock(const std::string& name, const irr::core::vector3df& minimum,
                                  const irr::core::vector3df& maximum, int mapping = 0);
    // A pick-up item of the manager, not placed anywhere.
    CItemEntity* addItem(const std::string& name, irr::s32 effectMs, const char* type,
                         irr::f32 value = 100.0f);
    // One fixed physics step of 1/60 s, as the race steps the world at 60 frames a second,
    // followed by every car's node update.
    void step(int count = 1);
    // The game clock, in ms (the engine's timer; the tests never pause).
    void setClock(irr::u32 ms);
    // The car rolling along its own forward axis at `kmh`; one physics step later the raycast
    // vehicle reports that speed.
    void setSpeed(CVehicleEntity* car, float kmh);
    float speedOf(CVehicleEntity* car);

    std::string out;
};

} // namespace vehicletest
