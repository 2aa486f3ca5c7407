// The world-model test missions that fixturegen lays out: each valid one refers only to files
// that are there and load, each broken one has exactly its one fault, and every run writes the
// same bytes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "ContentKitFixtures.h"
#include "core/CGameEngine.h"
#include "support/TestSupport.h"
#include "tools/contentkit/CCarMeshBuilder.h"

using namespace irr;
using kittest::SXmlNode;

namespace {

std::vector<SXmlNode> read(CGameEngine* engine, const std::string& path)
{
    std::vector<SXmlNode> nodes;
    EXPECT_TRUE(kittest::readXml(engine, path, nodes)) << path;
    return nodes;
}

// Copies, so that they outlive the node list they came from.
std::vector<SXmlNode> starts(const std::vector<SXmlNode>& nodes, const std::string& name)
{
    std::vector<SXmlNode> found;
    for (const SXmlNode& node : nodes)
        if (!node.end && node.name == name)
            found.push_back(node);
    return found;
}

class WorldFixtures : public ::testing::Test {
protected:
    testsupport::CNullEngine engine;
    kittest::CWorkingDir cwd{SANDVOLT_FIXTURE_DIR};

    // Every mesh, texture and path file a mission names is in the fixture folder and loads; the
    // engine sounds are the run folder's (see fixturegen).
    void expectComplete(const std::string& folder)
    {
        SCOPED_TRACE(folder);
        const std::vector<SXmlNode> nodes = read(engine.get(), folder + "mission.xml");
        std::set<std::string> meshes, files;
        for (const SXmlNode& node : nodes) {
            if (node.end)
                continue;
            const std::string value = node.attribute("Value");
            if (node.name == "Mesh" || node.name.rfind("Wheel", 0) == 0)
                meshes.insert(value);
            else if (node.name == "OS" || node.name == "Physic")
                meshes.insert(node.attribute("Mesh"));
            else if (node.name == "Texture")
                files.insert(value);
            else if (node.name == "Navigation")
                files.insert(node.attribute("Path"));
            else if (node.name == "EngineSound") {
                EXPECT_EQ(value.rfind("data/audio/engines/", 0), 0u) << value;
            }
        }
        for (const SXmlNode& path : starts(read(engine.get(), folder + "waypoints.xml"), "Waypoints"))
            files.insert(path.attribute("Path"));
        for (const std::string& file : files)
            EXPECT_TRUE(std::filesystem::is_regular_file(file)) << file;
        for (const std::string& file : meshes) {
            scene::IAnimatedMesh* mesh = kittest::loadMesh(engine.get(), file);
            ASSERT_NE(mesh, nullptr) << file;
            u32 triangles = 0;
            for (u32 b = 0; b < mesh->getMesh(0)->getMeshBufferCount(); ++b)
                triangles += mesh->getMesh(0)->getMeshBuffer(b)->getIndexCount() / 3;
            EXPECT_GT(triangles, 0u) << file;
        }
    }

    // The car bodies carry the four wheel joints; their wheel meshes are of the family's radius.
    void expectCar(const SXmlNode& physic, const std::string& body, const std::string& wheel)
    {
        const std::string type = physic.attribute("Type");
        SCOPED_TRACE(body + " " + type);
        const float radius = type == "VEHICLE1" ? 0.72f : 0.5f;
        scene::IAnimatedMesh* mesh = kittest::loadMesh(engine.get(), body);
        ASSERT_NE(mesh, nullptr);
        scene::IAnimatedMeshSceneNode* node = engine->getSceneManager()->addAnimatedMeshSceneNode(mesh);
        node->setJointMode(scene::EJUOR_CONTROL);
        for (const char* joint : contentkit::CCarMeshBuilder::kJointNames)
            EXPECT_NE(node->getJointNode(joint), nullptr) << joint;
        node->remove();
        const core::aabbox3df box = kittest::loadMesh(engine.get(), wheel)->getBoundingBox();
        EXPECT_NEAR(box.MaxEdge.Y, radius, 1e-5f);
        EXPECT_NEAR(box.MaxEdge.Z, radius, 1e-5f);
    }
};

TEST_F(WorldFixtures, FlatMission)
{
    expectComplete("missions/flat/");
    const std::vector<SXmlNode> nodes = read(engine.get(), "missions/flat/mission.xml");
    std::vector<std::string> ids;
    for (const SXmlNode& os : starts(nodes, "OS"))
        ids.push_back(os.attribute("ID"));
    EXPECT_EQ(ids, (std::vector<std::string>{"0", "1", "2"}));
    std::vector<std::string> kinds;
    for (const SXmlNode& type : starts(nodes, "Type"))
        kinds.push_back(type.attribute("Value"));
    EXPECT_EQ(kinds, (std::vector<std::string>{"Boost", "Speed"}));
    // The ground alone is triplanar: the rock is solid ground with friction.
    const auto mappings = starts(nodes, "Mapping");
    ASSERT_EQ(mappings.size(), 1u);
    EXPECT_EQ(mappings[0].attribute("Type"), "Triplanar");
    ASSERT_EQ(starts(nodes, "StaticObject").size(), 2u);
    EXPECT_EQ(starts(nodes, "StaticObject")[1].attribute("Name"), "Rock");

    const auto controllers = starts(nodes, "Controller");
    ASSERT_EQ(controllers.size(), 1u);
    EXPECT_EQ(controllers[0].attribute("Type"), "Manual");
    for (const char* limit : {"MaxEngineForce", "MaxBreakingForce", "MaxVelocity"})
        EXPECT_GT(std::stof(starts(nodes, limit).at(0).attribute("Value")), 0.0f) << limit;
    EXPECT_EQ(starts(nodes, "EngineSound").at(0).attribute("Value"), "data/audio/engines/buggy.ogg");
    const auto physics = starts(nodes, "Physic");
    EXPECT_EQ(physics.back().attribute("Type"), "VEHICLE0");
    expectCar(physics.back(), starts(nodes, "Mesh").back().attribute("Value"),
              starts(nodes, "WheelFL").at(0).attribute("Value"));
    EXPECT_TRUE(starts(read(engine.get(), "missions/flat/waypoints.xml"), "Waypoints").empty());
}

TEST_F(WorldFixtures, RaceMission)
{
    expectComplete("missions/race/");
    const std::vector<SXmlNode> nodes = read(engine.get(), "missions/race/mission.xml");
    std::map<std::string, int> controllers;
    for (const SXmlNode& c : starts(nodes, "Controller"))
        ++controllers[c.attribute("Type")];
    EXPECT_EQ(controllers, (std::map<std::string, int>{{"AI", 2}, {"Manual", 1}}));
    const auto vehicles = starts(nodes, "Vehicle");
    ASSERT_EQ(vehicles.size(), 3u);
    std::vector<std::string> types;
    for (const SXmlNode& p : starts(nodes, "Physic"))
        types.push_back(p.attribute("Type"));
    EXPECT_EQ(std::vector<std::string>(types.end() - 3, types.end()),
              (std::vector<std::string>{"VEHICLE0", "VEHICLE0", "VEHICLE1"}));
    const auto bodies = starts(nodes, "WheelFL");
    const auto physics = starts(nodes, "Physic");
    expectCar(physics.back(), "data/cars/truck/body.b3d", bodies.back().attribute("Value"));

    // The navigation path and both computer paths are closed loops: the last point is a step
    // away from the first.
    std::vector<std::string> paths = {starts(nodes, "Navigation").at(0).attribute("Path")};
    for (const SXmlNode& p : starts(read(engine.get(), "missions/race/waypoints.xml"), "Waypoints"))
        paths.push_back(p.attribute("Path"));
    ASSERT_EQ(paths.size(), 3u);
    for (const std::string& path : paths) {
        const auto points = starts(read(engine.get(), path), "Waypoint");
        ASSERT_GT(points.size(), 20u) << path;
        auto at = [&points](size_t i) {
            return core::vector3df(std::stof(points[i].attribute("X")), std::stof(points[i].attribute("Y")),
                                   std::stof(points[i].attribute("Z")));
        };
        float longest = 0.0f;
        for (size_t i = 0; i < points.size(); ++i)
            longest = std::max(longest, at(i).getDistanceFrom(at((i + 1) % points.size())));
        EXPECT_LT(longest, 11.0f) << path;
    }
}

TEST_F(WorldFixtures, BrokenMissionsHaveTheirOneFault)
{
    namespace fs = std::filesystem;
    EXPECT_FALSE(fs::exists("missions/no_mission/mission.xml"));
    EXPECT_TRUE(fs::exists("missions/no_mission/waypoints.xml"));
    EXPECT_TRUE(fs::exists("missions/no_waypoints/mission.xml"));
    EXPECT_FALSE(fs::exists("missions/no_waypoints/waypoints.xml"));

    auto names = [this](const std::string& mission, const char* kind) {
        std::vector<std::string> found;
        for (const SXmlNode& n : starts(read(engine.get(), "missions/" + mission + "/mission.xml"), kind))
            found.push_back(n.attribute("Name"));
        return found;
    };
    EXPECT_EQ(names("null_vehicle", "Vehicle"), (std::vector<std::string>{"Player", "NULL"}));
    EXPECT_EQ(names("duplicate_static", "StaticObject"), (std::vector<std::string>{"Ground", "Rock", "Rock"}));

    // One parent of each kind that nothing before it is called.
    std::set<std::string> defined;
    std::vector<std::string> missing;
    for (const SXmlNode& n : read(engine.get(), "missions/parent_missing/mission.xml")) {
        if (n.end || !n.has("Name"))
            continue;
        const std::string parent = n.attribute("ParentName");
        if (parent != "NULL" && !parent.empty() && !defined.count(parent))
            missing.push_back(n.name + ":" + parent);
        defined.insert(n.attribute("Name"));
    }
    EXPECT_EQ(missing, (std::vector<std::string>{"StaticObject:Nowhere", "Item:Phantom", "Vehicle:Ghost"}));

    // The empty mesh loads, with no triangle for a body to be built from.
    const auto empty = starts(read(engine.get(), "missions/empty_mesh/mission.xml"), "Physic");
    ASSERT_EQ(empty.size(), 3u);
    scene::IAnimatedMesh* hollow = kittest::loadMesh(engine.get(), empty[1].attribute("Mesh"));
    ASSERT_NE(hollow, nullptr);
    EXPECT_EQ(hollow->getMesh(0)->getMeshBufferCount(), 0u);

    const std::set<std::string> known = {"EMPTY", "MESH", "VEHICLE0", "VEHICLE1", "VEHICLE0C", "VEHICLE1C"};
    std::vector<std::string> unknown;
    for (const SXmlNode& p : starts(read(engine.get(), "missions/unknown_shape/mission.xml"), "Physic"))
        if (!known.count(p.attribute("Type")))
            unknown.push_back(p.attribute("Type"));
    EXPECT_EQ(unknown, (std::vector<std::string>{"SPHERE", "vehicle0"}));

    // The rock opens and is never closed by its own name; the car after it is whole.
    std::vector<std::string> flow;
    for (const SXmlNode& n : read(engine.get(), "missions/bad_end_tag/mission.xml"))
        if (n.name == "StaticObject" || n.name == "StaticObjekt" || n.name == "Vehicle")
            flow.push_back((n.end ? "/" : "") + n.name + (n.end ? "" : ":" + n.attribute("Name")));
    EXPECT_EQ(flow, (std::vector<std::string>{"StaticObject:Ground", "/StaticObject", "StaticObject:Rock",
                                              "/StaticObjekt", "Vehicle:Player", "/Vehicle"}));

    // Apart from their faults they are playable: ground and the player's car.
    for (const char* mission : {"null_vehicle", "duplicate_static", "parent_missing", "empty_mesh", "unknown_shape",
                                "bad_end_tag", "no_waypoints"}) {
        const auto nodes = read(engine.get(), std::string("missions/") + mission + "/mission.xml");
        EXPECT_EQ(starts(nodes, "StaticObject").at(0).attribute("Name"), "Ground") << mission;
        bool player = false;
        for (const SXmlNode& c : starts(nodes, "Controller"))
            player = player || c.attribute("Type") == "Manual";
        EXPECT_TRUE(player) << mission;
    }
}

std::map<std::string, std::string> contents(const std::string& root)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        files[std::filesystem::relative(entry.path(), root).string()] = bytes.str();
    }
    return files;
}

// A second run of the generator, from another working directory, writes the very same files.
TEST_F(WorldFixtures, EveryRunWritesTheSameBytes)
{
    testsupport::CScratchDir again;
    kittest::CWorkingDir elsewhere(again.path());
    const std::string command = std::string("'") + SANDVOLT_FIXTUREGEN + "' '" + again.file("world") + "' > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const auto built = contents(SANDVOLT_FIXTURE_DIR);
    const auto fresh = contents(again.file("world"));
    ASSERT_FALSE(built.empty());
    EXPECT_EQ(built.size(), fresh.size());
    for (const auto& [name, bytes] : built) {
        const auto other = fresh.find(name);
        ASSERT_NE(other, fresh.end()) << name;
        EXPECT_TRUE(other->second == bytes) << name << " differs";
    }
}

} // namespace
