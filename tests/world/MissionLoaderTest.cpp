// Loading a mission folder into the game data and the entity manager: the test missions that
// fixturegen writes, and small "mission.xml" files written here for the reading rules.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>
#include <sys/stat.h>

#include "EntityFixtures.h"
#include "MissionFixtures.h"
#include "audio/CSound.h"
#include "audio/CSoundManager.h"
#include "core/CGameData.h"
#include "core/CGameEngine.h"
#include "race/CAIControllerPack.h"
#include "race/CWaypoint.h"
#include "support/TestSupport.h"
#include "world/CEntityManager.h"
#include "world/CItemEntity.h"
#include "world/COSEntity.h"
#include "world/CPhysicsBody.h"
#include "world/CStaticObjectEntity.h"
#include "world/CVehicleEntity.h"
#include "world/SEntityDesc.h"

using namespace irr;
using testsupport::gameLines;
namespace fs = std::filesystem;

namespace {

// A car of the fixture art; `fields` go inside the element after the common ones.
std::string car(const std::string& name, const std::string& controller, float x,
                const std::string& fields = "", const std::string& parent = "NULL")
{
    std::string text = "<Vehicle Name=\"" + name + "\" ParentName=\"" + parent + "\">\n";
    if (parent == "NULL") {
        text += "<Mesh Value=\"data/cars/buggy/body.b3d\"/>\n"
                "<WheelFL Value=\"data/cars/buggy/wheel.b3d\"/>\n"
                "<WheelFR Value=\"data/cars/buggy/wheel.b3d\"/>\n"
                "<WheelBL Value=\"data/cars/buggy/wheel.b3d\"/>\n"
                "<WheelBR Value=\"data/cars/buggy/wheel.b3d\"/>\n"
                "<Physic Type=\"VEHICLE0\" Mesh=\"data/cars/buggy/body.b3d\" X=\"2\" Y=\"1\" Z=\"4\" "
                "Mass=\"800\"/>\n";
    }
    text += "<Position X=\"" + std::to_string(x) + "\" Y=\"0.1\" Z=\"-100\"/>\n";
    if (!controller.empty())
        text += "<Controller Type=\"" + controller + "\"/>\n";
    if (parent == "NULL")
        text += "<EngineSound Value=\"data/audio/engines/buggy.ogg\"/>\n";
    return text + fields + "</Vehicle>\n";
}

const char* const kGround =
    "<StaticObject Name=\"Ground\" ParentName=\"NULL\">\n"
    "<Mesh Value=\"data/ground/ground.b3d\"/>\n"
    "<Mapping Type=\"Triplanar\"/>\n"
    "<Texture Value=\"data/ground/sand.dds\"/>\n"
    "<Physic Type=\"MESH\" Mesh=\"data/ground/ground.b3d\" X=\"1\" Y=\"1\" Z=\"1\" Mass=\"0\"/>\n"
    "</StaticObject>\n";

const char* const kRock =
    "<StaticObject Name=\"Rock\" ParentName=\"NULL\">\n"
    "<Mesh Value=\"data/scenery/rock.b3d\"/>\n"
    "<Position X=\"12\" Y=\"0\" Z=\"40\"/>\n"
    "<Texture Value=\"data/scenery/rock.dds\"/>\n"
    "<Physic Type=\"MESH\" Mesh=\"data/scenery/rock.b3d\" X=\"1\" Y=\"1\" Z=\"1\" Mass=\"0\"/>\n"
    "</StaticObject>\n";

const char* const kBoostItem =
    "<Item Name=\"Boost0\" ParentName=\"\"/>\n"
    "<Mesh Value=\"data/items/boost.b3d\"/>\n"
    "<Position X=\"0\" Y=\"1\" Z=\"-50\"/>\n"
    "<Scale X=\"2\" Y=\"2\" Z=\"2\"/>\n"
    "<Boost Value=\"500\"/>\n"
    "<EffectTime Value=\"4000\"/>\n"
    "<RespawnTime Value=\"9000\"/>\n"
    "<Type Value=\"Boost\"/>\n"
    "</Item>\n";

// A run folder of its own: the fixture missions and art, the game's engine sounds and music, and
// room for the missions a test writes.
class MissionLoaderTest : public ::testing::Test, protected missiontest::CMissionWorld {
protected:
    MissionLoaderTest() : CMissionWorld(SANDVOLT_FIXTURE_DIR, true) {}

    // Writes missions/<name>/ with this "mission.xml" and, unless null, "waypoints.xml".
    std::string write(const std::string& name, const std::string& mission,
                      const char* waypoints = "")
    {
        const std::string folder = "missions/" + name + "/";
        fs::create_directories(dir.file(folder));
        dir.write(folder + "mission.xml", mission);
        if (waypoints)
            dir.write(folder + "waypoints.xml", waypoints);
        return folder;
    }

    // A path file of `count` points, so the car that gets it can be told by its point count.
    std::string path(const std::string& name, int count)
    {
        std::string text = "<?xml version=\"1.0\"?>\n\n";
        for (int i = 0; i < count; ++i)
            text += "<Waypoint X=\"" + std::to_string(i) + "\" Y=\"1\" Z=\"" + std::to_string(2 * i) + "\"/>\n";
        dir.write(name, text);
        return name;
    }

    int waypointsOf(int vehicle)
    {
        auto* ai = dynamic_cast<CAIControllerPack*>(entities.getVehicle(vehicle)->getControllerPack());
        return ai ? ai->getWaypointCount() : -1;
    }

    int worldObjects() { return entitytest::bodyCount(engine.get()); }
};

TEST_F(MissionLoaderTest, LapRaceLoadsEveryEntityAndTheRules)
{
    engine.setTime(5000);
    engine->pausedTime = 700;
    engine->pauseStartTime = 4000;
    gameData.setSelectedMission("missions/race/");
    ASSERT_TRUE(load("missions/race/")) << out;
    EXPECT_TRUE(gameLines(out).empty()) << out;

    EXPECT_EQ(gameData.getSelectedMission(), "Null");
    EXPECT_EQ(gameData.getLoadedMission(), "missions/race/");
    EXPECT_EQ(gameData.getRaceType(), 0);
    EXPECT_EQ(gameData.getLaps(), 2);
    EXPECT_EQ(gameData.getShadowType(), 1);
    EXPECT_EQ(gameData.getRacePhase(), 0);
    EXPECT_EQ(gameData.getRaceStartTime(), 5000.0f);
    EXPECT_EQ(engine->pausedTime, 0.0f);
    EXPECT_EQ(engine->pauseStartTime, 0.0f);
    EXPECT_GT(gameData.getNavigationPointCount(), 20);
    EXPECT_GT(gameData.getNavigationPoint(0)->getX(), 39.0f);

    EXPECT_EQ(entities.getCheckpointCount(), 3);
    EXPECT_EQ(entities.getStaticObjectCount(), 3);
    ASSERT_EQ(entities.getVehicleCount(), 3);
    EXPECT_EQ(entities.getPlayerVehicleIndex(), 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(entities.getVehicle(i)->getId(), i);
        EXPECT_EQ(gameData.getRaceOrderEntry(i), entities.getVehicle(i));
        EXPECT_NE(entities.getVehicle(i)->getEngineSound(), nullptr);
    }
    EXPECT_EQ(entities.getVehicle(1)->getMaxVelocity(), 160.0f);
    EXPECT_EQ(entities.getVehicle(2)->getDesc()->getColor().color, 0xFFE6BE1Eu);
    // Two computer cars, two paths: each gets one of its own.
    EXPECT_GT(waypointsOf(1), 0);
    EXPECT_GT(waypointsOf(2), 0);
    EXPECT_NE(waypointsOf(1), waypointsOf(2));
    EXPECT_EQ(entities.getStaticObject(0)->getDesc()->getMapping(), 1);
    EXPECT_EQ(entities.getStaticObject(1)->getDesc()->getMapping(), 0);
    ASSERT_NE(sounds->getCurrentTrack(), nullptr);
    EXPECT_EQ(sounds->getCurrentTrack()->getState(), ESS_PLAYING_RELATIVE);
}

TEST_F(MissionLoaderTest, RallyReadsItsItemsAndSortsItsTimes)
{
    ASSERT_TRUE(load("missions/flat/")) << out;
    EXPECT_TRUE(gameLines(out).empty()) << out;
    EXPECT_EQ(gameData.getRaceType(), 1);
    ASSERT_EQ(gameData.getRallyTimeCount(), 3);
    EXPECT_EQ(gameData.getRallyTime(0), 45000);
    EXPECT_EQ(gameData.getRallyTime(2), 90000);
    ASSERT_EQ(entities.getItemCount(), 2);
    CItemEntity* boost = entities.getItem(0);
    EXPECT_EQ(boost->getType(), EIT_BOOST);
    EXPECT_EQ(boost->getValue(), 10000.0f);
    EXPECT_EQ(boost->getNode()->getPosition(), core::vector3df(0, 1, -50));
    EXPECT_EQ(entities.getItem(1)->getType(), EIT_SPEED);
}

TEST_F(MissionLoaderTest, SecondLoadLeavesOnlyTheSecondMission)
{
    ASSERT_TRUE(load("missions/flat/")) << out;
    const int flatObjects = worldObjects();
    const int flatNodes = entitytest::sceneNodeCount(engine.get());
    ASSERT_TRUE(load("missions/race/")) << out;
    ASSERT_TRUE(load("missions/flat/")) << out;
    EXPECT_EQ(worldObjects(), flatObjects);
    EXPECT_EQ(entitytest::sceneNodeCount(engine.get()), flatNodes);
    EXPECT_EQ(entities.getVehicleCount(), 1);
    EXPECT_EQ(gameData.getLaps(), 1);
    EXPECT_EQ(gameData.getFinisherCount(), 0);

    // A failed load empties the world as well.
    EXPECT_FALSE(load("missions/no_mission/"));
    EXPECT_EQ(worldObjects(), 0);
    EXPECT_EQ(entities.getVehicleCount() + entities.getStaticObjectCount(), 0);
}

TEST_F(MissionLoaderTest, EachMeshFileIsReadOnceAMissionAndOnlyShownOnesStayCached)
{
    // The ground is its own physics; three rocks stand on one physics-only mesh.
    std::string mission = kGround;
    for (int i = 0; i < 3; ++i) {
        mission += "<StaticObject Name=\"Rock" + std::to_string(i) + "\" ParentName=\"NULL\">\n"
                   "<Mesh Value=\"data/scenery/rock.b3d\"/>\n"
                   "<Physic Type=\"MESH\" Mesh=\"data/gates/flat0.b3d\" X=\"1\" Y=\"1\" Z=\"1\" Mass=\"0\"/>\n"
                   "</StaticObject>\n";
    }
    mission += car("Player", "Manual", 0);
    const std::string folder = write("shared", mission);
    auto reads = [&](const std::string& mesh) {
        const std::string line = "Loaded mesh: " + mesh;
        int count = 0;
        for (size_t at = out.find(line); at != std::string::npos; at = out.find(line, at + 1))
            ++count;
        return count;
    };
    scene::IMeshCache* cache = engine->getSceneManager()->getMeshCache();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "first load" : "same mission again");
        ASSERT_TRUE(load(folder)) << out;
        EXPECT_EQ(reads("data/ground/ground.b3d"), 1) << out;
        EXPECT_EQ(reads("data/gates/flat0.b3d"), 1) << out;
        EXPECT_EQ(reads("data/scenery/rock.b3d"), 1) << out;
        ASSERT_EQ(entities.getStaticObjectCount(), 4);
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(entities.getStaticObject(i)->getPhysicsBody()->hasShape()) << i;
        EXPECT_TRUE(cache->isMeshLoaded("data/ground/ground.b3d"));
        EXPECT_TRUE(cache->isMeshLoaded("data/scenery/rock.b3d"));
        EXPECT_FALSE(cache->isMeshLoaded("data/gates/flat0.b3d"));
    }
    // Outside a mission's load a body reads its mesh for itself and lets it go at once.
    const int meshes = cache->getMeshCount();
    CPhysicsBody* alone = nullptr;
    testsupport::captureStdout([&] {
        alone = new CPhysicsBody("MESH", "data/gates/flat0.b3d", 1, 1, 1, 0, engine.get(), nullptr);
    });
    EXPECT_TRUE(alone->hasShape());
    EXPECT_EQ(cache->getMeshCount(), meshes);
    delete alone;
}

struct SMissingCase {
    const char* name;
    const char* mission;   // null: no "mission.xml"
    const char* waypoints; // null: no "waypoints.xml"
    bool loads;
    const char* line;
    const char* refused = nullptr; // the line naming a file that is there but no file to read
};

// In place of a file's text: a folder of that name.
const char* const kFolder = "<folder>";

TEST_F(MissionLoaderTest, MissingFilesSayWhichOne)
{
    const std::string player = car("Player", "Manual", 0);
    const std::string ai = car("Rival", "AI", 6);
    const std::string withAi = player + ai;
    const std::string withNav = std::string(kGround) + "<Navigation Path=\"missions/nowhere.xml\"/>\n" + player;
    const std::string withNavFolder = std::string(kGround) + "<Navigation Path=\"missions/\"/>\n" + player;
    const SMissingCase cases[] = {
        {"no_mission_file", nullptr, "", false, "ERROR: mission.xml not found!"},
        {"no_waypoints_file", player.c_str(), nullptr, true, "ERROR: waypoints.xml not found!"},
        {"no_navigation_file", withNav.c_str(), "", true, "ERROR: Waypoints file not found!"},
        {"no_path_file", withAi.c_str(), "<Waypoints Path=\"missions/gone.xml\"/>", true,
         "ERROR: Waypoints file not found!"},
        {"no_player", ai.c_str(), "", false, "ERROR: missions/no_player/mission.xml has no player's car"},
        // A folder where a file should be is no file (and no reason to run out of memory).
        // It is named first, then the file is missed as a missing one is.
        {"mission_folder", kFolder, "", false, "ERROR: mission.xml not found!",
         "ERROR: missions/mission_folder/mission.xml could not be read (a folder, not a file)"},
        {"waypoints_folder", player.c_str(), kFolder, true, "ERROR: waypoints.xml not found!",
         "ERROR: missions/waypoints_folder/waypoints.xml could not be read (a folder, not a file)"},
        {"navigation_folder", withNavFolder.c_str(), "", true, "ERROR: Waypoints file not found!",
         "ERROR: missions/ could not be read (a folder, not a file)"},
        {"path_folder", withAi.c_str(), "<Waypoints Path=\"missions\"/>", true,
         "ERROR: Waypoints file not found!", "ERROR: missions could not be read (a folder, not a file)"},
    };
    for (const SMissingCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folder = "missions/" + std::string(c.name) + "/";
        fs::create_directories(dir.file(folder));
        for (const auto& [file, text] : {std::make_pair("mission.xml", c.mission),
                                         std::make_pair("waypoints.xml", c.waypoints)}) {
            if (text == kFolder)
                fs::create_directories(dir.file(folder + file));
            else if (text)
                dir.write(folder + file, text);
        }
        EXPECT_EQ(load(folder), c.loads) << out;
        const std::vector<std::string> lines = gameLines(out);
        ASSERT_EQ(lines.size(), c.refused ? 2u : 1u) << out;
        if (c.refused) {
            EXPECT_EQ(lines[0], c.refused);
        }
        EXPECT_EQ(lines.back().rfind(c.line, 0), 0u) << lines.back();
        EXPECT_EQ(gameData.getNavigationPointCount(), 0);
    }
}

TEST_F(MissionLoaderTest, ObjectsInheritFromEarlierParents)
{
    const std::string mission = std::string(kGround) + kRock +
        // A child rock: the parent's values and body, its own position.
        "<StaticObject Name=\"Rock2\" ParentName=\"Rock\">\n<Position X=\"-5\" Y=\"0\" Z=\"7\"/>\n</StaticObject>\n"
        // No ParentName at all: the empty name is looked up and not found.
        "<StaticObject Name=\"Bare\">\n<Mesh Value=\"data/scenery/rock.b3d\"/>\n"
        "<Physic Type=\"MESH\" Mesh=\"data/scenery/rock.b3d\" X=\"1\" Y=\"1\" Z=\"1\" Mass=\"0\"/>\n</StaticObject>\n" +
        kBoostItem +
        // The item's parent: mesh, value and times; its own position only.
        "<Item Name=\"Boost1\" ParentName=\"Boost0\"/>\n<EffectTime Value=\"6000\"/>\n</Item>\n" +
        car("Player", "Manual", 0, "<MaxVelocity Value=\"-20\"/>\n<Color R=\"300\" G=\"1\" B=\"2\" A=\"255\"/>\n") +
        car("Twin", "", 6, "", "Player") +
        car("Lonely", "AI", 12, "", "Nobody");
    const std::string folder = write("inherit", mission);
    ASSERT_TRUE(load(folder)) << out;
    const std::vector<std::string> lines = gameLines(out);
    // The orphan car has nothing to drive with: it is listed, but not built.
    const std::vector<std::string> expected = {"Warning: StaticObject of name \"\" not found!",
                                               "Warning: Vehicle of name \"Nobody\" not found!",
                                               "ERROR: Vehicle \"Lonely\" has no physics body",
                                               // its "waypoints.xml" is empty, and the twin drives by computer
                                               "Warning: missions/inherit/waypoints.xml names no path; the "
                                               "computer cars have none to follow"};
    EXPECT_EQ(lines, expected) << out;

    CStaticObjectEntity* rock2 = entities.findStaticObject("Rock2");
    ASSERT_NE(rock2, nullptr);
    EXPECT_EQ(rock2->getDesc()->getMesh(), "data/scenery/rock.b3d");
    EXPECT_EQ(rock2->getDesc()->getTextureCount(), 1);
    EXPECT_EQ(rock2->getDesc()->getPosition(), core::vector3df(-5, 0, 7));
    ASSERT_NE(rock2->getPhysicsBody(), nullptr);
    EXPECT_NE(rock2->getPhysicsBody(), entities.findStaticObject("Rock")->getPhysicsBody());

    ASSERT_EQ(entities.getItemCount(), 2);
    CItemEntity* boost1 = entities.getItem(1);
    EXPECT_EQ(boost1->getValue(), 500.0f);
    EXPECT_EQ(boost1->getEffectTime(), 6000);
    EXPECT_EQ(boost1->getRespawnTime(), 9000);
    EXPECT_EQ(boost1->getType(), EIT_BOOST);
    ASSERT_NE(boost1->getNode(), nullptr);
    EXPECT_EQ(boost1->getNode()->getPosition(), core::vector3df(0, 0, 0));
    EXPECT_EQ(boost1->getNode()->getScale(), core::vector3df(1, 1, 1));

    CVehicleEntity* player = entities.findVehicle("Player");
    EXPECT_EQ(player->getMaxVelocity(), 1.0f);                      // negative: not set
    EXPECT_EQ(player->getDesc()->getColor().getRed(), 44u);         // 300 keeps its low 8 bits
    CVehicleEntity* twin = entities.findVehicle("Twin");
    ASSERT_EQ(twin->getId(), 1);
    ASSERT_NE(twin->getControllerPack(), nullptr);
    EXPECT_TRUE(twin->getControllerPack()->isManual());             // the parent's kind ...
    EXPECT_EQ(entities.getPlayerVehicleIndex(), 0);                 // ... but not the player
    ASSERT_NE(twin->getPhysicsBody(), nullptr);
    EXPECT_NE(twin->getPhysicsBody()->getVehicle(), nullptr);
    EXPECT_EQ(entities.findVehicle("Lonely")->getDesc()->getPosition(), core::vector3df(12, 0.1f, -100));
}

// What a child copies from its parent, and the fields each object reads, on every kind.
TEST_F(MissionLoaderTest, ChildrenCopyEveryFieldTheirParentGave)
{
    const std::string mission = std::string(kGround) +
        "<StaticObject Name=\"Rock\" ParentName=\"NULL\">\n<Mesh Value=\"data/scenery/rock.b3d\"/>\n"
        "<DisplayName Value=\"Big Rock\"/>\n<Offset X=\"0\" Y=\"0.5\" Z=\"0\"/>\n<Transparent Value=\"1\"/>\n"
        "<Texture Value=\"data/scenery/rock.dds\"/>\n<Texture Value=\"data/ground/sand.dds\"/>\n"
        "<Physic Type=\"MESH\" Mesh=\"data/scenery/rock.b3d\" X=\"1\" Y=\"1\" Z=\"1\" Mass=\"0\"/>\n"
        "</StaticObject>\n"
        "<StaticObject Name=\"Rock2\" ParentName=\"Rock\">\n<Position X=\"-5\" Y=\"0\" Z=\"7\"/>\n</StaticObject>\n" +
        car("Player", "Manual", 0,
            "<DisplayName Value=\"Buggy\"/>\n<Transparent Value=\"1\"/>\n<Scale X=\"1.5\" Y=\"1.5\" Z=\"1.5\"/>\n"
            "<MaxEngineForce Value=\"1234\"/>\n<MaxBreakingForce Value=\"77\"/>\n<MaxVelocity Value=\"88\"/>\n") +
        car("Twin", "", 6, "", "Player") + kBoostItem;
    const std::string folder = write("inherit_fields", mission);
    ASSERT_TRUE(load(folder)) << out;
    EXPECT_TRUE(gameLines(out).empty()) << out;

    for (const char* name : {"Rock", "Rock2"}) {
        SCOPED_TRACE(name);
        CStaticObjectEntity* rock = entities.findStaticObject(name);
        ASSERT_NE(rock, nullptr);
        const SEntityDesc* desc = rock->getDesc();
        EXPECT_EQ(desc->getDisplayName(), "Big Rock");
        EXPECT_EQ(desc->getOffset(), core::vector3df(0, 0.5f, 0));
        EXPECT_TRUE(desc->isTransparent());
        ASSERT_EQ(desc->getTextureCount(), 2) << "every Texture element counts";
        EXPECT_EQ(desc->getTexture(0), "data/scenery/rock.dds");
        EXPECT_EQ(desc->getTexture(1), "data/ground/sand.dds");
        ASSERT_NE(rock->getNode(), nullptr);
        EXPECT_EQ(rock->getNode()->getMaterial(0).MaterialType, video::EMT_TRANSPARENT_ALPHA_CHANNEL);
    }

    for (const char* name : {"Player", "Twin"}) {
        SCOPED_TRACE(name);
        CVehicleEntity* car = entities.findVehicle(name);
        ASSERT_NE(car, nullptr);
        ASSERT_GE(car->getId(), 0);
        EXPECT_EQ(car->getDesc()->getDisplayName(), "Buggy");
        EXPECT_EQ(car->getDisplayName(), "Buggy");
        EXPECT_TRUE(car->getDesc()->isTransparent());
        EXPECT_EQ(car->getMaxEngineForce(), 1234.0f);
        EXPECT_EQ(car->getMaxBreakingForce(), 77.0f);
        EXPECT_EQ(car->getMaxVelocity(), 88.0f);
        EXPECT_EQ(car->getBodyNode()->getScale(), core::vector3df(1.5f, 1.5f, 1.5f));
    }

    ASSERT_EQ(entities.getItemCount(), 1);
    ASSERT_NE(entities.getItem(0)->getNode(), nullptr);
    EXPECT_EQ(entities.getItem(0)->getNode()->getScale(), core::vector3df(2, 2, 2));
}

// Rotations about more than one axis place the body as the scene shows the node: turned about
// X first, then Y, then Z.
TEST_F(MissionLoaderTest, BodiesTurnInTheOrderTheNodesDo)
{
    const core::vector3df turn(30, 20, 60);
    const std::string rotation = "<Rotation X=\"30\" Y=\"20\" Z=\"60\"/>\n";
    std::string rock = kRock;
    rock.insert(rock.find("<Texture"), rotation);
    const std::string mission = std::string(kGround) + rock + car("Player", "Manual", 0, rotation);
    ASSERT_TRUE(load(write("turned", mission))) << out;
    core::matrix4 shown;
    shown.setRotationDegrees(turn);
    const btRigidBody* bodies[] = {entities.findStaticObject("Rock")->getPhysicsBody()->getRigidBody(),
                                   entities.findVehicle("Player")->getPhysicsBody()->getRigidBody()};
    for (const btRigidBody* body : bodies) {
        for (const core::vector3df& axis : {core::vector3df(1, 0, 0), core::vector3df(0, 1, 0), core::vector3df(0, 0, 1)}) {
            core::vector3df expected = axis;
            shown.rotateVect(expected);
            const btVector3 got = body->getWorldTransform().getBasis() * btVector3(axis.X, axis.Y, axis.Z);
            EXPECT_NEAR(got.x(), expected.X, 1e-5f) << axis.X << axis.Y << axis.Z;
            EXPECT_NEAR(got.y(), expected.Y, 1e-5f) << axis.X << axis.Y << axis.Z;
            EXPECT_NEAR(got.z(), expected.Z, 1e-5f) << axis.X << axis.Y << axis.Z;
        }
    }
}

// Only an object's own end tag builds it; end tags of another kind, or with no object open, build
// nothing. A second object of a known name is skipped whole, but a checkpoint inside it is made.
TEST_F(MissionLoaderTest, OnlyItsOwnEndTagBuildsAnObject)
{
    std::string stone = kRock;
    stone.replace(stone.find("Rock"), 4, "Stone");
    stone.replace(stone.find("</StaticObject>"), 15, "</Vehicle>");
    const std::string mission = std::string(kGround) + kRock + stone +
        "<Item Name=\"Lost\" ParentName=\"\"/>\n<Mesh Value=\"data/items/boost.b3d\"/>\n</StaticObject>\n"
        "</Item>\n" +
        "<StaticObject Name=\"Rock\" ParentName=\"NULL\">\n<OS ID=\"2\" Mesh=\"data/gates/race1.b3d\"/>\n"
        "<Mesh Value=\"data/nothing.b3d\"/>\n</StaticObject>\n" +
        car("Player", "Manual", 0) + car("Spare", "AI", 4, "", "Player") +
        car("Player", "AI", 8) + "</Vehicle>\n</Item>\n";
    ASSERT_TRUE(load(write("end_tags", mission))) << out;
    const std::vector<std::string> expected = {
        "Warning: StaticObject \"Stone\" is closed by </Vehicle>, it is left out",
        "Warning: Item \"Lost\" is closed by </StaticObject>, it is left out",
        // The fixture gives its computer car no path.
        "Warning: missions/end_tags/waypoints.xml names no path; the computer cars have none to follow"};
    EXPECT_EQ(gameLines(out), expected) << out;
    EXPECT_EQ(entities.getStaticObjectCount(), 2);
    EXPECT_EQ(entities.findStaticObject("Stone"), nullptr);
    EXPECT_EQ(entities.findStaticObject("Rock")->getDesc()->getMesh(), "data/scenery/rock.b3d");
    EXPECT_EQ(entities.getItemCount(), 0);
    ASSERT_EQ(entities.getCheckpointCount(), 1);
    EXPECT_EQ(entities.getCheckpoint(0)->getId(), 2);
    ASSERT_EQ(entities.getVehicleCount(), 2);
    EXPECT_EQ(entities.getVehicle(0)->getDesc()->getPosition(), core::vector3df(0, 0.1f, -100));
    EXPECT_EQ(entities.getPlayerVehicleIndex(), 0);
}

TEST_F(MissionLoaderTest, RaceAndShadowTypesAreTheExactWordOrAllCapitals)
{
    const struct {
        const char* race;
        const char* shadow;
        s32 raceType, shadowType;
    } cases[] = {{"Rally", "NormalFixed", 1, 1}, {"RALLY", "NORMALFIXED", 1, 1},
                 {"rally", "normalfixed", 0, 0}, {"Lap", "None", 0, 0}, {"RAlly", "NormalFIXED", 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.race);
        const std::string mission = std::string("<RaceType Value=\"") + c.race + "\"/>\n<ShadowType Value=\"" +
                                    c.shadow + "\"/>\n" + kGround + car("Player", "Manual", 0);
        ASSERT_TRUE(load(write("types", mission))) << out;
        EXPECT_EQ(gameData.getRaceType(), c.raceType);
        EXPECT_EQ(gameData.getShadowType(), c.shadowType);
    }
}

TEST_F(MissionLoaderTest, FlatStreamRules)
{
    const std::string mission = std::string("<?xml version=\"1.0\"?>\n") +
        "<RaceType Value=\"rally\"/>\n<ShadowType Value=\"normalfixed\"/>\n<Laps Value=\"3\"/>\n"
        "<RallyTime Value=\"30000\"/><RallyTime Value=\"20000\"/>\n"
        "<Navigation Path=\"missions/first.xml\"/>\n<Navigation Path=\"missions/second.xml\"/>\n" +
        kGround +
        // A checkpoint between an object's start and end: made at once, the object unchanged.
        "<StaticObject Name=\"Rock\" ParentName=\"NULL\">\n<Mesh Value=\"data/scenery/rock.b3d\"/>\n"
        "<OS ID=\"1\" Mesh=\"data/gates/race1.b3d\"/>\n"
        "<Mapping Type=\"triplanar\"/>\n"
        "<Physic Type=\"MESH\" Mesh=\"data/scenery/rock.b3d\" X=\"1\" Y=\"1\" Z=\"1\" Mass=\"0\"/>\n"
        "</StaticObject>\n"
        // The same name again, with a parent and a body: nothing of it is made.
        "<StaticObject Name=\"Rock\" ParentName=\"Missing\">\n<Position X=\"99\" Y=\"0\" Z=\"0\"/>\n"
        "<Physic Type=\"MESH\" Mesh=\"data/scenery/rock.b3d\" X=\"1\" Y=\"1\" Z=\"1\" Mass=\"0\"/>\n"
        "</StaticObject>\n" +
        car("A", "AI", 4) + car("B", "AI", 8) + car("Player", "Manual", 0) +
        // Fields outside any object are ignored.
        "<Controller Type=\"Manual\"/>\n<Mesh Value=\"data/nothing.b3d\"/>\n";
    path("missions/first.xml", 3);
    path("missions/second.xml", 5);
    const std::string folder = write("flat_stream", mission);
    const int collisionObjectsBefore = worldObjects();
    ASSERT_TRUE(load(folder)) << out;
    // The computer cars are given no path by the empty "waypoints.xml", and are told so.
    const std::vector<std::string> noPath = {
        "Warning: missions/flat_stream/waypoints.xml names no path; the computer cars have none to follow"};
    EXPECT_EQ(gameLines(out), noPath) << out;

    EXPECT_EQ(gameData.getRaceType(), 0);
    EXPECT_EQ(gameData.getShadowType(), 0);
    EXPECT_EQ(gameData.getLaps(), 3);
    EXPECT_EQ(gameData.getRallyTime(0), 20000);
    ASSERT_EQ(gameData.getNavigationPointCount(), 5); // the later "Navigation" replaced the first
    EXPECT_EQ(gameData.getNavigationPoint(4)->getY(), 1.0f);
    ASSERT_EQ(entities.getCheckpointCount(), 1);
    EXPECT_EQ(entities.getCheckpoint(0)->getId(), 1);
    ASSERT_EQ(entities.getStaticObjectCount(), 2);
    EXPECT_EQ(entities.findStaticObject("Rock")->getDesc()->getMapping(), 0);
    EXPECT_EQ(entities.findStaticObject("Rock")->getDesc()->getPosition(), core::vector3df(0, 0, 0));
    EXPECT_EQ(entities.getPlayerVehicleIndex(), 2);
    // Ground, rock, checkpoint and three cars: nothing else entered the world.
    EXPECT_EQ(worldObjects() - collisionObjectsBefore, 6);
}

TEST_F(MissionLoaderTest, PathsAreSharedOutBeforeAnyRepeats)
{
    const std::string mission = std::string(kGround) + car("Player", "Manual", 0) +
        car("A", "AI", 4) + car("B", "AI", 8) + car("C", "AI", 12);
    path("missions/two.xml", 2);
    path("missions/three.xml", 3);
    const std::string folder = write("sharing", mission,
        "<Waypoints Path=\"missions/two.xml\"/>\n<Waypoints Path=\"missions/three.xml\"/>\n");
    for (int run = 0; run < 6; ++run) {
        ASSERT_TRUE(load(folder)) << out;
        EXPECT_EQ(waypointsOf(1) + waypointsOf(2), 5) << run;
        const int third = waypointsOf(3);
        EXPECT_TRUE(third == 2 || third == 3) << third;
    }

    // One path listed three times is three equal paths.
    const std::string same = write("same_path", mission,
        "<Waypoints Path=\"missions/three.xml\"/><Waypoints Path=\"missions/three.xml\"/>"
        "<Waypoints Path=\"missions/three.xml\"/>");
    ASSERT_TRUE(load(same)) << out;
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(waypointsOf(i), 3);
}

// A computer car that could not be built (its physics type unknown) neither takes a path from
// the cars that drive nor gets a place in the race.
TEST_F(MissionLoaderTest, CarThatFailedToBuildTakesNoPathAndNoPlace)
{
    std::string broken = car("Broken", "AI", 4);
    broken.replace(broken.find("VEHICLE0"), 8, "vehicle0");
    const std::string mission = std::string(kGround) + car("Player", "Manual", 0) + broken + car("A", "AI", 8);
    path("missions/two.xml", 2);
    path("missions/three.xml", 3);
    const std::string folder = write("broken_car", mission,
        "<Waypoints Path=\"missions/two.xml\"/>\n<Waypoints Path=\"missions/three.xml\"/>\n");
    for (int run = 0; run < 6; ++run) {
        ASSERT_TRUE(load(folder)) << out;
        ASSERT_EQ(entities.getVehicleCount(), 3);
        ASSERT_EQ(entities.getVehicle(1)->getId(), -1);
        EXPECT_EQ(waypointsOf(1), 0) << run;
        // A drew first, so it has either path.
        EXPECT_TRUE(waypointsOf(2) == 2 || waypointsOf(2) == 3) << run;
    }
    EXPECT_EQ(gameData.getRaceOrderEntry(0), entities.getVehicle(0));
    EXPECT_EQ(gameData.getRaceOrderEntry(1), entities.getVehicle(2));
    EXPECT_EQ(gameData.getRaceOrderEntry(2), nullptr);
}

struct SFaultCase {
    const char* folder;
    int staticObjects;
    int vehicles;
    std::vector<std::string> lines; // the start of each game line, in order
};

// Each fixture mission has one fault: it loads, says what is wrong, and leaves nothing
// half-built in the world.
TEST_F(MissionLoaderTest, FaultyMissionsSayWhatIsWrongAndLeaveNoGhosts)
{
    const SFaultCase cases[] = {
        {"missions/null_vehicle/", 1, 1, {"Warning: Vehicle may not be named \"NULL\""}},
        {"missions/duplicate_static/", 2, 1, {}},
        {"missions/parent_missing/", 2, 1,
         {"Warning: StaticObject of name \"Nowhere\"", "ERROR: Parent entity not found",
          "Warning: Vehicle of name \"Ghost\""}},
        {"missions/empty_mesh/", 2, 1, {"ERROR"}},
        {"missions/unknown_shape/", 2, 2,
         {"Warning: unknown physics shape type \"SPHERE\"", "Warning: unknown physics shape type \"vehicle0\"",
          "ERROR: Vehicle \"Odd\" has no wheels", "Warning: missions/unknown_shape/waypoints.xml names no path"}},
        {"missions/bad_end_tag/", 1, 1, {"Warning: StaticObject \"Rock\" has no end tag"}},
    };
    for (const SFaultCase& c : cases) {
        SCOPED_TRACE(c.folder);
        ASSERT_TRUE(load(c.folder)) << out;
        EXPECT_EQ(entities.getStaticObjectCount(), c.staticObjects);
        EXPECT_EQ(entities.getVehicleCount(), c.vehicles);
        const std::vector<std::string> lines = gameLines(out);
        ASSERT_EQ(lines.size(), c.lines.size()) << out;
        for (size_t i = 0; i < lines.size(); ++i)
            EXPECT_EQ(lines[i].rfind(c.lines[i], 0), 0u) << lines[i];
        // Every body in the world belongs to a built entity of the lists.
        int bodies = 0;
        for (int i = 0; i < entities.getStaticObjectCount(); ++i)
            bodies += entities.getStaticObject(i)->getId() >= 0 ? 1 : 0;
        for (int i = 0; i < entities.getVehicleCount(); ++i)
            bodies += entities.getVehicle(i)->getId() >= 0 ? 1 : 0;
        EXPECT_EQ(worldObjects(), bodies + entities.getCheckpointCount());
    }
}

// Whatever the file holds, loading ends: with a clear line, and never with a crash.
TEST_F(MissionLoaderTest, MalformedFilesNeverCrash)
{
    const std::string player = car("Player", "Manual", 0);
    std::string junk;
    for (int i = 0; i < 4096; ++i)
        junk += static_cast<char>((i * 7919 + 13) % 256);
    const std::string cases[] = {
        player.substr(0, player.size() / 2),                                    // truncated
        "<Vehicle Name=\"Player\" ParentName=\"NULL\"><Physic Type=\"VEHICLE0\" Mass=\"heavy\" "
        "X=\"\" Y=\"1e39\" Z=\"-0\"/><Controller Type=\"Manual\"/></Vehicle>",  // wrong types
        "<Laps Value=\"99999999999999999999\"/><RallyTime Value=\"-99999999999\"/>" + player, // huge numbers
        "<Vehicle><Controller/><Physic/><Mesh/><Color/></Vehicle><Item><Boost/></Item><OS/>" + player,
        junk,
        "<" + player,
        "<StaticObject Name=\"A\" ParentName=\"NULL\"><StaticObject Name=\"B\" ParentName=\"A\">"
        "</Vehicle></Item></StaticObject></StaticObject>" + player,
    };
    const std::string pathCases[] = {"<Waypoint X=\"a\" Y=\"\"/><Waypoint/>", junk, "<Waypoint X=\"1\""};
    int n = 0;
    for (const std::string& mission : cases) {
        SCOPED_TRACE(n);
        const std::string folder = write("malformed" + std::to_string(n), mission,
                                         "<Waypoints Path=\"missions/bad_path.xml\"/>");
        dir.write("missions/bad_path.xml", pathCases[n % 3]);
        ++n;
        const bool loaded = load(folder);
        // Without a whole player's car there is no race, and the loader says so.
        if (!loaded)
            EXPECT_NE(out.find("ERROR: "), std::string::npos) << out;
        else
            EXPECT_NE(entities.getVehicle(entities.getPlayerVehicleIndex()), nullptr);
    }
}

} // namespace

// The car with its own position's X replaced by `x`.
std::string withPositionX(std::string text, const std::string& x)
{
    const std::string field = "<Position X=\"";
    const size_t from = text.find(field) + field.size();
    return text.replace(from, text.find('"', from) - from, x);
}

TEST_F(MissionLoaderTest, NumbersNoRaceCanUseAreSaidAndReplaced)
{
    const std::string player = car("Player", "Manual", 0);
    path("missions/one.xml", 1);
    const std::string huge = car("Player", "Manual", 0,
        "<Physic Type=\"VEHICLE0\" Mesh=\"data/cars/buggy/body.b3d\" X=\"1e30\" Y=\"1\" Z=\"4\" Mass=\"800\"/>\n");
    struct Case { const char* name; std::string mission; const char* waypoints; std::vector<std::string> lines; };
    const Case cases[] = {
        {"no_laps", "<Laps Value=\"-2\"/>\n" + player, "",
         {"Warning: missions/no_laps/mission.xml: Laps \"-2\" is no lap count; 1 lap is raced"}},
        {"infinite", withPositionX(player, "1e39"), "",
         {"Warning: missions/infinite/mission.xml: X=\"1e39\" in <Position> is not a finite number; 0 is used"}},
        {"huge_shape", huge, "",
         {"Warning: missions/huge_shape/mission.xml: physics shape X=\"1e30\" is beyond any world; 1 is used"}},
        {"short_path", car("Bot", "AI", 4) + player, "<Waypoints Path=\"missions/one.xml\"/>\n",
         {"Warning: missions/one.xml holds 1 waypoint; a computer car's path needs three at least, and "
          "the mission has no navigation path in its place"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(load(write(c.name, c.mission, c.waypoints))) << out;
        EXPECT_EQ(gameLines(out), c.lines) << out;
    }
    EXPECT_EQ(gameData.getLaps(), 0); // the last case sets none
    ASSERT_TRUE(load(write("laps_again", "<Laps Value=\"-4\"/>\n" + player)));
    EXPECT_EQ(gameData.getLaps(), 1);
}

// A named pipe in the place of any file a mission names (the mission, its paths and navigation,
// a mesh, a picture, a texture a mesh names, an engine sound) never blocks the load: the file is
// refused with a line naming it, and the mission goes on as without that file. (A named pipe
// opened for reading waits for a writer: a blocked open hangs the test until ctest ends it.)
TEST_F(MissionLoaderTest, APipeInThePlaceOfAnyFileAMissionNamesNeverBlocksTheLoad)
{
    // Private copies of the folders whose files are swapped, in place of the shared ones.
    const fs::path fixture(SANDVOLT_FIXTURE_DIR);
    for (const char* folder : {"missions/race", "data/ground", "data/cars", "data/scenery"}) {
        fs::remove(dir.file(folder));
        fs::copy(fixture / folder, dir.file(folder), fs::copy_options::recursive);
    }
    fs::remove(dir.file("data/audio"));
    fs::create_directories(dir.file("data/audio"));
    fs::copy(fs::path(SANDVOLT_RUN_DIR) / "data/audio/engines", dir.file("data/audio/engines"),
             fs::copy_options::recursive);

    // Null: the engine library's own line, which names the file by its full path.
    struct Case { const char* file; bool loads; const char* says; };
    const Case cases[] = {
        {"missions/race/mission.xml", false, "ERROR: missions/race/mission.xml could not be read (not a regular file)"},
        {"missions/race/waypoints.xml", true, "ERROR: missions/race/waypoints.xml could not be read (not a regular file)"},
        {"missions/race/ai_inner.xml", true, "ERROR: missions/race/ai_inner.xml could not be read (not a regular file)"},
        {"missions/race/navigation.xml", true, "ERROR: missions/race/navigation.xml could not be read (not a regular file)"},
        {"data/ground/ground.b3d", false, nullptr},
        {"data/scenery/wall.dds", true, nullptr},
        {"data/cars/paint.dds", true, nullptr},
        {"data/audio/engines/buggy.ogg", true,
         "Sound Error: File \"data/audio/engines/buggy.ogg\" could not be read (not a regular file)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string file = dir.file(c.file);
        fs::rename(file, file + ".real");
        ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0);
        const bool loaded = load("missions/race/");
        const std::string says = c.says ? c.says : "Warning: Not opened, as it is no regular file: " +
                                                       fs::canonical(dir.path()).string() + "/" + c.file;
        EXPECT_NE(out.find(says), std::string::npos) << out;
        if (c.loads) {
            EXPECT_TRUE(loaded) << out;
        }
        fs::remove(file);
        fs::rename(file + ".real", file);
        // Nothing of the refused file stays cached: the real one loads in full afterwards.
        engine->getSceneManager()->getMeshCache()->clear();
        engine->getVideoDriver()->removeAllTextures();
        ASSERT_TRUE(load("missions/race/")) << out;
    }
}
