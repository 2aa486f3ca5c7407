// The raycast vehicle driving on a real physics world: suspension sag, engine, brake, steering,
// wheels in the air, and the bodies its wheels stand on.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>
#include <cmath>

#include "PhysicsFixtures.h"
#include "world/CPhysicsBody.h"
#include "world/vehicle/btDefaultVehicleRaycaster.h"
#include "world/vehicle/btRaycastVehicle.h"

using namespace physicstest;
// The physics library has vehicle classes of the same names; these are the game's own.
using Vehicle = sandvolt::btRaycastVehicle;
using Wheel = sandvolt::btWheelInfo;

namespace {

const int kSettleSteps = 240;

struct RaycastVehicleTest : PhysicsWorldTest {
    // A car of the small-wheeled family standing still on the ground.
    CPhysicsBody* settledCar(const std::string& type = "VEHICLE0", float height = 0.1f)
    {
        CPhysicsBody* car = addCar(type, btVector3(0, height, 0));
        step(kSettleSteps);
        return car;
    }
    static void drive(Vehicle* vehicle, float engineForce, float brake, float steering)
    {
        for (int wheel = 2; wheel < 4; ++wheel) {
            vehicle->applyEngineForce(engineForce, wheel);
            vehicle->setBrake(brake, wheel);
        }
        for (int wheel = 0; wheel < 2; ++wheel)
            vehicle->setSteeringValue(steering, wheel);
    }
    static void setVelocity(CPhysicsBody* car, const btVector3& velocity)
    {
        car->getRigidBody()->setLinearVelocity(velocity);
        car->getRigidBody()->setAngularVelocity(btVector3(0, 0, 0));
    }
};

struct SSagCase {
    const char* type;
    float wheelRadius;
};

TEST_F(RaycastVehicleTest, CarSettlesAtTheSuspensionSag)
{
    // Four springs of stiffness 20 carry the car's weight under gravity 20: the mean sag is
    // 20 / (4 * 20) = 0.25 of the rest length 0.8, shared between the axles by the lever rule.
    const SSagCase cases[] = {{"VEHICLE0", 0.5f}, {"VEHICLE1", 0.72f}};
    for (const SSagCase& c : cases) {
        SCOPED_TRACE(c.type);
        CPhysicsBody* car = addCar(c.type, btVector3(c.wheelRadius == 0.5f ? 0 : 30, 0.1f, 0));
        step(kSettleSteps);
        Vehicle* vehicle = car->getVehicle();
        ASSERT_NE(vehicle, nullptr);

        const double hz = 2.0, r = c.wheelRadius;
        const double front = hz - r, rear = 1.2 * r - hz;
        // An axle's share of the weight is the other axle's lever over the wheelbase.
        const double frontSag = 2 * 0.25 * -rear / (front - rear);
        const double rearSag = 2 * 0.25 * front / (front - rear);
        const double expected[4] = {0.8 - frontSag, 0.8 - frontSag, 0.8 - rearSag, 0.8 - rearSag};
        for (int i = 0; i < 4; ++i) {
            const Wheel& wheel = vehicle->getWheelInfo(i);
            EXPECT_NEAR(wheel.m_raycastInfo.m_suspensionLength, expected[i], 0.005) << "wheel " << i;
            EXPECT_EQ(wheel.m_raycastInfo.m_groundObject, ground) << "wheel " << i;
        }
        // Contact points lie on the ground: origin + 1.3 - (length + radius) = 0 on average.
        const btVector3 before = car->getRigidBody()->getCenterOfMassPosition();
        EXPECT_NEAR(before.y(), 0.55 + r - 1.3, 0.01);
        step(60);
        EXPECT_LT((car->getRigidBody()->getCenterOfMassPosition() - before).length(), 1e-3);
    }
}

struct SDriveCase {
    float engineForce;
    int sign;
};

TEST_F(RaycastVehicleTest, EngineForceDrivesAndSpeedCarriesTheDirection)
{
    const SDriveCase cases[] = {{1500, +1}, {-1500, -1}};
    for (const SDriveCase& c : cases) {
        SCOPED_TRACE(c.engineForce);
        CPhysicsBody* car = addCar("VEHICLE0", btVector3(c.sign * 20.0f, 0.1f, 0));
        step(kSettleSteps);
        const btVector3 start = car->getRigidBody()->getCenterOfMassPosition();
        drive(car->getVehicle(), c.engineForce, 0, 0);
        step(60);
        btVector3 before = car->getRigidBody()->getLinearVelocity();
        step(1);
        const btVector3 moved = car->getRigidBody()->getCenterOfMassPosition() - start;
        EXPECT_GT(c.sign * moved.z(), 1.0f);          // +z is the car's front
        EXPECT_LT(std::fabs(moved.x()), 0.05f);
        const float speed = car->getVehicle()->getCurrentSpeedKmHour();
        EXPECT_GT(c.sign * speed, 0.0f);
        // The speed is that of the chassis when the step began, in km/h.
        EXPECT_NEAR(speed, c.sign * 3.6f * before.length(), 0.01f * std::fabs(speed));
    }
}

TEST_F(RaycastVehicleTest, UnbrakedCarRollsFreelyButGripsSideways)
{
    CPhysicsBody* car = settledCar();
    const btVector3 rolling[] = {{0, 0, 5}, {0, 0, -5}};
    for (const btVector3& v : rolling) {
        SCOPED_TRACE(v.z());
        setVelocity(car, v);
        step(60);
        EXPECT_NEAR(car->getRigidBody()->getLinearVelocity().z(), v.z(), 0.05f);
    }
    setVelocity(car, btVector3(4, 0, 0));
    step(30);
    EXPECT_LT(std::fabs(car->getRigidBody()->getLinearVelocity().x()), 0.1f);
}

struct SBrakeCase {
    float engineForce;
    float brake;
    float dt;
    float momentumChange;    // along +z, over one step, both driven wheels together
};

TEST_F(RaycastVehicleTest, BrakeIsAnImpulseLimitPerStepAndEngineForceOverridesIt)
{
    const SBrakeCase cases[] = {
        {0, 50, 1.0f / 60, -100},
        {0, 50, 1.0f / 120, -100},     // not scaled by the step length
        {0, 20, 1.0f / 60, -40},
        {600, 50, 1.0f / 60, 2 * 600.0f / 60},
    };
    CPhysicsBody* car = settledCar();
    const float mass = car->getMass();
    for (const SBrakeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "brake " << c.brake << " dt " << c.dt << " engine " << c.engineForce);
        setVelocity(car, btVector3(0, 0, 10));
        drive(car->getVehicle(), c.engineForce, c.brake, 0);
        step(1, c.dt);
        const float change = mass * (car->getRigidBody()->getLinearVelocity().z() - 10.0f);
        EXPECT_NEAR(change, c.momentumChange, 0.02f * std::fabs(c.momentumChange));
        drive(car->getVehicle(), 0, 0, 0);
        step(30);
    }
}

struct SSteerCase {
    float steering;
    int side;
};

TEST_F(RaycastVehicleTest, PositiveSteeringTurnsTowardsPlusX)
{
    const SSteerCase cases[] = {{0.3f, +1}, {-0.3f, -1}};
    for (const SSteerCase& c : cases) {
        SCOPED_TRACE(c.steering);
        CPhysicsBody* car = addCar("VEHICLE0", btVector3(0, 0.1f, c.side * 30.0f));
        step(kSettleSteps);
        const btVector3 start = car->getRigidBody()->getCenterOfMassPosition();
        drive(car->getVehicle(), 1500, 0, c.steering);
        step(120);
        const btTransform& chassis = car->getRigidBody()->getCenterOfMassTransform();
        const btVector3 moved = chassis.getOrigin() - start;
        EXPECT_GT(moved.z(), 1.0f);
        EXPECT_GT(c.side * moved.x(), 0.5f);
        EXPECT_GT(c.side * chassis.getBasis().getColumn(2).x(), 0.1f);   // the nose points there
    }
}

TEST_F(RaycastVehicleTest, WheelInTheAirKeepsSpinningAndSlowsByOnePercentPerStep)
{
    CPhysicsBody* car = settledCar();
    Vehicle* vehicle = car->getVehicle();
    drive(vehicle, 1500, 0, 0);
    step(60);
    drive(vehicle, 0, 0, 0);
    btTransform lifted = car->getRigidBody()->getWorldTransform();
    lifted.getOrigin() += btVector3(0, 50, 0);
    car->getRigidBody()->setWorldTransform(lifted);
    step(1);
    for (int n = 0; n < 3; ++n) {
        float spin[4], angle[4];
        for (int i = 0; i < 4; ++i) {
            spin[i] = vehicle->getWheelInfo(i).m_deltaRotation;
            angle[i] = vehicle->getWheelInfo(i).m_rotation;
            ASSERT_GT(spin[i], 0.01f) << "wheel " << i;
        }
        step(1);
        for (int i = 0; i < 4; ++i) {
            const Wheel& wheel = vehicle->getWheelInfo(i);
            EXPECT_EQ(wheel.m_raycastInfo.m_groundObject, nullptr);
            EXPECT_NEAR(wheel.m_rotation, angle[i] + spin[i], 1e-4f);
            EXPECT_NEAR(wheel.m_deltaRotation, 0.99f * spin[i], 1e-6f);
        }
    }
}

TEST_F(RaycastVehicleTest, RaycasterReturnsOnlyBodiesThatCarryAWheel)
{
    btRigidBody* crate = addBox(btVector3(1, 1, 1), btVector3(-20, 1, 0), 10);
    btRigidBody* trigger = addBox(btVector3(1, 1, 1), btVector3(20, 1, 0), 0);
    trigger->setCollisionFlags(trigger->getCollisionFlags() | btCollisionObject::CF_NO_CONTACT_RESPONSE);
    struct SRayCase {
        const char* what;
        btVector3 from, to;
        btRigidBody* hit;
        float fraction;
        btVector3 point;
    };
    const SRayCase cases[] = {
        {"ground", {0, 5, 0}, {0, -5, 0}, ground, 0.5f, {0, 0, 0}},
        {"crate on the ground", {-20, 5, 0}, {-20, -5, 0}, crate, 0.3f, {-20, 2, 0}},
        {"trigger", {20, 5, 0}, {20, -5, 0}, nullptr, -1, {0, 0, 0}},
        {"nothing in reach", {0, 5, 0}, {0, 1, 0}, nullptr, -1, {0, 0, 0}},
    };
    step(1);
    sandvolt::btDefaultVehicleRaycaster raycaster(world());
    for (const SRayCase& c : cases) {
        SCOPED_TRACE(c.what);
        sandvolt::btVehicleRaycaster::btVehicleRaycasterResult result;
        EXPECT_EQ(raycaster.castRay(c.from, c.to, result), c.hit);
        EXPECT_NEAR(result.m_distFraction, c.fraction, 1e-3f);
        if (c.hit) {
            EXPECT_NEAR((result.m_hitPointInWorld - c.point).length(), 0, 2e-3f);
            EXPECT_NEAR(result.m_hitNormalInWorld.y(), 1, 1e-4f);
        }
    }
}

TEST_F(RaycastVehicleTest, CarStandingOnAnotherCarPushesItSideways)
{
    CPhysicsBody* below = settledCar();
    // The lower car's roof is at 1.75; the upper car's wheels reach 0.25 below its origin.
    CPhysicsBody* above = addCar("VEHICLE0", btVector3(0, 1.6f, 0));
    // The lower car leans back a little under its own weight: hold the upper one on the roof.
    drive(above->getVehicle(), 0, 100, 0);
    step(kSettleSteps);
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(above->getVehicle()->getWheelInfo(i).m_raycastInfo.m_groundObject,
                  below->getRigidBody()) << "wheel " << i;

    btRigidBody* lower = below->getRigidBody();
    btRigidBody* upper = above->getRigidBody();
    setVelocity(above, btVector3(2, 0, 0));
    const btVector3 lowerBefore = lower->getLinearVelocity();
    step(1);
    const float upperChange = above->getMass() * (upper->getLinearVelocity().x() - 2.0f);
    const float lowerChange = below->getMass() * (lower->getLinearVelocity().x() - lowerBefore.x());
    EXPECT_LT(upperChange, -20.0f);               // the upper car grips ...
    EXPECT_NEAR(lowerChange, -upperChange, 0.02f * std::fabs(upperChange));   // ... on the lower
}

TEST_F(RaycastVehicleTest, GripAndBrakeActRelativeToTheBodyUnderTheWheels)
{
    // On a slab that slides with the car there is nothing to grip or brake against; on the
    // ground there is.
    btRigidBody* slab = addBox(btVector3(4, 0.25f, 6), btVector3(40, 0.25f, 0), 4000);
    slab->setFriction(0);
    ground->setFriction(0);
    CPhysicsBody* onSlab = addCar("VEHICLE0", btVector3(40, 0.6f, 0));
    CPhysicsBody* onGround = addCar("VEHICLE0", btVector3(0, 0.1f, 0));
    step(kSettleSteps);
    ASSERT_EQ(onSlab->getVehicle()->getWheelInfo(0).m_raycastInfo.m_groundObject, slab);

    const btVector3 moving(2, 0, 3);
    slab->setLinearVelocity(moving);
    for (CPhysicsBody* car : {onSlab, onGround}) {
        setVelocity(car, moving);
        drive(car->getVehicle(), 0, 50, 0);
    }
    step(20);
    const btVector3 slabCar = onSlab->getRigidBody()->getLinearVelocity();
    EXPECT_NEAR(slabCar.x(), 2.0f, 0.05f);
    EXPECT_NEAR(slabCar.z(), 3.0f, 0.05f);
    EXPECT_NEAR(slab->getLinearVelocity().x(), 2.0f, 0.05f);
    const btVector3 groundCar = onGround->getRigidBody()->getLinearVelocity();
    EXPECT_LT(std::fabs(groundCar.x()), 0.1f);
    EXPECT_LT(groundCar.z(), 1.0f);    // 20 steps of 100 against 400 take 5 off
}

} // namespace
