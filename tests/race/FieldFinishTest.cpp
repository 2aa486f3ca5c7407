// No computer car is left behind: in every lap race of the game, for several draws of the lanes
// and at 60 and at 20 frames a second, every computer car completes every lap. A car that stays
// caught on the scenery or off the track fails it, with where it stood.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "RaceFixtures.h"
#include "core/CGameEngine.h"
#include "world/CPhysicsBody.h"
#include "world/CVehicleEntity.h"

using racetest::CRaceWorld;

namespace {

struct SField {
    bool lapRace = false;
    std::string stragglers; // the cars not home in time, and where they were
};

// Races the computer cars alone (the player's car taken out of the world, so the field's
// trouble is its own) until every one is home or the bound is over.
SField raceTheField(const std::string& folder, int framesPerSecond, unsigned draw)
{
    SField field;
    CRaceWorld world(SANDVOLT_RUN_DIR);
    world.framesPerSecond = framesPerSecond;
    std::srand(draw);
    if (!world.load(folder)) {
        field.stragglers = "the mission did not load: " + world.out;
        return field;
    }
    field.lapRace = world.gameData.getRaceType() == 0;
    if (!field.lapRace)
        return field;
    CPhysicsBody* player = world.player()->getPhysicsBody();
    btDiscreteDynamicsWorld* physics = world.engine.get()->getDynamicsWorld();
    physics->removeVehicle(player->getVehicle());
    physics->removeRigidBody(player->getRigidBody());

    const int laps = world.gameData.getLaps();
    auto home = [&](int i) { return world.vehicle(i)->getLap() >= laps; };
    bool allHome = false;
    // Ten minutes: the slowest field of the game needs under five.
    for (int f = 0; !allHome && f < 10 * 60 * framesPerSecond; ++f) {
        world.frame();
        allHome = true;
        for (int i = 0; i < world.entities.getVehicleCount(); ++i)
            allHome = allHome && (i == world.entities.getPlayerVehicleIndex() || home(i));
    }
    std::ostringstream text;
    for (int i = 0; i < world.entities.getVehicleCount(); ++i) {
        if (i == world.entities.getPlayerVehicleIndex() || home(i))
            continue;
        const btVector3& at = world.bodyOf(world.vehicle(i))->getWorldTransform().getOrigin();
        text << " " << world.vehicle(i)->getName() << " (lap " << world.vehicle(i)->getLap() << " of " << laps
             << ", at " << at.x() << ", " << at.y() << ", " << at.z() << ")";
    }
    field.stragglers = text.str();
    physics->addRigidBody(player->getRigidBody());
    physics->addVehicle(player->getVehicle());
    return field;
}

class FieldFinish : public ::testing::TestWithParam<int> {};

TEST_P(FieldFinish, EveryComputerCarCompletesEveryLap)
{
    const std::string folder = "missions/m0" + std::to_string(GetParam()) + "/";
    ASSERT_TRUE(std::filesystem::exists(std::string(SANDVOLT_RUN_DIR) + "/" + folder + "mission.xml"))
        << folder << " is not in the run folder: build the `content` target";
    for (int fps : {60, 20})
        for (unsigned draw : {1u, 2u, 3u}) {
            const SField field = raceTheField(folder, fps, draw);
            if (!field.lapRace && field.stragglers.empty())
                GTEST_SKIP() << folder << " is a rally";
            EXPECT_EQ(field.stragglers, "") << folder << " at " << fps << " fps, lane draw " << draw
                                            << ": not home within ten minutes";
        }
}

INSTANTIATE_TEST_SUITE_P(Missions, FieldFinish, ::testing::Range(1, 9));

} // namespace
