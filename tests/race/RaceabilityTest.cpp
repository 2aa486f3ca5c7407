// Every mission can be raced: the test autopilot, pressing only the player's four driving keys,
// finishes it within a generous time, and in a lap race every computer car completes a lap.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "CAutopilot.h"
#include "RaceFixtures.h"
#include "race/CWaypoint.h"
#include "world/CVehicleEntity.h"

using namespace irr;
using racetest::CRaceWorld;

namespace {

struct SRaceResult {
    bool finished = false;      // the player crossed the line for the last time
    bool ended = false;         // the race loop came back to the menu
    float finishRaceTime = 0.0f; // ms
    float boundMs = 0.0f;
    int reverses = 0;
    std::string failure;
    std::string trail;
};

std::string whereIs(CVehicleEntity* car)
{
    const core::vector3df at = car->getBodyNode()->getPosition();
    std::ostringstream text;
    text << car->getName() << " at (" << at.X << ", " << at.Y << ", " << at.Z << "), lap "
         << car->getLap() << ", navigation point " << car->getNavigationIndex();
    return text.str();
}

float pathLength(CGameData& data)
{
    float length = 0.0f;
    const s32 n = data.getNavigationPointCount();
    for (s32 i = 0; i < n; ++i) {
        const CWaypoint* a = data.getNavigationPoint(i);
        const CWaypoint* b = data.getNavigationPoint((i + 1) % n);
        length += std::hypot(b->getX() - a->getX(), b->getZ() - a->getZ());
    }
    return length;
}

// Races the loaded mission with the autopilot until the race loop ends or the bound is reached.
SRaceResult race(CRaceWorld& world)
{
    SRaceResult result;
    const int laps = std::max(world.gameData.getLaps(), 1);
    // Every lap at a slow 6 m/s (22 km/h), plus the countdown, half a minute of trouble and the
    // closing wait.
    result.boundMs = 6000.0f + laps * pathLength(world.gameData) / 6.0f * 1000.0f + 30000.0f + 8000.0f;
    racetest::CAutopilot pilot(world);
    const int maxFrames = static_cast<int>(result.boundMs * 60.0f / 1000.0f);
    std::ostringstream trail;
    for (int f = 0; f < maxFrames; ++f) {
        pilot.drive();
        if (!world.frame()) {
            result.ended = true;
            break;
        }
        if (!result.finished && world.player()->isFinished()) {
            result.finished = true;
            result.finishRaceTime = world.raceTime();
        }
        if (f % (60 * 10) == 0) {
            trail << "  t=" << world.raceTime() / 1000.0f << " s: " << pilot.describe() << "\n";
            for (int i = 0; i < world.entities.getVehicleCount(); ++i)
                trail << "    " << whereIs(world.vehicle(i)) << "\n";
        }
    }
    result.reverses = pilot.reverses;
    if (!result.finished)
        result.failure = "the player did not finish within " + std::to_string(result.boundMs / 1000.0f) +
                         " s of game time; " + pilot.describe() + "\n" + trail.str();
    result.trail = trail.str();
    return result;
}

void expectRaceable(CRaceWorld& world, const std::string& folder)
{
    ASSERT_TRUE(world.load(folder)) << world.out;
    const bool lapRace = world.gameData.getRaceType() == 0;
    // The mission's reference times, before any finisher joins them; the list is sorted.
    const float bestReferenceMs = world.gameData.getRallyTimeCount() > 0
        ? static_cast<float>(world.gameData.getRallyTime(0)) : 0.0f;
    const SRaceResult result = race(world);
    EXPECT_TRUE(result.finished) << folder << ": " << result.failure;
    EXPECT_TRUE(result.ended) << folder << ": the race did not come back to the menu";
    std::string aiLaps;
    for (int i = 0; i < world.entities.getVehicleCount(); ++i) {
        CVehicleEntity* car = world.vehicle(i);
        if (i == world.entities.getPlayerVehicleIndex())
            continue;
        aiLaps += (aiLaps.empty() ? "" : ", ") + std::to_string(car->getLap());
        if (lapRace) {
            EXPECT_GE(car->getLap(), 1) << folder << ": computer car " << car->getName()
                                        << " completed no lap; " << whereIs(car) << "\n"
                                        << result.trail;
        }
    }
    // A rally is won by a clean drive, and lost by one a quarter slower.
    if (!lapRace && result.finished && bestReferenceMs > 0.0f) {
        EXPECT_LT(result.finishRaceTime, bestReferenceMs) << folder << ": a clean drive does not win";
        EXPECT_GT(1.25f * result.finishRaceTime, bestReferenceMs) << folder << ": a slow drive still wins";
    }
    // The clean-drive time, for the rally reference times.
    std::printf("[ raceable ] %s: %s, %d laps, finished in %.2f s of race time (bound %.0f s), "
                "%d times backed out; computer cars' laps at the end: %s\n", folder.c_str(),
                lapRace ? "lap race" : "rally", world.gameData.getLaps(), result.finishRaceTime / 1000.0f,
                result.boundMs / 1000.0f, result.reverses, aiLaps.empty() ? "none" : aiLaps.c_str());
}

TEST(Raceability, TestCircuitIsRaceable)
{
    CRaceWorld world(SANDVOLT_FIXTURE_DIR);
    expectRaceable(world, "missions/circuit/");
}

class RaceabilityOfTheGame : public ::testing::TestWithParam<int> {};

TEST_P(RaceabilityOfTheGame, MissionIsRaceable)
{
    const std::string folder = "missions/m0" + std::to_string(GetParam()) + "/";
    ASSERT_TRUE(std::filesystem::exists(std::string(SANDVOLT_RUN_DIR) + "/" + folder + "mission.xml"))
        << folder << " is not in the run folder: build the `content` target";
    CRaceWorld world(SANDVOLT_RUN_DIR);
    expectRaceable(world, folder);
}

INSTANTIATE_TEST_SUITE_P(Missions, RaceabilityOfTheGame, ::testing::Range(1, 9));

} // namespace
