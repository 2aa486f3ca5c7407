// The computer cars' controller: steering towards the waypoint, reaching and wrapping the path,
// braking in turns, the speed limit, backing out when stuck, and driving a real path.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>
#include <cmath>

#include "core/CGameEngine.h"
#include "race/CAIControllerPack.h"
#include "race/CWaypoint.h"
#include "world/CPhysicsBody.h"
#include "world/CVehicleEntity.h"
#include "world/VehicleFixtures.h"

using namespace irr;

namespace {

// A computer car of engine force 1500, brake 40 and top speed 60 km/h, standing at the origin
// and facing +z.
struct AIControllerTest : vehicletest::VehicleWorldTest {
    AIControllerTest()
    {
        controller = new CAIControllerPack();
        car = addCar("Computer", controller);
        step(120);
    }
    // Waypoints relative to where the car stands in the ground plane.
    void path(std::initializer_list<std::pair<float, float>> points, int current = 0)
    {
        const core::vector3df at = car->getBodyNode()->getPosition();
        controller->clearWaypoints();
        for (const auto& p : points)
            controller->addWaypoint(new CWaypoint(at.X + p.first, at.Z + p.second));
        controller->setCurrentWaypoint(current);
    }
    btVector3 position() { return car->getPhysicsBody()->getRigidBody()->getWorldTransform().getOrigin(); }
    void moveTo(const btVector3& origin)
    {
        vehicletest::teleport(car, core::vector3df(origin.x(), origin.y(), origin.z()));
        step(2);
    }
    // The race frame of one car at 60 frames a second: clock, controller, controls, physics.
    void raceFrame(int frame, u32 startMs)
    {
        setClock(startMs + static_cast<u32>(frame * 1000 / 60));
        controller->update(1.0f / 60.0f, frame == 0);
        car->applyControls();
        step();
    }

    CAIControllerPack* controller;
    CVehicleEntity* car;
};

struct SHeadingCase {
    const char* what;
    float x, z; // waypoint relative to the car
    float steering;
};

} // namespace

TEST_F(AIControllerTest, SteersTowardsTheWaypointByTheSineOfTheHeadingError)
{
    const float diagonal = 0.45f * std::sqrt(0.5f);
    const SHeadingCase cases[] = {
        {"straight ahead", 0, 50, 0},
        {"straight behind", 0, -50, 0},
        {"on the +x side", 50, 0, 0.45f},
        {"on the -x side", -50, 0, -0.45f},
        {"ahead on the +x side", 50, 50, diagonal},
        {"behind on the -x side", -50, -50, -diagonal},
    };
    setClock(1000);
    for (const SHeadingCase& c : cases) {
        SCOPED_TRACE(c.what);
        path({{c.x, c.z}});
        controller->update(1.0f / 60.0f, true);
        EXPECT_NEAR(controller->getSteering(), c.steering, 2e-3f);
        // Standing still: full engine force, no brake.
        EXPECT_FLOAT_EQ(controller->getEngineForce(), 1500);
        EXPECT_FLOAT_EQ(controller->getBrakeForce(), 0);
        EXPECT_EQ(controller->getCurrentWaypoint(), 0);
    }
}

TEST_F(AIControllerTest, WaypointCountsAsReachedWithinOnePlusFifteenTimesTheError)
{
    struct SReachCase {
        const char* what;
        float x, z;
        int current;
        int next;
    };
    const SReachCase cases[] = {
        {"ahead within 1.0", 0, 0.9f, 0, 1},
        {"ahead beyond 1.0", 0, 1.1f, 0, 0},
        {"at right angles within 16", 15.9f, 0, 0, 1},
        {"at right angles beyond 16", 16.1f, 0, 0, 0},
        {"the last point leads back to the first", 0, 0.5f, 2, 0},
        {"an index past the end counts as the first", 0, 0.5f, 7, 1},
        {"standing on the point drives straight", 0, 0, 0, 1},
    };
    setClock(1000);
    for (const SReachCase& c : cases) {
        SCOPED_TRACE(c.what);
        // The tested point is the current one; an index past the end means the first.
        const int tested = c.current < 3 ? c.current : 0;
        std::pair<float, float> points[3] = {{0, 80}, {0, 80}, {0, 80}};
        points[tested] = {c.x, c.z};
        path({points[0], points[1], points[2]}, c.current);
        controller->update(1.0f / 60.0f, true);
        EXPECT_EQ(controller->getCurrentWaypoint(), c.next);
        EXPECT_TRUE(std::isfinite(controller->getSteering()));
        if (c.x == 0) {
            EXPECT_NEAR(controller->getSteering(), 0, 2e-3f);
        }
    }
}

TEST_F(AIControllerTest, BrakesInTurnsAboveThirtyAndKeepsItsBrakeAtTheSpeedLimit)
{
    struct SSpeedCase {
        const char* what;
        float x, z;
        float speed;
        float engineForce;
        float brakeForce;
    };
    // One after the other: the speed limit keeps the brake of the frame before.
    const SSpeedCase cases[] = {
        {"sharp turn above 30 km/h", 50, 0, 40, 0, 8},
        {"at the speed limit after braking", 0, 50, 65, 0, 8},
        {"straight above 30 km/h", 0, 50, 40, 1500, 0},
        {"at the speed limit after driving", 0, 50, 62, 0, 0},
        {"sharp turn at the speed limit", 50, 0, 62, 0, 8},
        {"sharp turn at 30 km/h or below", 50, 0, 29, 1500, 0},
    };
    setClock(1000);
    for (const SSpeedCase& c : cases) {
        SCOPED_TRACE(c.what);
        setSpeed(car, c.speed);
        path({{c.x, c.z}});
        controller->update(1.0f / 60.0f, true);
        EXPECT_FLOAT_EQ(controller->getEngineForce(), c.engineForce);
        EXPECT_FLOAT_EQ(controller->getBrakeForce(), c.brakeForce);
    }
}

TEST_F(AIControllerTest, CarThatHardlyMovedIn2500msBacksOutWithMirroredSteering)
{
    path({{50, 0}});
    setClock(1000);
    controller->update(1.0f / 60.0f, true);
    EXPECT_FLOAT_EQ(controller->getEngineForce(), 1500);
    EXPECT_NEAR(controller->getSteering(), 0.45f, 2e-3f);

    // Not yet checked at 3500; judged stuck at 3501.
    setClock(3500);
    controller->update(1.0f / 60.0f, false);
    EXPECT_FLOAT_EQ(controller->getEngineForce(), 1500);
    setClock(3501);
    controller->update(1.0f / 60.0f, false);
    EXPECT_FLOAT_EQ(controller->getEngineForce(), -1800);
    EXPECT_NEAR(controller->getSteering(), -0.45f, 2e-3f);

    // Backing out faster than 30 km/h it lets the car roll.
    setSpeed(car, -40);
    setClock(4000);
    controller->update(1.0f / 60.0f, false);
    EXPECT_FLOAT_EQ(controller->getEngineForce(), 0);
    EXPECT_FLOAT_EQ(controller->getBrakeForce(), 0);

    // Moved 3.0 or more by the next check: forwards again.
    moveTo(position() + btVector3(0, 0, -4));
    path({{50, 0}});
    setClock(6002);
    controller->update(1.0f / 60.0f, false);
    EXPECT_FLOAT_EQ(controller->getEngineForce(), 1500);
    EXPECT_NEAR(controller->getSteering(), 0.45f, 2e-3f);

    // Stuck again, then the race comes back from the pause menu: the first frame starts afresh.
    setClock(8503);
    controller->update(1.0f / 60.0f, false);
    EXPECT_FLOAT_EQ(controller->getEngineForce(), -1800);
    setClock(60000);
    controller->update(1.0f / 60.0f, true);
    EXPECT_FLOAT_EQ(controller->getEngineForce(), 1500);
}

TEST_F(AIControllerTest, WithoutWaypointsOrCarNothingMoves)
{
    setClock(1000);
    controller->setEngineForce(900);
    controller->setSteering(0.3f);
    controller->update(1.0f / 60.0f, true);
    EXPECT_EQ(controller->getEngineForce(), 0);
    EXPECT_EQ(controller->getBrakeForce(), 40);
    EXPECT_EQ(controller->getSteering(), 0);
    EXPECT_FALSE(controller->isManual());

    CAIControllerPack loose;
    loose.addWaypoint(new CWaypoint(1, 2));
    loose.addWaypoint(nullptr);
    loose.setEngineForce(5);
    loose.update(1.0f / 60.0f, true);
    EXPECT_EQ(loose.getEngineForce(), 5);
    EXPECT_EQ(loose.getWaypointCount(), 1);
}

TEST_F(AIControllerTest, WaypointListAddsRemovesAndClears)
{
    for (int i = 0; i < 3; ++i)
        controller->addWaypoint(new CWaypoint(static_cast<float>(i), 10.0f * i));
    EXPECT_EQ(controller->getWaypointCount(), 3);
    EXPECT_EQ(controller->getWaypoint(-1), nullptr);
    EXPECT_EQ(controller->getWaypoint(3), nullptr);
    EXPECT_FALSE(controller->removeWaypoint(3));
    EXPECT_FALSE(controller->removeWaypoint(-1));
    EXPECT_TRUE(controller->removeWaypoint(1));
    ASSERT_EQ(controller->getWaypointCount(), 2);
    EXPECT_EQ(controller->getWaypoint(1)->getZ(), 20.0f);
    EXPECT_EQ(controller->getWaypoint(1)->getY(), 0.0f);
    controller->clearWaypoints();
    EXPECT_EQ(controller->getWaypointCount(), 0);
}

TEST_F(AIControllerTest, DrivesRoundALoopOfWaypoints)
{
    // A square of side 40 from where the car stands, turning towards its +x side at each corner.
    path({{0, 40}, {40, 40}, {40, 0}, {0, 0}});
    int reached = 0;
    int last = 0;
    float farthest = 0;
    for (int frame = 0; frame < 60 * 60 && reached < 6; ++frame) {
        raceFrame(frame, 1000);
        if (controller->getCurrentWaypoint() != last) {
            EXPECT_EQ(controller->getCurrentWaypoint(), (last + 1) % 4) << "frame " << frame;
            last = controller->getCurrentWaypoint();
            ++reached;
        }
        const btVector3 p = position();
        farthest = std::fmax(farthest, std::fmax(std::fabs(p.x() - 20), std::fabs(p.z() - 20)));
        EXPECT_LE(speedOf(car), 62.0f);
    }
    // Round once and on: every point in turn, never far off the square.
    EXPECT_GE(reached, 6);
    EXPECT_LT(farthest, 35.0f);
}

TEST_F(AIControllerTest, BacksOutWhenAWallStopsIt)
{
    addBlock("Wall", core::vector3df(-10, 0, 6), core::vector3df(10, 4, 8));
    path({{0, 60}});
    float wallZ = 0;
    bool reversed = false;
    bool forwardAgain = false;
    float backedOut = 0;
    for (int frame = 0; frame < 60 * 12; ++frame) {
        raceFrame(frame, 1000);
        const float z = position().z();
        if (!reversed && controller->getEngineForce() < 0) {
            reversed = true;
            wallZ = z;
        }
        if (reversed) {
            backedOut = std::fmax(backedOut, wallZ - z);
            if (controller->getEngineForce() > 0)
                forwardAgain = true;
        }
    }
    EXPECT_TRUE(reversed);
    EXPECT_GT(wallZ, 2.0f); // it drove up to the wall first
    EXPECT_GT(backedOut, 3.0f);
    EXPECT_TRUE(forwardAgain);
}
