// No lap is counted for cutting across an infield: the test autopilot, on the player's keys,
// drives straight from the line to checkpoint 1, on to checkpoint 2 and back to the line, the
// shortest way through the three checkpoints of the lap rule, and that lap must not count.
#include <gtest/gtest.h>

#include <BulletCollision/CollisionShapes/btCollisionShape.h>
#include <btBulletDynamicsCommon.h>

#include <filesystem>
#include <string>
#include <vector>

#include "CAutopilot.h"
#include "RaceFixtures.h"
#include "world/COSEntity.h"
#include "world/CVehicleEntity.h"

using namespace irr;
using racetest::CRaceWorld;

namespace {

core::vector2df gateCentre(CRaceWorld& world, int id)
{
    for (int i = 0; i < world.entities.getCheckpointCount(); ++i) {
        COSEntity* gate = world.entities.getCheckpoint(i);
        if (gate->getId() != id)
            continue;
        btVector3 low, high;
        gate->getRigidBody()->getAabb(low, high);
        const btVector3 centre = 0.5f * (low + high);
        return core::vector2df(centre.x(), centre.z());
    }
    ADD_FAILURE() << "no checkpoint " << id;
    return core::vector2df();
}

// Straight lines through `corners`, a point every few metres.
std::vector<core::vector2df> straightLines(const std::vector<core::vector2df>& corners)
{
    std::vector<core::vector2df> points;
    for (size_t k = 0; k + 1 < corners.size(); ++k) {
        const core::vector2df a = corners[k], b = corners[k + 1];
        const int steps = std::max(1, static_cast<int>(a.getDistanceFrom(b) / 4.0f));
        for (int i = 0; i < steps; ++i)
            points.push_back(a + (b - a) * (static_cast<float>(i) / static_cast<float>(steps)));
    }
    points.push_back(corners.back());
    return points;
}

class CutAcrossTheInfield : public ::testing::TestWithParam<int> {};

TEST_P(CutAcrossTheInfield, DoesNotCountALap)
{
    const std::string folder = "missions/m0" + std::to_string(GetParam()) + "/";
    ASSERT_TRUE(std::filesystem::exists(std::string(SANDVOLT_RUN_DIR) + "/" + folder + "mission.xml"))
        << folder << " is not in the run folder: build the `content` target";
    CRaceWorld world(SANDVOLT_RUN_DIR);
    ASSERT_TRUE(world.load(folder)) << world.out;
    CVehicleEntity* car = world.player();
    const core::vector3df grid = car->getBodyNode()->getPosition();
    const core::vector2df start(grid.X, grid.Z), line = gateCentre(world, 0);
    const core::vector2df first = gateCentre(world, 1), second = gateCentre(world, 2);
    // On over the line after the cut, far enough to be sure of crossing it.
    core::vector2df beyond = line - second;
    beyond = line + beyond.normalize() * 30.0f;
    const float cut = line.getDistanceFrom(first) + first.getDistanceFrom(second) + second.getDistanceFrom(line);

    racetest::CAutopilot pilot(world);
    pilot.follow(straightLines({start, line, first, second, line, beyond}));
    // The countdown, the cut at a slow 6 m/s, and half a minute of trouble.
    const int frames = static_cast<int>((6.0f + 20.0f + cut / 6.0f + 30.0f) * 60.0f);
    int lapsAtTheStart = -2;
    for (int f = 0; f < frames; ++f) {
        pilot.drive();
        ASSERT_TRUE(world.frame());
        if (lapsAtTheStart < 0 && car->getLap() == 0)
            lapsAtTheStart = 0;
        ASSERT_LT(car->getLap(), 1) << folder << ": a cut of " << cut << " m counted a lap; " << pilot.describe();
    }
    EXPECT_EQ(lapsAtTheStart, 0) << folder << ": the car never crossed the line from the grid";
}

INSTANTIATE_TEST_SUITE_P(Missions, CutAcrossTheInfield, ::testing::Range(1, 9));

} // namespace
