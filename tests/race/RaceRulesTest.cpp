// The lap rule over the three checkpoints and the navigation progress that orders the cars.
#include <gtest/gtest.h>

#include <sstream>

#include "core/CGameData.h"
#include "race/CWaypoint.h"
#include "race/RaceRules.h"
#include "world/CVehicleEntity.h"

using namespace irr;

namespace {

struct SCheckpointCase {
    const char* what;
    const char* touches; // checkpoint ids in the order the car meets them, from the start
    int lap;
    bool pending1, pending2;
};

// A car leaves the grid with last checkpoint 2, nothing pending and lap -1, just behind the line.
const SCheckpointCase kCheckpoints[] = {
    {"first crossing of the line counts lap 0", "0", 0, true, true},
    {"standing on the line counts once", "0 0 0 0", 0, true, true},
    {"passing 1 forwards clears its flag", "0 1", 0, false, true},
    {"passing 2 forwards clears its flag", "0 1 2", 0, false, false},
    {"a whole lap forwards counts", "0 1 2 0", 1, true, true},
    {"two whole laps count", "0 1 2 0 1 2 0", 2, true, true},
    {"touching 2 over several frames changes nothing more", "0 1 2 2 2 0", 1, true, true},
    {"back over the line and forwards again counts nothing", "0 1 2 0 2 0", 1, true, true},
    {"back from 2 to 1 makes 1 pending again", "0 1 2 1", 0, true, false},
    {"1 must be passed forwards again before the line", "0 1 2 1 2 0", 0, true, false},
    {"a lap driven backwards counts nothing", "0 2 1 0", 0, true, true},
    {"cutting from the line to 2 counts nothing", "0 2 0", 0, true, true},
    {"going backwards first from the grid makes 1 pending", "1", -1, true, false},
    {"a backwards start blocks the first crossing", "1 0", -1, true, false},
};

TEST(RaceRules, CheckpointTableCountsOnlyLapsDrivenForwards)
{
    for (const SCheckpointCase& c : kCheckpoints) {
        CVehicleEntity car(0, "Car");
        std::istringstream touches(c.touches);
        int checkpoint = 0;
        int last = 2;
        while (touches >> checkpoint) {
            passCheckpoint(&car, checkpoint);
            last = checkpoint;
        }
        EXPECT_EQ(car.getLap(), c.lap) << c.what;
        EXPECT_EQ(car.isCheckpoint1Pending(), c.pending1) << c.what;
        EXPECT_EQ(car.isCheckpoint2Pending(), c.pending2) << c.what;
        EXPECT_EQ(car.getLastCheckpoint(), last) << c.what;
    }
}

struct SNavigationCase {
    const char* what;
    core::vector3df position;
    bool pending1, pending2;
    int index;
    float distance;
};

// A square of side 10 driven 0 -> 1 -> 2 -> 3 -> 0.
const core::vector3df kSquare[4] = {{0, 0, 0}, {10, 0, 0}, {10, 0, 10}, {0, 0, 10}};

float distanceTo(const core::vector3df& position, int point)
{
    return position.getDistanceFrom(kSquare[point]);
}

TEST(RaceRules, NavigationFindsTheNearestPointAndTheWayToTheNext)
{
    const core::vector3df near0(1, 0, -1), near1(9, 0, 1), near3(1, 0, 9);
    const SNavigationCase cases[] = {
        {"mid-lap, next point ahead", near1, false, true, 1, distanceTo(near1, 2)},
        {"at the last point the next is point 0", near3, true, false, 3, distanceTo(near3, 0)},
        {"near point 0 before the line: still the end of the lap", near0, false, false, 3,
         distanceTo(near0, 0)},
        {"near point 0 after the line: the lap's start", near0, true, true, 0, distanceTo(near0, 1)},
        {"near point 0 with one checkpoint left", near0, true, false, 0, distanceTo(near0, 1)},
        {"near the last point just after the line: the lap's start", near3, true, true, 0,
         distanceTo(near3, 1)},
    };
    CGameData data(nullptr);
    for (const core::vector3df& point : kSquare)
        data.addNavigationPoint(new CWaypoint(point.X, point.Y, point.Z));
    for (const SNavigationCase& c : cases) {
        CVehicleEntity car(0, "Car");
        car.setCheckpoint1Pending(c.pending1);
        car.setCheckpoint2Pending(c.pending2);
        updateNavigationProgress(&car, c.position, &data);
        EXPECT_EQ(car.getNavigationIndex(), c.index) << c.what;
        EXPECT_FLOAT_EQ(car.getNavigationDistance(), c.distance) << c.what;
    }
    data.clearNavigation();
}

TEST(RaceRules, NavigationWithOnePointOrNoneStaysInsideThePath)
{
    CGameData data(nullptr);
    CVehicleEntity car(0, "Car");
    car.setNavigationIndex(7);
    car.setNavigationDistance(3.0f);
    updateNavigationProgress(&car, core::vector3df(5, 0, 5), &data);
    EXPECT_EQ(car.getNavigationIndex(), 7) << "no path: nothing changes";
    EXPECT_EQ(car.getNavigationDistance(), 3.0f);

    data.addNavigationPoint(new CWaypoint(0, 0, 0));
    const core::vector3df at(3, 0, 4);
    struct { bool pending1, pending2; float distance; } cases[] = {
        {false, false, 5.0f}, // before the line: the distance to point 0
        {true, false, 0.0f},
        {true, true, 0.0f}, // just over the line: there is no point after the only one
    };
    for (const auto& c : cases) {
        car.setCheckpoint1Pending(c.pending1);
        car.setCheckpoint2Pending(c.pending2);
        updateNavigationProgress(&car, at, &data);
        EXPECT_EQ(car.getNavigationIndex(), 0);
        EXPECT_FLOAT_EQ(car.getNavigationDistance(), c.distance) << c.pending1 << c.pending2;
    }
    data.clearNavigation();
}

} // namespace
