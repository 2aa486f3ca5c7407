// The computer cars drive as fast on a slow machine as on a fast one: every lap race of the game,
// with the same lanes drawn, takes the field as long at 20 frames a second as at 60.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "RaceFixtures.h"
#include "core/CGameEngine.h"
#include "world/CPhysicsBody.h"
#include "world/CVehicleEntity.h"

using racetest::CRaceWorld;

namespace {

// The computer cars' mean race time in seconds, or -1 when one is not home within 15 minutes;
// false for a mission that is no lap race.
bool fieldTime(const std::string& folder, int framesPerSecond, float& meanSeconds)
{
    CRaceWorld world(SANDVOLT_RUN_DIR);
    world.framesPerSecond = framesPerSecond;
    std::srand(1);
    if (!world.load(folder))
        return false;
    if (world.gameData.getRaceType() != 0)
        return false;
    // Nobody meets the player's car on the grid.
    CPhysicsBody* player = world.player()->getPhysicsBody();
    btDiscreteDynamicsWorld* physics = world.engine.get()->getDynamicsWorld();
    physics->removeVehicle(player->getVehicle());
    physics->removeRigidBody(player->getRigidBody());

    std::vector<float> times(static_cast<size_t>(world.entities.getVehicleCount()), -1.0f);
    int out = 0;
    for (int i = 0; i < world.entities.getVehicleCount(); ++i)
        out += i != world.entities.getPlayerVehicleIndex();
    for (int f = 0; out > 0 && f < 15 * 60 * framesPerSecond; ++f) {
        world.frame();
        for (int i = 0; i < world.entities.getVehicleCount(); ++i) {
            if (i != world.entities.getPlayerVehicleIndex() && times[i] < 0.0f &&
                world.vehicle(i)->getLap() >= world.gameData.getLaps()) {
                times[i] = world.raceTime() / 1000.0f;
                --out;
            }
        }
    }
    physics->addRigidBody(player->getRigidBody());
    physics->addVehicle(player->getVehicle());
    float sum = 0.0f;
    for (int i = 0; i < world.entities.getVehicleCount(); ++i)
        sum += i != world.entities.getPlayerVehicleIndex() ? times[i] : 0.0f;
    meanSeconds = out > 0 ? -1.0f : sum / static_cast<float>(world.entities.getVehicleCount() - 1);
    return true;
}

class FrameRate : public ::testing::TestWithParam<int> {};

TEST_P(FrameRate, ComputerCarsTakeAsLongAtTwentyFramesASecondAsAtSixty)
{
    const std::string folder = "missions/m0" + std::to_string(GetParam()) + "/";
    ASSERT_TRUE(std::filesystem::exists(std::string(SANDVOLT_RUN_DIR) + "/" + folder + "mission.xml"))
        << folder << " is not in the run folder: build the `content` target";
    float fast = 0.0f, slow = 0.0f;
    if (!fieldTime(folder, 60, fast))
        GTEST_SKIP() << folder << " is a rally";
    ASSERT_TRUE(fieldTime(folder, 20, slow));
    std::printf("[ frame rate ] %s: the computer cars' mean time %.1f s at 60 fps, %.1f s at 20 fps\n",
                folder.c_str(), fast, slow);
    ASSERT_GT(fast, 0.0f) << "a computer car did not finish at 60 fps";
    ASSERT_GT(slow, 0.0f) << "a computer car did not finish at 20 fps";
    EXPECT_NEAR(slow / fast, 1.0f, 0.08f);
}

INSTANTIATE_TEST_SUITE_P(Missions, FrameRate, ::testing::Range(1, 9));

} // namespace
