// The menu controller on the null driver, around a real race on the test missions: loading a
// chosen mission behind the loading screen, continuing, breaking off and leaving a race, and a
// win that the player breaks off from the menu.
#include <gtest/gtest.h>

#include <filesystem>

#include "race/RaceFixtures.h"
#include "core/CGameEngine.h"
#include "world/CVehicleEntity.h"

using namespace irr;
using racetest::CRaceWorld;

namespace {

const char* const kFixtures = SANDVOLT_FIXTURE_DIR;

int entityCount(CRaceWorld& world)
{
    return world.entities.getItemCount() + world.entities.getCheckpointCount() +
           world.entities.getStaticObjectCount() + world.entities.getVehicleCount();
}

// Mission 1 won and the closing wait running: the player is through in first place.
void winMissionOne(CRaceWorld& world)
{
    world.linkMission("m01", "flat");
    ASSERT_TRUE(world.load("missions/m01/")) << world.out;
    world.engine.settings.progressLevel = 1;
    world.player()->setLap(1);
    ASSERT_TRUE(world.frameAt(world.now() + 6000 + 30000));
    // The frame after the finish judges it.
    ASSERT_TRUE(world.frame());
    ASSERT_EQ(world.gameData.getRacePhase(), 1);
    ASSERT_TRUE(world.race->isWon());
}

void leaveWithEscape(CRaceWorld& world)
{
    world.press(KEY_ESCAPE, true);
    ASSERT_FALSE(world.frame());
    world.press(KEY_ESCAPE, false);
    ASSERT_EQ(world.engine->getGameState(), EGS_MENU);
}

} // namespace

TEST(Menu, AChosenMissionLoadsBehindHalfASecondOfTheLoadingScreen)
{
    CRaceWorld world(kFixtures);
    ITimer* timer = world.engine->getDevice()->getTimer();
    timer->start();
    const u32 before = timer->getTime();
    world.gameData.setSelectedMission("missions/race/");
    world.menu->update();
    EXPECT_GE(timer->getTime() - before, 500u);
    EXPECT_EQ(world.engine->getGameState(), EGS_RACE);
    EXPECT_EQ(world.menu->getMenuName(), "Main");
    EXPECT_TRUE(world.menu->isRaceRunning());
    EXPECT_EQ(world.gameData.getSelectedMission(), "Null");
    EXPECT_EQ(world.gameData.getLoadedMission(), "missions/race/");
    EXPECT_GT(world.entities.getVehicleCount(), 0);
}

TEST(Menu, AMissionThatFailsToLoadEndsTheGame)
{
    CRaceWorld world(kFixtures);
    world.engine->getDevice()->getTimer()->start();
    world.menu->setMenuName("New");
    world.gameData.setSelectedMission("missions/none/");
    testsupport::captureStdout([&] { world.menu->update(); });
    EXPECT_EQ(world.engine->getGameState(), EGS_QUIT);
    EXPECT_EQ(world.menu->getMenuName(), "New");
    EXPECT_FALSE(world.menu->isRaceRunning());
}

TEST(Menu, AWindowClosedDuringTheLoadingScreenStillLoadsTheMission)
{
    CRaceWorld world(kFixtures);
    world.engine->getDevice()->closeDevice();
    world.gameData.setSelectedMission("missions/race/");
    world.menu->update();
    EXPECT_EQ(world.gameData.getLoadedMission(), "missions/race/");
    EXPECT_GT(world.entities.getVehicleCount(), 0);
}

TEST(Menu, ContinueGoesBackToTheSameRace)
{
    CRaceWorld world(kFixtures);
    ASSERT_TRUE(world.load("missions/race/")) << world.out;
    world.frames(10);
    leaveWithEscape(world);
    const int loaded = entityCount(world);
    world.menu->setMenuName("Continue");
    world.menu->update();
    EXPECT_EQ(world.engine->getGameState(), EGS_RACE);
    EXPECT_EQ(world.menu->getMenuName(), "Main");
    EXPECT_EQ(entityCount(world), loaded);
}

TEST(Menu, BreakAndExitClearTheRaceAway)
{
    for (const char* name : {"Break", "Exit"}) {
        CRaceWorld world(kFixtures);
        ASSERT_TRUE(world.load("missions/race/")) << world.out;
        world.frames(10);
        leaveWithEscape(world);
        ASSERT_GT(entityCount(world), 0);
        world.menu->setMenuName(name);
        world.menu->update();
        EXPECT_EQ(entityCount(world), 0) << name;
        EXPECT_FALSE(world.menu->isRaceRunning()) << name;
        // Nothing of the race's meshes is kept once nothing uses them.
        EXPECT_EQ(world.engine->getSceneManager()->getMeshCache()->getMeshCount(), 0u) << name;
        if (std::string(name) == "Break") {
            EXPECT_EQ(world.menu->getMenuName(), "Main");
            EXPECT_EQ(world.engine->getGameState(), EGS_MENU);
        } else {
            EXPECT_EQ(world.engine->getGameState(), EGS_QUIT);
        }
        EXPECT_FALSE(std::filesystem::exists(world.dir.file("settings.xml"))) << name;
    }
}

TEST(Menu, AWonRaceBrokenOffFromTheMenuStillCountsOnce)
{
    for (const char* name : {"Break", "Exit"}) {
        CRaceWorld world(kFixtures);
        winMissionOne(world);
        leaveWithEscape(world);
        EXPECT_FALSE(std::filesystem::exists(world.dir.file("settings.xml")));
        world.menu->setMenuName(name);
        world.menu->update();
        EXPECT_EQ(world.engine.settings.progressLevel, 2) << name;
        ASSERT_TRUE(std::filesystem::exists(world.dir.file("settings.xml"))) << name;
        SGameSettings saved;
        testsupport::captureStdout([&] { world.gameData.loadSettings("settings.xml", &saved); });
        EXPECT_EQ(saved.progressLevel, 2) << name;

        // Once: breaking off again saves nothing more.
        std::filesystem::remove(world.dir.file("settings.xml"));
        world.menu->setMenuName("Break");
        world.menu->update();
        EXPECT_FALSE(std::filesystem::exists(world.dir.file("settings.xml"))) << name;
    }
}

TEST(Menu, AWonRaceContinuedToItsEndCountsOnlyAtItsEnd)
{
    CRaceWorld world(kFixtures);
    winMissionOne(world);
    leaveWithEscape(world);
    world.menu->setMenuName("Continue");
    world.menu->update();
    world.resume();
    ASSERT_TRUE(world.frame());
    EXPECT_EQ(world.engine.settings.progressLevel, 1) << "counted before the race was over";
    // The closing wait ends 8000 ms of game clock after the finish.
    const u32 over = static_cast<u32>(world.gameData.getFinishTime() + world.engine->pausedTime) + 8001;
    bool running = true;
    testsupport::captureStdout([&] { running = world.frameAt(over); });
    ASSERT_FALSE(running);
    EXPECT_EQ(world.engine.settings.progressLevel, 2);
    ASSERT_EQ(world.menu->getMenuName(), "BreakAndNew");

    // The race's end saved the win; the menu's tear-down does not save it again. The window
    // is closed so that the mission selection that follows returns at once.
    std::filesystem::remove(world.dir.file("settings.xml"));
    world.engine->getDevice()->closeDevice();
    world.menu->update();
    EXPECT_EQ(entityCount(world), 0);
    EXPECT_EQ(world.menu->getMenuName(), "New");
    EXPECT_FALSE(std::filesystem::exists(world.dir.file("settings.xml")));
}

TEST(Menu, ALostRaceBrokenOffSavesNothing)
{
    CRaceWorld world(kFixtures);
    world.linkMission("m01", "flat");
    ASSERT_TRUE(world.load("missions/m01/")) << world.out;
    world.frames(10);
    leaveWithEscape(world);
    world.menu->setMenuName("Break");
    world.menu->update();
    EXPECT_EQ(world.engine.settings.progressLevel, 1);
    EXPECT_FALSE(std::filesystem::exists(world.dir.file("settings.xml")));
}

TEST(Menu, AWindowClosedInAScreenEndsTheGameAndKeepsTheName)
{
    for (const char* name : {"Main", "New", "Options", "Credits", "Whatever"}) {
        CRaceWorld world(kFixtures);
        world.engine->setGameState(EGS_MENU);
        world.engine->getDevice()->closeDevice();
        world.menu->setMenuName(name);
        world.menu->update();
        EXPECT_EQ(world.engine->getGameState(), EGS_QUIT) << name;
        EXPECT_EQ(world.menu->getMenuName(), name);
    }
}
