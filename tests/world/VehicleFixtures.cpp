#include "VehicleFixtures.h"

#include <btBulletDynamicsCommon.h>

#include "audio/CSound.h"
#include "core/CGameEngine.h"
#include "world/BodyTransform.h"
#include "world/CItemEntity.h"
#include "world/CPhysicsBody.h"
#include "world/CStaticObjectEntity.h"
#include "world/CVehicleEntity.h"
#include "world/CVehicleTuningParams.h"
#include "world/vehicle/btRaycastVehicle.h"

using namespace irr;
using testsupport::captureStdout;

namespace vehicletest {

namespace {
const float kStep = 1.0f / 60.0f;
}

void placeBody(btRigidBody* body, const core::vector3df& position, float yawDegrees)
{
    moveBody(body, transformFromDegrees(position, core::vector3df(0.0f, yawDegrees, 0.0f)));
}

void teleport(CVehicleEntity* car, const core::vector3df& position, float yawDegrees)
{
    btRigidBody* body = car->getPhysicsBody()->getRigidBody();
    placeBody(body, position, yawDegrees);
    body->setLinearVelocity(btVector3(0, 0, 0));
    body->setAngularVelocity(btVector3(0, 0, 0));
    car->updateNodes();
}

VehicleWorldTest::VehicleWorldTest()
{
    // The car's body is its chassis box; the wheel a small block round its centre.
    dir.write("body.obj", entitytest::boxesObj({{{-1, 1, -2}, {1, 2, 2}}}));
    dir.write("wheel.obj", entitytest::boxesObj({{{-0.1f, -0.5f, -0.5f}, {0.1f, 0.5f, 0.5f}}}));
    addBlock("Ground", core::vector3df(-100, -1, -100), core::vector3df(100, 0, 100), 1);
}

VehicleWorldTest::~VehicleWorldTest()
{
    captureStdout([&] { manager.clear(); });
}

CVehicleEntity* VehicleWorldTest::addCar(const std::string& name, CControllerPack* controller,
                                         const SCarRecord& record)
{
    CVehicleEntity* car = nullptr;
    bool added = false;
    out = captureStdout([&] {
        CPhysicsBody* body = nullptr;
        if (!record.physic.empty())
            body = new CPhysicsBody(record.physic, "", 2, 1, 4, record.mass, engine.get(),
                                    new CVehicleTuningParams(record.physic));
        CSound* sound = record.withSound ? new CSound(dir.file("engine.ogg"), nullptr) : nullptr;
        auto path = [&](const std::string& file) { return file == "NULL" ? file : dir.file(file); };
        car = new CVehicleEntity(manager.getVehicleCount(), name, name + " Display",
                                 path(record.body), path(record.wheels[0]), path(record.wheels[1]),
                                 path(record.wheels[2]), path(record.wheels[3]), record.position,
                                 record.rotation, core::vector3df(1, 1, 1), record.transparent,
                                 video::SColor(255, 10, 20, 30), sound, body, controller,
                                 engine.get());
        car->setMaxEngineForce(record.maxEngineForce);
        car->setMaxBreakingForce(record.maxBreakingForce);
        car->setMaxVelocity(record.maxVelocity);
        added = manager.addVehicle(car);
    });
    return added ? car : nullptr;
}

CStaticObjectEntity* VehicleWorldTest::addBlock(const std::string& name,
                                                const core::vector3df& minimum,
                                                const core::vector3df& maximum, int mapping)
{
    const std::string file = dir.file(name + ".obj");
    dir.write(name + ".obj", entitytest::boxesObj({{minimum, maximum}}));
    CStaticObjectEntity* object = nullptr;
    captureStdout([&] {
        CPhysicsBody* body = new CPhysicsBody("MESH", file, 1, 1, 1, 0, engine.get(), nullptr);
        object = new CStaticObjectEntity(manager.getStaticObjectCount(), name, name, file,
                                         core::vector3df(0, 0, 0), core::vector3df(0, 0, 0),
                                         core::vector3df(1, 1, 1), core::vector3df(0, 0, 0), false,
                                         mapping, {}, body, engine.get());
        manager.addStaticObject(object);
    });
    return object;
}

CItemEntity* VehicleWorldTest::addItem(const std::string& name, s32 effectMs, const char* type,
                                       f32 value)
{
    CItemEntity* item = nullptr;
    captureStdout([&] { item = new CItemEntity(name, "", &manager); });
    item->setEffectTime(effectMs);
    item->setType(type);
    item->setValue(value);
    return item;
}

CStaticObjectEntity* VehicleWorldTest::ground() { return manager.getStaticObject(0); }

btRigidBody* VehicleWorldTest::groundBody() { return ground()->getPhysicsBody()->getRigidBody(); }

void VehicleWorldTest::step(int count)
{
    for (int i = 0; i < count; ++i) {
        engine->getDynamicsWorld()->stepSimulation(kStep, 1, kStep);
        for (int v = 0; v < manager.getVehicleCount(); ++v)
            manager.getVehicle(v)->updateNodes();
    }
}

void VehicleWorldTest::setClock(u32 ms) { engine.setTime(ms); }

void VehicleWorldTest::setSpeed(CVehicleEntity* car, float kmh)
{
    btRigidBody* body = car->getPhysicsBody()->getRigidBody();
    const btVector3 forward = body->getWorldTransform().getBasis().getColumn(2);
    // The vehicle reads the chassis speed after the step has added gravity to it.
    const btVector3 gravity = engine->getDynamicsWorld()->getGravity();
    body->setLinearVelocity(forward * (kmh / 3.6f) - gravity * kStep);
    body->setAngularVelocity(btVector3(0, 0, 0));
    step();
}

float VehicleWorldTest::speedOf(CVehicleEntity* car)
{
    return car->getPhysicsBody()->getVehicle()->getCurrentSpeedKmHour();
}

} // namespace vehicletest
