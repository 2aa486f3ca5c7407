// The player's controller: throttle and brake from the forward and backward keys by the car's
// speed, steering from the left and right keys, and pick-up items raising the limits.
#include <gtest/gtest.h>

#include "core/CGameEngine.h"
#include "core/SKeyEntry.h"
#include "race/CManualControllerPack.h"
#include "world/CItemEntity.h"
#include "world/CVehicleEntity.h"
#include "world/VehicleFixtures.h"

using namespace irr;
using testsupport::captureStdout;

namespace {

enum EKey { FORWARD = 1, BACKWARD = 2, LEFT = 4, RIGHT = 8 };

// A car of engine force 1500, brake 40 and top speed 60 km/h, driven from W, S, A and D.
struct ManualControllerTest : vehicletest::VehicleWorldTest {
    ManualControllerTest()
        : forward(KEY_KEY_W, "KEY_KEY_W", L"W"), backward(KEY_KEY_S, "KEY_KEY_S", L"S"),
          left(KEY_KEY_A, "KEY_KEY_A", L"A"), right(KEY_KEY_D, "KEY_KEY_D", L"D")
    {
        engine.settings.keyForward = &forward;
        engine.settings.keyBackward = &backward;
        engine.settings.keyLeft = &left;
        engine.settings.keyRight = &right;
        controller = new CManualControllerPack(&engine.settings, engine.get());
        car = addCar("Player", controller);
        step(120);
    }
    ~ManualControllerTest() override
    {
        engine.settings.keyForward = engine.settings.keyBackward = nullptr;
        engine.settings.keyLeft = engine.settings.keyRight = nullptr;
    }
    // A new frame in which these keys are held and the others not.
    void hold(int keys)
    {
        engine->run();
        engine.postKey(KEY_KEY_W, (keys & FORWARD) != 0);
        engine.postKey(KEY_KEY_S, (keys & BACKWARD) != 0);
        engine.postKey(KEY_KEY_A, (keys & LEFT) != 0);
        engine.postKey(KEY_KEY_D, (keys & RIGHT) != 0);
    }
    CItemEntity* takeItem(const char* type, f32 value)
    {
        CItemEntity* item = addItem(type, 5000, type, value);
        setClock(1000);
        car->setItem(item);
        return item;
    }

    SKeyEntry forward, backward, left, right;
    CManualControllerPack* controller;
    CVehicleEntity* car;
};

struct SThrottleCase {
    const char* what;
    int keys;
    float speed; // km/h, negative backwards
    float engineForce;
    float brakeForce;
};

} // namespace

TEST_F(ManualControllerTest, ThrottleAndBrakeFollowTheKeysAndTheSpeed)
{
    const SThrottleCase cases[] = {
        {"forward while rolling back brakes first", FORWARD, -5, 0, 40},
        {"forward from standing pulls at twice the force", FORWARD, 0, 3000, 0},
        {"forward just rolling back still pulls hard", FORWARD, -1.5f, 3000, 0},
        {"forward below 15 km/h pulls hard", FORWARD, 14, 3000, 0},
        {"forward at speed", FORWARD, 30, 1500, 0},
        {"forward between -3 and -2 km/h", FORWARD, -2.5f, 1500, 0},
        {"forward above the top speed coasts with half brake", FORWARD, 61, 0, 20},
        {"backward while rolling forward brakes", BACKWARD, 5, 0, 40},
        {"backward from standing reverses", BACKWARD, 0, -1800, 0},
        {"backward while reversing", BACKWARD, -30, -1800, 0},
        {"backward faster than -35 km/h brakes", BACKWARD, -40, 0, 40},
        {"no key coasts with half brake", 0, 20, 0, 20},
        {"forward over the top speed gives way to backward", FORWARD | BACKWARD, 61, 0, 40},
        {"forward wins over backward below the top speed", FORWARD | BACKWARD, 30, 1500, 0},
    };
    for (const SThrottleCase& c : cases) {
        SCOPED_TRACE(c.what);
        setSpeed(car, c.speed);
        ASSERT_NEAR(speedOf(car), c.speed, 0.01f);
        hold(c.keys);
        controller->update(1.0f / 60.0f, false);
        EXPECT_FLOAT_EQ(controller->getEngineForce(), c.engineForce);
        EXPECT_FLOAT_EQ(controller->getBrakeForce(), c.brakeForce);
    }
}

// A tap whose press and release fall between two frames (a short tap at a low frame rate) drives
// the frame after it, once.
TEST_F(ManualControllerTest, AKeyTappedBetweenTwoFramesCountsForOneFrame)
{
    setSpeed(car, 20);
    hold(0);
    engine.postKey(KEY_KEY_W, true);
    engine.postKey(KEY_KEY_W, false);
    engine.postKey(KEY_KEY_D, true);
    engine.postKey(KEY_KEY_D, false);
    controller->update(0.5f, false);
    EXPECT_FLOAT_EQ(controller->getEngineForce(), 1500);
    EXPECT_NEAR(controller->getSteering(), 0.175f, 1e-5f);
    hold(0);
    controller->update(0.5f, false);
    EXPECT_FLOAT_EQ(controller->getEngineForce(), 0);
    EXPECT_FLOAT_EQ(controller->getSteering(), 0);
}

TEST_F(ManualControllerTest, SteeringGrowsAtItsRateUpToItsLimitAndReturnsAtOnce)
{
    struct SStep { int keys; float steering; };
    // Half-second frames: 0.175 radians a frame.
    const SStep steps[] = {
        {RIGHT, 0.175f}, {RIGHT, 0.35f}, {RIGHT, 0.525f}, {RIGHT, 0.7f},
        {RIGHT, 0.875f}, // the limit holds from the next frame on
        {RIGHT, 0.75f},  {RIGHT, 0.75f},
        {LEFT, 0.0f},    // the other way starts from straight ahead
        {LEFT, -0.175f}, {LEFT, -0.35f},
        {RIGHT, 0.0f},   {RIGHT, 0.175f},
        {0, 0.0f},       // no key: straight at once
        {LEFT | RIGHT, 0.175f}, {LEFT | RIGHT, 0.35f}, // right is looked at first
    };
    setSpeed(car, 20);
    int frame = 0;
    for (const SStep& s : steps) {
        hold(s.keys);
        controller->update(0.5f, false);
        EXPECT_NEAR(controller->getSteering(), s.steering, 1e-5f) << "frame " << frame;
        ++frame;
    }
}

TEST_F(ManualControllerTest, ItemsRaiseTheEngineForceOrTheTopSpeed)
{
    struct SItemCase {
        const char* type;
        float speed;
        float engineForce;
        float brakeForce;
    };
    const SItemCase cases[] = {
        {"Boost", 0, 2 * (1500 + 500), 0},  // the doubled start force too
        {"Boost", 30, 1500 + 500, 0},
        {"Boost", 61, 0, 20},               // the top speed stays
        {"Speed", 61, 1500, 0},             // 61 < 60 + 500
        {"Other", 61, 1500, 0},             // any other kind counts as speed
    };
    for (const SItemCase& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " at " + std::to_string(c.speed));
        captureStdout([&] { manager.clearItems(); });
        takeItem(c.type, 500);
        ASSERT_NE(car->getItem(), nullptr);
        setSpeed(car, c.speed);
        hold(FORWARD);
        controller->update(1.0f / 60.0f, false);
        EXPECT_FLOAT_EQ(controller->getEngineForce(), c.engineForce);
        EXPECT_FLOAT_EQ(controller->getBrakeForce(), c.brakeForce);
        // The car's own limits stay as they were.
        EXPECT_FLOAT_EQ(car->getMaxEngineForce(), 1500);
        EXPECT_FLOAT_EQ(car->getMaxVelocity(), 60);
    }
}

TEST_F(ManualControllerTest, ControllerWithoutCarOrKeysDoesNoHarm)
{
    // Without a car the values stay as they are.
    CManualControllerPack loose(&engine.settings, engine.get());
    EXPECT_TRUE(loose.isManual());
    loose.setEngineForce(7);
    loose.setBrakeForce(8);
    loose.setSteering(0.1f);
    hold(FORWARD | RIGHT);
    loose.update(0.5f, true);
    EXPECT_EQ(loose.getEngineForce(), 7);
    EXPECT_EQ(loose.getBrakeForce(), 8);
    EXPECT_EQ(loose.getSteering(), 0.1f);
    EXPECT_EQ(loose.getVehicle(), nullptr);

    // Unbound driving keys are never held: the car coasts.
    engine.settings.keyForward = nullptr;
    engine.settings.keyRight = nullptr;
    setSpeed(car, 10);
    controller->update(0.5f, false);
    EXPECT_EQ(controller->getEngineForce(), 0);
    EXPECT_EQ(controller->getBrakeForce(), 20);
    EXPECT_EQ(controller->getSteering(), 0);
}
