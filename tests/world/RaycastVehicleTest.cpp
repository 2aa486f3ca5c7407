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


float suspensionForceSum(Vehicle* vehicle)
{
    float sum = 0;
    for (int i = 0; i < vehicle->getNumWheels(); ++i)
        sum += vehicle->getWheelInfo(i).m_wheelsSuspensionForce;
    return sum;
}

// Sliding sideways far faster than the tyres can hold: each wheel pushes no harder than its load
// times the friction slip (10), so the car loses only that much speed in a step.
TEST_F(RaycastVehicleTest, FastSideSlideIsHeldOnlyUpToTheTyresGrip)
{
    CPhysicsBody* car = settledCar();
    setVelocity(car, btVector3(20, 0, 0));
    step(1);
    Vehicle* vehicle = car->getVehicle();
    const float limit = suspensionForceSum(vehicle) * kStep * 10.0f / car->getMass();
    EXPECT_NEAR(car->getRigidBody()->getLinearVelocity().x() - 20.0f, -limit, 0.02f * limit);
    for (int i = 0; i < 4; ++i) {
        EXPECT_LT(vehicle->getWheelInfo(i).m_skidInfo, 0.9f) << "wheel " << i;
        EXPECT_GT(vehicle->getWheelInfo(i).m_skidInfo, 0.5f) << "wheel " << i;
    }
}

// Below the grip limit the side grip takes about a third of a slow slide each step.
TEST_F(RaycastVehicleTest, SlowSideSlideDiesAwayWithinATenthOfASecond)
{
    CPhysicsBody* car = settledCar();
    setVelocity(car, btVector3(0.5f, 0, 0));
    step(6);
    EXPECT_LT(std::fabs(car->getRigidBody()->getLinearVelocity().x()), 0.06f);
    EXPECT_GT(car->getRigidBody()->getLinearVelocity().x(), 0.0f) << "gripping, not thrown back";
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(car->getVehicle()->getWheelInfo(i).m_skidInfo, 1.0f) << "wheel " << i;
}

// The forward push counts half against the grip limit: a force the tyres can carry reaches the
// car in full, a far larger one spins the wheels.
TEST_F(RaycastVehicleTest, StrongEngineForceIsPassedOnUpToTheGripLimit)
{
    const struct {
        float engineForce;
        bool full;
    } cases[] = {{30000, true}, {120000, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.engineForce);
        CPhysicsBody* car = addCar("VEHICLE0", btVector3(c.full ? -30.0f : 30.0f, 0.1f, -30.0f));
        step(kSettleSteps);
        // A little sideways drift, as a car always has.
        setVelocity(car, btVector3(0.2f, 0, 0));
        drive(car->getVehicle(), c.engineForce, 0, 0);
        step(1);
        const float full = 2 * c.engineForce * kStep / car->getMass();
        const float gained = car->getRigidBody()->getLinearVelocity().z();
        if (c.full) {
            EXPECT_NEAR(gained, full, 0.01f * full);
            EXPECT_EQ(car->getVehicle()->getWheelInfo(2).m_skidInfo, 1.0f);
        } else {
            EXPECT_LT(gained, 0.5f * full);
            EXPECT_LT(car->getVehicle()->getWheelInfo(2).m_skidInfo, 0.5f);
        }
    }
}

// The side grip pushes the car near its centre of mass: sliding sideways tips it over about a
// twentieth as fast as a push at the contact points would.
TEST_F(RaycastVehicleTest, RollInfluenceKeepsASlidingCarFromTipping)
{
    float roll[2];
    const float influence[2] = {0.05f, 1.0f};
    for (int k = 0; k < 2; ++k) {
        CPhysicsBody* car = addCar("VEHICLE0", btVector3(k * 30.0f - 15.0f, 0.1f, 0));
        step(kSettleSteps);
        Vehicle* vehicle = car->getVehicle();
        ASSERT_FLOAT_EQ(vehicle->getWheelInfo(0).m_rollInfluence, 0.05f) << "the game's tuning";
        for (int i = 0; i < 4; ++i)
            vehicle->getWheelInfo(i).m_rollInfluence = influence[k];
        setVelocity(car, btVector3(3, 0, 0));
        step(1);
        roll[k] = car->getRigidBody()->getAngularVelocity().z();
    }
    // Held at the tyres, the body tips away from the slide (about +z for a slide to +x).
    EXPECT_GT(roll[1], 0.1f);
    EXPECT_GT(roll[0] / roll[1], 0.03f);
    EXPECT_LT(roll[0] / roll[1], 0.08f);
}

// A hard landing: the springs push far harder than 6000 each, but no wheel passes on more.
TEST_F(RaycastVehicleTest, HardLandingIsCushionedByAtMost6000PerWheel)
{
    CPhysicsBody* car = settledCar();
    setVelocity(car, btVector3(0, -15, 0));
    step(1);
    Vehicle* vehicle = car->getVehicle();
    for (int i = 0; i < 4; ++i)
        ASSERT_GT(vehicle->getWheelInfo(i).m_wheelsSuspensionForce, 6000.0f) << "wheel " << i;
    const float expected = 4 * 6000.0f * kStep / car->getMass() - 20.0f * kStep;
    EXPECT_NEAR(car->getRigidBody()->getLinearVelocity().y() + 15.0f, expected, 0.01f * expected);
}

// A hard brake at walking pace holds the car: standing within four steps.
TEST_F(RaycastVehicleTest, HardBrakeAtWalkingPaceStopsTheCar)
{
    CPhysicsBody* car = settledCar();
    setVelocity(car, btVector3(0, 0, 0.5f));
    drive(car->getVehicle(), 0, 1000, 0);
    step(4);
    EXPECT_LT(std::fabs(car->getRigidBody()->getLinearVelocity().z()), 0.05f);
}

// A ray that always meets the ground, at a given tilt, compressing the spring from 0.8 to 0.6.
class CTiltedGround : public sandvolt::btVehicleRaycaster {
public:
    CTiltedGround(btRigidBody* ground, float degrees) : ground(ground), degrees(degrees) {}
    btRigidBody* castRay(const btVector3& from, const btVector3& to, btVehicleRaycasterResult& result) override
    {
        result.m_distFraction = 1.1f / 1.3f;
        result.m_hitPointInWorld = from.lerp(to, result.m_distFraction);
        const float a = degrees * SIMD_PI / 180.0f;
        result.m_hitNormalInWorld = btVector3(std::sin(a), std::cos(a), 0);
        return ground;
    }

private:
    btRigidBody* ground;
    float degrees;
};

// The spring pushes along a tilted contact as much harder as the contact is steeper, up to ten
// times: a face the ray meets nearly along it does not fling the car.
TEST_F(RaycastVehicleTest, SpringOnASteepContactPushesAtMostTenTimesHarder)
{
    const struct {
        float degrees;
        float factor;
    } cases[] = {{0, 1}, {60, 2}, {80, 1 / std::cos(80 * SIMD_PI / 180)}, {87, 10}, {89.9f, 10}};
    btDefaultMotionState motion;
    btBoxShape shape(btVector3(1, 0.5f, 2));
    btVector3 inertia;
    shape.calculateLocalInertia(400, inertia);
    btRigidBody chassis(400, &motion, &shape, inertia);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.degrees);
        CTiltedGround tilted(ground, c.degrees);
        Vehicle::btVehicleTuning tuning;
        Vehicle vehicle(tuning, &chassis, &tilted);
        vehicle.setCoordinateSystem(0, 1, 2);
        Wheel& wheel = vehicle.addWheel(btVector3(0, 0, 0), btVector3(0, -1, 0), btVector3(-1, 0, 0), 0.8f,
                                        0.5f, tuning, true);
        wheel.m_suspensionStiffness = 20;
        chassis.setLinearVelocity(btVector3(0, -1, 0));
        chassis.setAngularVelocity(btVector3(0, 0, 0));
        vehicle.updateVehicle(kStep);
        ASSERT_TRUE(vehicle.getWheelInfo(0).m_raycastInfo.m_isInContact);
        const float still = 20 * 0.2f * 400;
        // Above 84 degrees the spring's speed along the contact no longer counts either.
        if (c.factor == 10)
            EXPECT_NEAR(vehicle.getWheelInfo(0).m_wheelsSuspensionForce, still * 10, 0.01f * still);
        else
            EXPECT_GT(vehicle.getWheelInfo(0).m_wheelsSuspensionForce, still * c.factor);
    }
}

} // namespace
