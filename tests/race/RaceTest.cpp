// The race loop on the test missions: the countdown, leaving to the menu and coming back, items,
// the lap and rally endings with the finish order, the end of a race with the progress level and
// the settings file, and the ground and air rules of the frame.
#include <gtest/gtest.h>

#include <AL/al.h>
#include <algorithm>
#include <btBulletDynamicsCommon.h>
#include <cmath>
#include <filesystem>
#include <vector>

#include "RaceFixtures.h"
#include "audio/CSound.h"
#include "audio/CSoundManager.h"
#include "core/CGameEngine.h"
#include "race/CControllerPack.h"
#include "world/CItemEntity.h"
#include "world/CStaticObjectEntity.h"
#include "world/CPhysicsBody.h"
#include "world/CVehicleEntity.h"
#include "world/vehicle/btRaycastVehicle.h"

using namespace irr;
using racetest::CRaceWorld;

namespace {

const char* const kFixtures = SANDVOLT_FIXTURE_DIR;

btVector3 originOf(CRaceWorld& world, CVehicleEntity* car)
{
    return world.bodyOf(car)->getWorldTransform().getOrigin();
}

// After each frame of the countdown's end: held up to the start, running from the frame after.
void expectPhaseFollowsTheClock(CRaceWorld& world, int frame)
{
    ASSERT_EQ(world.gameData.getRacePhase(), world.raceTime() > 0.0f ? 2 : 0)
        << "frame " << frame << ", race time " << world.raceTime();
}

TEST(Race, CountdownHoldsCarsUntil6000ms)
{
    CRaceWorld world(kFixtures);
    ASSERT_TRUE(world.load("missions/race/")) << world.out;
    ASSERT_EQ(world.entities.getVehicleCount(), 3);
    world.press(KEY_KEY_W, true);
    std::vector<btVector3> start;
    for (int i = 0; i < 3; ++i)
        start.push_back(originOf(world, world.vehicle(i)));

    // 360 frames of 1/60 s reach the start exactly: the cars are still held then.
    for (int f = 1; f <= 360; ++f) {
        ASSERT_TRUE(world.frame());
        expectPhaseFollowsTheClock(world, f);
        for (int i = 0; i < 3; ++i) {
            CVehicleEntity* car = world.vehicle(i);
            ASSERT_EQ(originOf(world, car), start[i]) << car->getName() << " frame " << f;
            ASSERT_EQ(car->getControllerPack()->getEngineForce(), 0.0f) << car->getName();
            ASSERT_EQ(car->getControllerPack()->getBrakeForce(), car->getMaxBreakingForce());
        }
    }
    EXPECT_EQ(world.raceTime(), 0.0f);
    EXPECT_EQ(world.player()->getEngineSound()->getPitch(), 0.75f);
    // The first frame snapped the camera behind the player's car (which faces +z).
    const core::vector3df camera = world.camera.getCameraNode()->getPosition();
    EXPECT_NEAR(camera.X, start[0].x(), 0.01f);
    EXPECT_NEAR(camera.Y, start[0].y() + 4.5f, 0.2f);
    EXPECT_NEAR(camera.Z, start[0].z() - 9.0f, 0.2f);

    // The very next frame drives.
    ASSERT_TRUE(world.frame());
    expectPhaseFollowsTheClock(world, 361);
    for (int i = 0; i < 3; ++i) {
        CVehicleEntity* car = world.vehicle(i);
        EXPECT_GT(car->getControllerPack()->getEngineForce(), 0.0f) << car->getName();
        EXPECT_EQ(world.bodyOf(car)->getLinearFactor(), btVector3(1, 1, 1));
    }
    world.frames(60);
    EXPECT_GT(originOf(world, world.player()).z(), start[0].z() + 1.0f);
    EXPECT_GT(world.player()->getEngineSound()->getPitch(), 0.75f);
}

TEST(Race, LeavingAndComingBackStopsTheRaceClockAndTheCountdown)
{
    CRaceWorld world(kFixtures);
    ASSERT_TRUE(world.load("missions/race/")) << world.out;
    world.frames(180);
    world.press(KEY_ESCAPE, true);
    EXPECT_FALSE(world.frame());
    const f32 leftAt = world.raceTime();
    ASSERT_LT(leftAt, 0.0f);
    EXPECT_EQ(world.engine->getGameState(), EGS_MENU);
    EXPECT_EQ(world.engine->pauseStartTime, static_cast<f32>(world.now()));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(world.vehicle(i)->getEngineSound()->getState(), ESS_PAUSED);
    if (CSound* track = world.sounds->getCurrentTrack()) {
        EXPECT_EQ(track->getState(), ESS_PAUSED);
    }
    world.press(KEY_ESCAPE, false);

    world.advance(20000);
    world.resume();
    ASSERT_TRUE(world.frame());
    EXPECT_EQ(world.raceTime(), leftAt) << "the first frame back goes on where the race was left";
    EXPECT_EQ(world.vehicle(1)->getEngineSound()->getState(), ESS_PLAYING_3D);
    for (int f = 0; f < 200; ++f) {
        ASSERT_TRUE(world.frame());
        expectPhaseFollowsTheClock(world, f);
    }
    ASSERT_EQ(world.gameData.getRacePhase(), 2);

    // A mission chosen in the menu leaves the race too, before anything of the frame happens.
    world.frames(60);
    const btVector3 at = originOf(world, world.vehicle(1));
    world.gameData.setSelectedMission("missions/flat/");
    EXPECT_FALSE(world.frame());
    EXPECT_EQ(world.engine->getGameState(), EGS_MENU);
    EXPECT_EQ(originOf(world, world.vehicle(1)), at);
}

// At a low frame rate a quick Escape falls wholly between two frames: the race still leaves, once.
TEST(Race, AnEscapeTapBetweenTwoFramesLeavesTheRaceOnce)
{
    CRaceWorld world(kFixtures);
    ASSERT_TRUE(world.load("missions/race/")) << world.out;
    world.frames(30);
    world.press(KEY_ESCAPE, true);
    world.press(KEY_ESCAPE, false);
    EXPECT_FALSE(world.frame());
    EXPECT_EQ(world.engine->getGameState(), EGS_MENU);
    world.resume();
    EXPECT_TRUE(world.frame());
    EXPECT_TRUE(world.frame());
}

TEST(Race, LeavingAndComingBackStopsTheItemClocks)
{
    CRaceWorld world(kFixtures);
    ASSERT_TRUE(world.load("missions/flat/")) << world.out;
    world.frames(400);
    CVehicleEntity* me = world.player();
    CItemEntity* boost = world.entities.getItem(0);
    boost->getNode()->setPosition(me->getBodyNode()->getPosition() + core::vector3df(0, 1, 0));
    ASSERT_TRUE(world.frame());
    ASSERT_FALSE(boost->isActive());
    ASSERT_EQ(me->getItem(), boost);
    const f32 takenAt = static_cast<f32>(static_cast<s32>(world.gameClock()));
    // Out of reach, so the respawned item stays where the test can see it.
    boost->getNode()->setPosition(core::vector3df(150, 1, 150));

    world.frames(60);
    world.press(KEY_ESCAPE, true);
    ASSERT_FALSE(world.frame());
    world.press(KEY_ESCAPE, false);
    world.advance(45000); // longer than both the effect (10 s) and the respawn (30 s)
    world.resume();
    for (int f = 0; f < 60 * 40; ++f) {
        ASSERT_TRUE(world.frame());
        const f32 clock = world.gameClock();
        ASSERT_EQ(me->getItem() == boost, clock <= takenAt + 10000.0f) << clock;
        ASSERT_EQ(boost->isActive(), clock > takenAt + 30000.0f) << clock;
    }
}

struct SCreatorCase {
    const char* what;
    bool held;
    bool switchedOn;
    bool taken;
};

TEST(Race, ItemsWorkOnlyWhileAnItemsCreatorIsHeldAndOff)
{
    const SCreatorCase cases[] = {
        {"items creator held and off", true, false, true},
        {"items creator switched on", true, true, false},
        {"no items creator", false, false, false},
    };
    for (const SCreatorCase& c : cases) {
        racetest::SWorldOptions options;
        options.itemsCreator = c.held;
        CRaceWorld world(kFixtures, options);
        ASSERT_TRUE(world.load("missions/flat/")) << world.out;
        if (c.switchedOn) {
            world.press(KEY_F2, true);
            testsupport::captureStdout([&] { world.creator.update(); });
            world.press(KEY_F2, false);
        }
        CItemEntity* boost = world.entities.getItem(0);
        boost->getNode()->setPosition(world.player()->getBodyNode()->getPosition());
        const f32 spin = boost->getNode()->getRotation().Y;
        world.frames(2);
        EXPECT_EQ(!boost->isActive(), c.taken) << c.what;
        EXPECT_EQ(world.player()->getItem() == boost, c.taken) << c.what;
        EXPECT_EQ(boost->getNode()->getRotation().Y != spin, c.taken) << c.what << ": items updated";
    }
}

TEST(Race, LapRaceEndsOnlyWithThePlayersFinishAndKeepsTheFinishersInPlace)
{
    CRaceWorld world(kFixtures);
    ASSERT_TRUE(world.load("missions/race/")) << world.out;
    world.frames(370);
    CVehicleEntity* me = world.player();
    CVehicleEntity* rival = world.vehicle(1);
    CVehicleEntity* hauler = world.vehicle(2);

    rival->setLap(2);
    ASSERT_TRUE(world.frame());
    EXPECT_TRUE(rival->isFinished());
    EXPECT_EQ(world.gameData.getRaceOrderEntry(0), rival);
    hauler->setLap(2);
    ASSERT_TRUE(world.frame());
    EXPECT_EQ(world.gameData.getRaceOrderEntry(1), hauler);
    EXPECT_EQ(world.gameData.getFinisherCount(), 2);

    // Further along the track than the winner, yet second: finished cars keep their places.
    world.teleport(hauler, core::vector3df(-40.0f, 0.5f, 30.0f), 180.0f);
    world.frames(5);
    ASSERT_GT(hauler->getNavigationIndex(), rival->getNavigationIndex());
    EXPECT_EQ(world.gameData.getRaceOrderEntry(0), rival);
    EXPECT_EQ(world.gameData.getRaceOrderEntry(1), hauler);

    // The computer cars' finishes do not end a lap race.
    EXPECT_EQ(world.frames(60 * 12), 60 * 12);
    EXPECT_EQ(world.gameData.getRacePhase(), 2);

    me->setLap(2);
    ASSERT_TRUE(world.frame());
    EXPECT_EQ(world.gameData.getRacePhase(), 1);
    EXPECT_EQ(world.gameData.getFinishTime(), world.gameClock());
    ASSERT_EQ(world.gameData.getFinisherCount(), 3);
    EXPECT_EQ(world.gameData.getFinisher(2), me);

    const u32 finishedAt = world.now();
    EXPECT_TRUE(world.frameAt(finishedAt + 8000));
    EXPECT_FALSE(world.race->isWon());
    EXPECT_FALSE(world.frameAt(finishedAt + 8001));
    EXPECT_EQ(world.engine->getGameState(), EGS_MENU);
    EXPECT_EQ(world.menu->getMenuName(), "BreakAndNew");
    EXPECT_EQ(me->getEngineSound()->getState(), ESS_PAUSED);
    EXPECT_FALSE(std::filesystem::exists(world.dir.file("settings.xml"))) << "a lost race saves nothing";
}

// A finished car stands where it stopped, on the ground, and the cars still racing drive
// through it.
TEST(Race, FinishedCarDoesNotBlockTheCarsStillRacing)
{
    CRaceWorld world(kFixtures);
    ASSERT_TRUE(world.load("missions/race/")) << world.out;
    world.frames(370 + 120);
    CVehicleEntity* rival = world.vehicle(1);
    CVehicleEntity* hauler = world.vehicle(2);
    // Square across the rival's way, 30 m ahead of it, held on its brakes.
    const btVector3 heading = world.bodyOf(rival)->getLinearVelocity().normalized();
    ASSERT_GT(world.bodyOf(rival)->getLinearVelocity().length(), 5.0f);
    const f32 rivalHeight = originOf(world, rival).y();
    const btVector3 block = originOf(world, rival) + 30.0f * heading;
    const f32 across = static_cast<f32>(std::atan2(heading.x(), heading.z()) * core::RADTODEG64) + 90.0f;
    world.teleport(hauler, core::vector3df(block.x(), 0.1f, block.z()), across);
    hauler->setLap(world.gameData.getLaps());
    world.frames(30);
    const btVector3 standing = originOf(world, hauler);

    f32 closest = 1e9f, highest = rivalHeight;
    for (int f = 0; f < 3 * 60; ++f) {
        world.frame();
        const btVector3 offset = originOf(world, rival) - standing;
        closest = std::min(closest, btVector3(offset.x(), 0.0f, offset.z()).length());
        highest = std::max(highest, originOf(world, rival).y());
    }
    EXPECT_LT(closest, 2.0f) << "the rival drove round the finished car, not through it";
    EXPECT_LT(highest, rivalHeight + 0.3f) << "the rival drove over the finished car";
    const f32 past = (originOf(world, rival) - standing).dot(heading);
    EXPECT_GT(past, 10.0f) << "the rival is " << past << " m along its way past the finished car";
    const btVector3 moved = originOf(world, hauler) - standing;
    EXPECT_LT(btVector3(moved.x(), 0.0f, moved.z()).length(), 0.1f) << "the finished car was pushed";
    sandvolt::btRaycastVehicle* wheels = hauler->getPhysicsBody()->getVehicle();
    for (int w = 0; w < wheels->getNumWheels(); ++w)
        EXPECT_TRUE(wheels->getWheelInfo(w).m_raycastInfo.m_groundObject) << "wheel " << w << " is off the ground";
}

// A lap race the player wins: the cars still out are placed behind in race order, the next
// mission opens and the settings are saved.
TEST(Race, LapRaceWonByThePlayerOpensTheNextMissionAndPlacesTheOthersInRaceOrder)
{
    CRaceWorld world(kFixtures);
    world.linkMission("m03", "race");
    ASSERT_TRUE(world.load("missions/m03/")) << world.out;
    world.engine.settings.progressLevel = 3;
    world.frames(370);
    CVehicleEntity* me = world.player();
    // The hauler a lap ahead of the rival, so the race order is not the order of the mission.
    world.vehicle(2)->setLap(1);
    me->setLap(2);
    ASSERT_TRUE(world.frame());
    ASSERT_EQ(world.gameData.getRacePhase(), 1);
    EXPECT_EQ(world.gameData.getFinisherCount(), 1);
    CVehicleEntity* second = world.gameData.getRaceOrderEntry(1);
    CVehicleEntity* third = world.gameData.getRaceOrderEntry(2);
    ASSERT_EQ(second, world.vehicle(2));
    const u32 finishedAt = world.now();
    EXPECT_TRUE(world.frameAt(finishedAt + 8000));
    EXPECT_TRUE(world.race->isWon());
    bool running = true;
    testsupport::captureStdout([&] { running = world.frameAt(finishedAt + 8001); });
    EXPECT_FALSE(running);

    ASSERT_EQ(world.gameData.getFinisherCount(), 3);
    EXPECT_EQ(world.gameData.getFinisher(0), me);
    EXPECT_EQ(world.gameData.getFinisher(1), second);
    EXPECT_EQ(world.gameData.getFinisher(2), third);
    EXPECT_EQ(world.engine.settings.progressLevel, 4);
    ASSERT_TRUE(std::filesystem::exists(world.dir.file("settings.xml")));
    SGameSettings saved;
    testsupport::captureStdout([&] { world.gameData.loadSettings("settings.xml", &saved); });
    EXPECT_EQ(saved.progressLevel, 4);
}

// Whoever finishes first starts the closing wait; the result is judged on the player's own time.
TEST(Race, RallyEndsWithTheFirstFinishOfAnyCarAndIsJudgedOnThePlayersTime)
{
    for (const bool playerFirst : {false, true}) {
        const char* what = playerFirst ? "the player finishes first" : "a computer car finishes first";
        CRaceWorld world(kFixtures);
        ASSERT_TRUE(world.load("missions/race/")) << world.out;
        world.gameData.setRaceType(1);
        world.frames(370);
        CVehicleEntity* first = playerFirst ? world.player() : world.vehicle(1);
        CVehicleEntity* second = playerFirst ? world.vehicle(1) : world.player();

        first->setLap(2);
        ASSERT_TRUE(world.frame());
        EXPECT_EQ(world.gameData.getRacePhase(), 1) << what;
        const f32 firstFinish = world.gameClock();
        const u32 firstAt = world.now();
        EXPECT_EQ(world.gameData.getFinishTime(), firstFinish) << what;
        ASSERT_EQ(world.gameData.getRallyTimeCount(), 1) << what;
        EXPECT_EQ(world.gameData.getRallyTime(0), static_cast<s32>(world.raceTime())) << what;
        ASSERT_TRUE(world.frame());
        // The mission stores no reference times, so the first time is the best one.
        EXPECT_EQ(world.race->isWon(), playerFirst) << what << ": a computer car's time is no win";

        world.frames(60);
        second->setLap(2);
        ASSERT_TRUE(world.frame());
        EXPECT_TRUE(second->isFinished()) << what;
        EXPECT_EQ(world.gameData.getRallyTimeCount(), 2) << what;
        const f32 playerFinish = playerFirst ? firstFinish : world.gameClock();
        const u32 playerAt = playerFirst ? firstAt : world.now();
        EXPECT_EQ(world.gameData.getFinishTime(), playerFinish) << what << ": the player's finish counts";
        ASSERT_TRUE(world.frame());
        EXPECT_EQ(world.race->isWon(), playerFirst) << what;

        EXPECT_TRUE(world.frameAt(playerAt + 8000)) << what;
        bool running = true;
        testsupport::captureStdout([&] { running = world.frameAt(playerAt + 8001); });
        EXPECT_FALSE(running) << what;
        EXPECT_EQ(world.menu->getMenuName(), "BreakAndNew") << what;
        EXPECT_EQ(std::filesystem::exists(world.dir.file("settings.xml")), playerFirst) << what;
    }
}

// The loader refuses a mission without the player's car; the race itself must not need one.
TEST(Race, RaceWithoutCarsRunsAndNobodyWins)
{
    for (const s32 raceType : {0, 1}) {
        CRaceWorld world(kFixtures);
        // No reference times: in a rally any time at all would be the best one.
        ASSERT_TRUE(world.load("missions/race/")) << world.out;
        world.gameData.setRaceType(raceType);
        world.entities.clearVehicles();
        world.gameData.buildRaceOrder(&world.entities);
        const core::vector3df camera = world.camera.getCameraNode()->getPosition();

        EXPECT_EQ(world.frames(400), 400) << "race type " << raceType;
        EXPECT_EQ(world.gameData.getRacePhase(), 2);
        EXPECT_FALSE(world.race->isWon()) << "race type " << raceType;
        EXPECT_EQ(world.camera.getCameraNode()->getPosition(), camera);
        world.press(KEY_ESCAPE, true);
        EXPECT_FALSE(world.frame());
        EXPECT_EQ(world.engine->getGameState(), EGS_MENU);
    }
}

struct SEndCase {
    const char* what;
    const char* mission;
    s32 level;
    u32 raceTimeMs; // the player's time; the references are 45000, 60000 and 90000
    bool won;
    s32 levelAfter;
    u32 wait;
};

TEST(Race, EndOfRaceRaisesTheProgressLevelOnlyForAWin)
{
    const SEndCase cases[] = {
        {"winning mission 3 at level 3 opens mission 4", "m03", 3, 44999, true, 4, 8000},
        {"winning mission 3 at level 5 keeps level 5", "m03", 5, 44999, true, 5, 8000},
        {"winning mission 1 opens mission 2", "m01", 1, 30000, true, 2, 8000},
        {"winning mission 7 opens the last", "m07", 7, 30000, true, 8, 8000},
        {"a time equal to the best reference is placed behind it", "m03", 3, 45000, false, 3, 8000},
        {"a slow drive loses", "m02", 2, 95000, false, 2, 8000},
        {"winning the last mission waits for the closing messages", "m08", 8, 30000, true, 8, 59000},
        {"losing the last mission", "m08", 8, 60000, false, 8, 8000},
    };
    for (const SEndCase& c : cases) {
        CRaceWorld world(kFixtures);
        world.linkMission(c.mission, "flat");
        const std::string folder = std::string("missions/") + c.mission + "/";
        ASSERT_TRUE(world.load(folder)) << world.out;
        world.engine.settings.progressLevel = c.level;

        // The player crosses the line for the last time at exactly this race time.
        world.player()->setLap(1);
        const u32 finishedAt = world.now() + 6000 + c.raceTimeMs;
        ASSERT_TRUE(world.frameAt(finishedAt)) << c.what;
        ASSERT_EQ(world.gameData.getRacePhase(), 1) << c.what;
        EXPECT_TRUE(world.frameAt(finishedAt + c.wait)) << c.what;
        EXPECT_EQ(world.race->isWon(), c.won) << c.what;
        bool running = true;
        testsupport::captureStdout([&] { running = world.frameAt(finishedAt + c.wait + 1); });
        EXPECT_FALSE(running) << c.what;

        EXPECT_EQ(world.engine->getGameState(), EGS_MENU) << c.what;
        EXPECT_EQ(world.menu->getMenuName(), "BreakAndNew") << c.what;
        EXPECT_EQ(world.engine.settings.progressLevel, c.levelAfter) << c.what;
        ASSERT_EQ(std::filesystem::exists(world.dir.file("settings.xml")), c.won) << c.what;
        if (c.won) {
            SGameSettings saved;
            testsupport::captureStdout([&] { world.gameData.loadSettings("settings.xml", &saved); });
            EXPECT_EQ(saved.progressLevel, c.levelAfter) << c.what;
        }
    }
}

TEST(Race, PlayerGetsNoDriveOffTheTerrainAndAirborneCarsStopSpinning)
{
    CRaceWorld world(kFixtures);
    ASSERT_TRUE(world.load("missions/race/")) << world.out;
    CVehicleEntity* me = world.player();
    btRigidBody* body = world.bodyOf(me);
    CControllerPack* controller = me->getControllerPack();
    const f32 maxBrake = me->getMaxBreakingForce();

    // Floating during the countdown: the airborne rule waits for the start.
    world.teleport(me, core::vector3df(0.0f, 30.0f, -150.0f));
    world.frames(300);
    EXPECT_EQ(body->getAngularDamping(), 0.0f);
    world.frames(61);
    ASSERT_EQ(world.gameData.getRacePhase(), 2);
    EXPECT_EQ(body->getAngularDamping(), 1.0f) << "the physics library's upper limit";
    world.frames(240);
    EXPECT_EQ(body->getAngularDamping(), 0.0f) << "back on its wheels";

    // On the infield block (friction 0.75) the forward key does nothing and the car rolls free.
    world.teleport(me, core::vector3df(0.0f, 2.0f, 0.0f));
    world.press(KEY_KEY_W, true);
    world.frames(90);
    ASSERT_NEAR(originOf(world, me).y(), 1.5f, 1.0f) << "the car stands on the block";
    EXPECT_EQ(controller->getEngineForce(), 0.0f);
    EXPECT_EQ(controller->getBrakeForce(), 0.0f);
    EXPECT_LT(std::abs(me->getPhysicsBody()->getVehicle()->getCurrentSpeedKmHour()), 3.0f);

    // Rolling there above 3 km/h it brakes at 1.5 times its maximum.
    const btVector3 forward = body->getWorldTransform().getBasis().getColumn(2);
    for (int f = 0; f < 2; ++f) {
        body->setLinearVelocity(forward * 5.0f);
        ASSERT_TRUE(world.frame());
    }
    EXPECT_EQ(controller->getEngineForce(), 0.0f);
    EXPECT_EQ(controller->getBrakeForce(), 1.5f * maxBrake);
}

struct SFilterCase {
    s32 filtering;
    bool bilinear, trilinear;
    u8 anisotropic;
};

TEST(Race, PrepareMaterialsSetsTheFiltersLightingAndEngineVolume)
{
    const SFilterCase cases[] = {{2, false, true, 255}, {1, false, true, 0}, {0, true, false, 0},
                                 {5, true, false, 0}};
    CRaceWorld world(kFixtures);
    ASSERT_TRUE(world.load("missions/flat/")) << world.out;
    world.engine.settings.environmentVolume = 50;
    for (const SFilterCase& c : cases) {
        world.engine.settings.filtering = c.filtering;
        world.race->prepareMaterials();
        CVehicleEntity* me = world.player();
        scene::ISceneNode* nodes[] = {me->getBodyNode(), me->getWheelNodeBR(),
                                      world.entities.getStaticObject(0)->getNode(),
                                      world.entities.getItem(0)->getNode()};
        for (scene::ISceneNode* node : nodes) {
            ASSERT_NE(node, nullptr);
            ASSERT_GT(node->getMaterialCount(), 0u);
            EXPECT_EQ(node->getAutomaticCulling(), scene::EAC_FRUSTUM_BOX);
            for (u32 m = 0; m < node->getMaterialCount(); ++m) {
                const video::SMaterial& material = node->getMaterial(m);
                EXPECT_FALSE(material.Lighting);
                EXPECT_FALSE(material.FogEnable);
                for (u32 layer = 0; layer < video::MATERIAL_MAX_TEXTURES; ++layer) {
                    const video::SMaterialLayer& l = material.TextureLayer[layer];
                    EXPECT_EQ(l.BilinearFilter, c.bilinear) << "filtering " << c.filtering;
                    EXPECT_EQ(l.TrilinearFilter, c.trilinear) << "filtering " << c.filtering;
                    EXPECT_EQ(l.AnisotropicFilter, c.anisotropic) << "filtering " << c.filtering;
                }
            }
        }
        EXPECT_FLOAT_EQ(me->getEngineSound()->getGain(), 0.1f);
    }
    ASSERT_NE(world.sounds->getCurrentTrack(), nullptr);
    EXPECT_EQ(world.sounds->getCurrentTrack()->getState(), ESS_PLAYING_RELATIVE);
}

TEST(Race, RaceRunsWithoutMusic)
{
    racetest::SWorldOptions options;
    options.music = false;
    CRaceWorld world(kFixtures, options);
    ASSERT_TRUE(world.load("missions/flat/")) << world.out;
    ASSERT_EQ(world.sounds->getCurrentTrack(), nullptr);
    world.frames(30);
    world.press(KEY_ESCAPE, true);
    EXPECT_FALSE(world.frame());
    world.press(KEY_ESCAPE, false);
    world.resume();
    world.race->prepareMaterials();
    world.player()->setLap(1);
    EXPECT_TRUE(world.frameAt(world.now() + 6000 + 100000));
    EXPECT_FALSE(world.frameAt(world.now() + 8001));
    EXPECT_EQ(world.menu->getMenuName(), "BreakAndNew");
}

// The chase camera snaps behind the car on the first frame of a race only: a race resumed from
// the menu goes on from where the camera was, even when the car stands another way now.
TEST(Race, ResumedRaceKeepsTheCameraWhereItWas)
{
    CRaceWorld world(kFixtures);
    ASSERT_TRUE(world.load("missions/race/")) << world.out;
    world.frames(60);
    const core::vector3df before = world.camera.getCameraNode()->getPosition();
    world.press(KEY_ESCAPE, true);
    ASSERT_FALSE(world.frame());
    world.press(KEY_ESCAPE, false);
    const btVector3 at = originOf(world, world.player());
    world.teleport(world.player(), core::vector3df(at.x(), at.y(), at.z()), 90.0f);
    world.advance(5000);
    world.resume();
    ASSERT_TRUE(world.frame());
    const core::vector3df after = world.camera.getCameraNode()->getPosition();
    EXPECT_NEAR(after.X, before.X, 0.01f);
    EXPECT_NEAR(after.Z, before.Z, 0.01f);
}

// A computer car held in place backs out after 2.5 s; coming back from the menu it starts afresh
// and drives forwards, as the time in the menu was no time standing still.
TEST(Race, ComputerCarStartsAfreshAfterThePauseMenu)
{
    CRaceWorld world(kFixtures);
    ASSERT_TRUE(world.load("missions/race/")) << world.out;
    world.frames(370);
    CVehicleEntity* rival = world.vehicle(1);
    world.bodyOf(rival)->setLinearFactor(btVector3(0, 0, 0));
    world.frames(60 * 3);
    ASSERT_LT(rival->getControllerPack()->getEngineForce(), 0.0f) << "stuck, backing out";

    world.press(KEY_ESCAPE, true);
    ASSERT_FALSE(world.frame());
    world.press(KEY_ESCAPE, false);
    world.advance(10000);
    world.resume();
    ASSERT_TRUE(world.frame());
    EXPECT_GT(rival->getControllerPack()->getEngineForce(), 0.0f);
}

TEST(Race, CarTakesAnItemWithinThreeUnits)
{
    const struct {
        f32 distance;
        bool taken;
    } cases[] = {{0.5f, true}, {2.9f, true}, {3.1f, false}, {8.0f, false}};
    for (const auto& c : cases) {
        CRaceWorld world(kFixtures);
        ASSERT_TRUE(world.load("missions/flat/")) << world.out;
        world.frames(30);
        CVehicleEntity* me = world.player();
        CItemEntity* boost = world.entities.getItem(0);
        // Sideways of the car, which stands still in the countdown.
        boost->getNode()->setPosition(me->getBodyNode()->getPosition() + core::vector3df(c.distance, 0, 0));
        ASSERT_TRUE(world.frame());
        EXPECT_EQ(me->getItem() == boost, c.taken) << c.distance;
        EXPECT_EQ(boost->isActive(), !c.taken) << c.distance;
    }
}

// A slow frame runs the physics in at most six fixed steps of 1/60 s: the rest is lost rather
// than piled up.
TEST(Race, SlowFrameRunsAtMostSixPhysicsSteps)
{
    CRaceWorld world(kFixtures);
    ASSERT_TRUE(world.load("missions/race/")) << world.out;
    world.frames(370);
    CVehicleEntity* me = world.player();
    world.teleport(me, core::vector3df(0.0f, 60.0f, -150.0f));
    ASSERT_TRUE(world.frameAt(world.now() + 250));
    // Falling freely from rest: each step adds gravity / 60 to the speed.
    const btScalar g = -world.engine->getDynamicsWorld()->getGravity().y();
    EXPECT_NEAR(-world.bodyOf(me)->getLinearVelocity().y() * 60.0f / g, 6.0f, 0.01f);
}

// The listener follows the camera, the player hears the own engine there, and every other
// engine sounds from its car.
TEST(Race, EngineSoundsAndTheListenerFollowTheCarsAndTheCamera)
{
    CRaceWorld world(kFixtures);
    ASSERT_TRUE(world.load("missions/race/")) << world.out;
    world.frames(400);
    const core::vector3df camera = world.camera.getCameraNode()->getPosition();
    ALfloat x = 0, y = 0, z = 0;
    alGetListener3f(AL_POSITION, &x, &y, &z);
    EXPECT_EQ(core::vector3df(x, y, z), camera);
    CSound* mine = world.player()->getEngineSound();
    EXPECT_EQ(mine->getPosition(), camera);
    for (int i = 1; i < 3; ++i) {
        CVehicleEntity* car = world.vehicle(i);
        EXPECT_EQ(car->getEngineSound()->getPosition(), car->getBodyNode()->getPosition()) << car->getName();
        EXPECT_FLOAT_EQ(car->getEngineSound()->getRolloff(), 0.11f) << car->getName();
        EXPECT_EQ(car->getEngineSound()->getState(), ESS_PLAYING_3D) << car->getName();
    }
    EXPECT_FLOAT_EQ(mine->getRolloff(), 0.11f);
}

} // namespace
