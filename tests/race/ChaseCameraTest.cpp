// The chase camera: snapping behind the car, the leash that only pulls, and a car not in the scene.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>
#include <cmath>

#include "core/CGameEngine.h"
#include "race/CChaseCamera.h"
#include "world/CPhysicsBody.h"
#include "world/CVehicleEntity.h"
#include "world/VehicleFixtures.h"

using namespace irr;

namespace {

struct ChaseCameraTest : vehicletest::VehicleWorldTest {
    ChaseCameraTest() : camera(engine.get())
    {
        car = addCar("Player", new vehicletest::CFixedControllerPack());
        camera.setDistance(9.0f);
        camera.setHeight(4.5f);
    }
    // Where the scene shows the car: its interpolated transform.
    void place(const core::vector3df& at, float yawDegrees)
    {
        vehicletest::placeBody(car->getPhysicsBody()->getRigidBody(), at, yawDegrees);
    }
    core::vector3df position() { return camera.getCameraNode()->getPosition(); }
    core::vector3df target() { return camera.getCameraNode()->getTarget(); }

    CChaseCamera camera;
    CVehicleEntity* car;
};

void expectNear(const core::vector3df& actual, const core::vector3df& expected, const char* what)
{
    EXPECT_NEAR(actual.X, expected.X, 1e-4f) << what;
    EXPECT_NEAR(actual.Y, expected.Y, 1e-4f) << what;
    EXPECT_NEAR(actual.Z, expected.Z, 1e-4f) << what;
}

TEST_F(ChaseCameraTest, SnapPutsTheCameraBehindTheCarLookingAboveIt)
{
    ASSERT_EQ(engine->getSceneManager()->getActiveCamera(), camera.getCameraNode());
    const core::vector3df at(5.0f, 1.0f, -7.0f);
    for (float yaw : {0.0f, 90.0f, -135.0f}) {
        place(at, yaw);
        camera.snapBehind(car);
        const float r = yaw * 0.017453292f;
        const core::vector3df forward(std::sin(r), 0.0f, std::cos(r));
        expectNear(position(), at - forward * 9.0f + core::vector3df(0, 4.5f, 0), "camera");
        expectNear(target(), at + core::vector3df(0, 2.25f, 0), "target");
    }
}

TEST_F(ChaseCameraTest, LeashPullsOnlyWhenTheCarIsFurtherThanItsLength)
{
    place(core::vector3df(0, 1, 0), 0.0f);
    camera.snapBehind(car); // leash point (0, 1, -9)

    place(core::vector3df(3, 1, -5), 0.0f); // 5 from the leash point
    EXPECT_TRUE(camera.update(car));
    expectNear(position(), core::vector3df(0, 5.5f, -9), "a near car leaves the camera");
    expectNear(target(), core::vector3df(3, 3.25f, -5), "but the camera looks at it");

    place(core::vector3df(0, 1, 3), 0.0f); // 12 from the leash point
    EXPECT_TRUE(camera.update(car));
    expectNear(position(), core::vector3df(0, 5.5f, -6), "pulled to 9 from the car");

    // Turning on the spot does not swing the camera round behind the car.
    place(core::vector3df(0, 1, 3), 90.0f);
    EXPECT_TRUE(camera.update(car));
    expectNear(position(), core::vector3df(0, 5.5f, -6), "turning on the spot");
}

TEST_F(ChaseCameraTest, CarOutsideTheSceneLeavesTheCameraAlone)
{
    place(core::vector3df(0, 1, 0), 0.0f);
    camera.snapBehind(car);
    const core::vector3df before = position();
    CVehicleEntity ghost(0, "Ghost");
    EXPECT_FALSE(camera.update(&ghost));
    camera.snapBehind(&ghost);
    camera.snapBehind(nullptr);
    expectNear(position(), before, "unchanged");
}

} // namespace
