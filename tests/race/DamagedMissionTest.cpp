// Damaged data inside a mission's files: the test lap race with one thing broken, loaded and
// raced for a few seconds. Each damage is said, and the race still works: the player's car stays
// on the ground, and each computer car drives on along the track.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "RaceFixtures.h"
#include "support/TestSupport.h"
#include "tools/contentkit/CB3DWriter.h"
#include "race/CWaypoint.h"
#include "world/CVehicleEntity.h"

using namespace irr;
using racetest::CRaceWorld;
namespace fs = std::filesystem;

namespace {

const std::string kFixtures = SANDVOLT_FIXTURE_DIR;

std::string readFile(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// `text` with the first `from` replaced by `to`; a fixture that has no `from` fails the test.
std::string edited(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// A fixture mesh with one coordinate of one vertex overwritten, as a flipped bit leaves it.
std::string meshWithVertex(const std::string& mesh, int vertex, int axis, float value)
{
    std::string bytes = readFile(kFixtures + "/" + mesh);
    const size_t chunk = bytes.find("VRTS");
    if (chunk == std::string::npos) {
        ADD_FAILURE() << mesh << " has no vertices";
        return bytes;
    }
    int32_t flags = 0, sets = 0, size = 0;
    std::memcpy(&flags, &bytes[chunk + 8], 4);
    std::memcpy(&sets, &bytes[chunk + 12], 4);
    std::memcpy(&size, &bytes[chunk + 16], 4);
    const size_t stride = 12 + (flags & 1 ? 12 : 0) + (flags & 2 ? 16 : 0) + 4 * sets * size;
    std::memcpy(&bytes[chunk + 20 + vertex * stride + 4 * axis], &value, 4);
    return bytes;
}

// A rock of one triangle with a heap of triangles without area over it (a broken export).
std::string heapMesh(int flat)
{
    contentkit::SSurface surface;
    auto add = [&](float x, float z) {
        contentkit::SVertex v;
        v.position = {x, 0.5f, z};
        surface.indices.push_back(static_cast<uint32_t>(surface.vertices.size()));
        surface.vertices.push_back(v);
    };
    add(100, 100);
    add(100, 101);
    add(101, 100);
    for (int i = 0; i < flat; ++i) {
        add(100, 100);
        add(100, 100);
        add(100, 100);
    }
    contentkit::SMesh mesh;
    mesh.surfaces.push_back(surface);
    const std::vector<uint8_t> bytes = contentkit::CB3DWriter::encode(mesh);
    return std::string(bytes.begin(), bytes.end());
}

// The fixture path `file` with its points rearranged by `change`. The path is first turned to
// begin ahead of the cars' grid: its own first point lies behind them, straight behind for one car,
// which then never steers towards it (a waypoint straight behind gives no steering).
std::string pathWith(const std::string& file, const std::function<void(std::vector<std::string>&)>& change)
{
    std::istringstream in(readFile(kFixtures + "/missions/race/" + file));
    std::vector<std::string> points;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("<Waypoint ", 0) == 0)
            points.push_back(line);
    }
    size_t ahead = 0;
    while (ahead < points.size() && std::stof(points[ahead].substr(points[ahead].find("Z=\"") + 3)) < 10.0f)
        ++ahead;
    std::rotate(points.begin(), points.begin() + static_cast<long>(ahead % points.size()), points.end());
    change(points);
    std::string text = "<?xml version=\"1.0\"?>\n\n";
    for (const std::string& point : points)
        text += point + "\n";
    return text;
}

std::string pointAt(float x, float z)
{
    return "<Waypoint X=\"" + std::to_string(x) + "\" Y=\"0\" Z=\"" + std::to_string(z) + "\"/>";
}

using SFiles = std::vector<std::pair<std::string, std::function<std::string()>>>;

SFiles plus(SFiles files, SFiles::value_type file)
{
    files.push_back(std::move(file));
    return files;
}

struct SDamage {
    const char* name;
    // Edits of the race's mission.xml, in order.
    std::vector<std::pair<std::string, std::string>> edits;
    // Files written into the run folder, by their names there; the computer cars' paths are read
    // from damaged/.
    std::vector<std::pair<std::string, std::function<std::string()>>> files;
    // The start of a line the load prints, and what else that line says.
    const char* said;
    const char* also = "";
};

const char* const kGround = "data/ground/ground.b3d";
const std::string kDamagedPaths = "<Waypoints Path=\"damaged/ai_inner.xml\"/>\n<Waypoints Path=\"damaged/ai_outer.xml\"/>\n";

std::vector<SDamage> damages()
{
    auto bothPaths = [](const std::function<void(std::vector<std::string>&)>& change = [](std::vector<std::string>&) {}) {
        return std::vector<std::pair<std::string, std::function<std::string()>>>{
            {"damaged/ai_inner.xml", [=] { return pathWith("ai_inner.xml", change); }},
            {"damaged/ai_outer.xml", [=] { return pathWith("ai_outer.xml", change); }},
        };
    };
    auto groundWith = [bothPaths](int axis, float value) {
        // A vertex in the middle of the ground, under the cars' start.
        auto files = bothPaths();
        files.push_back({"damaged/ground.b3d", [=] { return meshWithVertex(kGround, 41 * 20 + 20, axis, value); }});
        return files;
    };
    const std::pair<std::string, std::string> damagedGround = {
        "Type=\"MESH\" Mesh=\"data/ground/ground.b3d\"", "Type=\"MESH\" Mesh=\"damaged/ground.b3d\""};
    const std::string rival = "<Controller Type=\"AI\"/>";
    return {
        {"ground_nan", {damagedGround}, groundWith(1, NAN),
         "Warning: physics mesh \"damaged/ground.b3d\": 6 of its 3200 triangles are left out (6 not finite"},
        {"ground_infinite", {damagedGround}, groundWith(0, -INFINITY),
         "Warning: physics mesh \"damaged/ground.b3d\": 6 of its 3200 triangles are left out (6 not finite"},
        {"ground_far_vertex", {damagedGround}, groundWith(1, 3e30f),
         "Warning: physics mesh \"damaged/ground.b3d\": 6 of its 3200 triangles are left out (0 not finite, 6 beyond any world"},
        {"flat_heap",
         {{"<StaticObject Name=\"Rock\"",
           "<StaticObject Name=\"Heap\" ParentName=\"NULL\"><Mesh Value=\"damaged/heap.b3d\"/>"
           "<Physic Type=\"MESH\" Mesh=\"damaged/heap.b3d\" X=\"1\" Y=\"1\" Z=\"1\" Mass=\"0\"/></StaticObject>\n"
           "<StaticObject Name=\"Rock\""}},
         plus(bothPaths(), {"damaged/heap.b3d", [] { return heapMesh(5000); }}),
         "Warning: physics mesh \"damaged/heap.b3d\": 5000 of its 5001 triangles are left out (0 not finite, 0 beyond any world, 5000 without area)"},
        {"gate_nan", {{"data/gates/race1.b3d", "damaged/gate.b3d"}},
         plus(bothPaths(), {"damaged/gate.b3d", [] { return meshWithVertex("data/gates/race1.b3d", 1, 2, NAN); }}),
         "Warning: physics mesh \"damaged/gate.b3d\"", "not finite"},
        {"path_cut_short", {}, bothPaths([](std::vector<std::string>& p) { p.resize(p.size() / 3); }),
         "Warning: damaged/ai_inner.xml ends ", "from where it starts: it is cut short; the computer car follows the navigation path instead"},
        {"path_far_point", {}, bothPaths([](std::vector<std::string>& p) { p[12] = pointAt(437, -20); }),
         "Warning: damaged/ai_inner.xml has waypoint 12 ", "units off the track; the computer car follows"},
        {"path_out_of_order", {}, bothPaths([](std::vector<std::string>& p) { std::swap(p[5], p[30]); }),
         "Warning: damaged/ai_inner.xml has waypoint 5 ", "units from the one before: its points are out of order; the computer car follows"},
        {"path_two_points", {}, bothPaths([](std::vector<std::string>& p) { p.resize(2); }),
         "Warning: damaged/ai_inner.xml holds 2 waypoints; a computer car's path needs three at least", "; the computer car follows"},
        {"path_one_place", {}, bothPaths([](std::vector<std::string>& p) {
             for (std::string& point : p)
                 point = pointAt(37, -20);
         }),
         "Warning: damaged/ai_inner.xml goes round in 0 units", "; the computer car follows"},
        {"navigation_far_point", {},
         plus(bothPaths(), {"damaged/navigation.xml", [] {
               std::string text = readFile(kFixtures + "/missions/race/navigation.xml");
               return edited(text, "<Waypoint X=\"40\"", "<Waypoint X=\"4e30\"");
           }}),
         "Warning: damaged/navigation.xml holds a waypoint beyond any world; it is left out"},
        {"player_rotation", {{"<Rotation X=\"0\" Y=\"0\" Z=\"0\"/>\n\t<Scale X=\"1\" Y=\"1\" Z=\"1\"/>\n\t<Transparent Value=\"0\"/>\n\t<MaxEngineForce",
                              "<Rotation X=\"0\" Y=\"1e30\" Z=\"0\"/>\n\t<Scale X=\"1\" Y=\"1\" Z=\"1\"/>\n\t<Transparent Value=\"0\"/>\n\t<MaxEngineForce"}}, bothPaths(),
         "Warning: missions/player_rotation/mission.xml: Y=\"1e30\" in <Rotation> is more turns than any rotation; "},
        {"player_far_away", {{"<Position X=\"37\" Y=\"0.1\" Z=\"-10\"/>", "<Position X=\"37\" Y=\"0.1\" Z=\"-1e30\"/>"}}, bothPaths(),
         "Warning: missions/player_far_away/mission.xml: Z=\"-1e30\" in <Position> lies beyond any world; 0 is used"},
        {"player_feather", {{"Mass=\"800\"", "Mass=\"1e-30\""}}, bothPaths(),
         "Warning: missions/player_feather/mission.xml: Mass=\"1e-30\" in <Physic> is lighter than any body; 10 is used"},
        {"player_lead", {{"Mass=\"800\"", "Mass=\"3e38\""}}, bothPaths(),
         "Warning: missions/player_lead/mission.xml: Mass=\"3e38\" in <Physic> is heavier than any body; 20000 is used"},
        {"rival_thrust",
         {{"<MaxEngineForce Value=\"3000\"/>\n\t<MaxBreakingForce Value=\"150\"/>\n\t<MaxVelocity Value=\"160\"/>\n\t<Color R=\"30\"",
           "<MaxEngineForce Value=\"3e38\"/>\n\t<MaxBreakingForce Value=\"3e38\"/>\n\t<MaxVelocity Value=\"3e38\"/>\n\t<Color R=\"30\""}}, bothPaths(),
         "Warning: missions/rival_thrust/mission.xml: Value=\"3e38\" in <MaxEngineForce> is beyond what a race can use; 100000 is used"},
        {"rival_tiny_box", {{"X=\"2\" Y=\"1\" Z=\"4\" Mass=\"800\"/>\n\t<Controller Type=\"AI\"/>",
                             "X=\"1e-30\" Y=\"1e-30\" Z=\"4\" Mass=\"800\"/>\n\t" + rival}}, bothPaths(),
         "Warning: missions/rival_tiny_box/mission.xml: physics shape X=\"1e-30\" is thinner than any body; 1 is used"},
    };
}

// The navigation point nearest to `at` in the ground plane, and how far it is.
std::pair<int, float> nearestNavigation(CGameData& data, const btVector3& at)
{
    std::pair<int, float> nearest{-1, INFINITY};
    for (s32 i = 0; i < data.getNavigationPointCount(); ++i) {
        const CWaypoint* point = data.getNavigationPoint(i);
        const float d = std::hypot(point->getX() - at.x(), point->getZ() - at.z());
        if (d < nearest.second)
            nearest = {i, d};
    }
    return nearest;
}

std::string describe(CVehicleEntity* car, const btVector3& at)
{
    std::ostringstream text;
    text << car->getName() << " at (" << at.x() << ", " << at.y() << ", " << at.z() << ")";
    return text.str();
}

TEST(DamagedMission, EachDamageIsSaidAndTheRaceStillRuns)
{
    for (const SDamage& damage : damages()) {
        SCOPED_TRACE(damage.name);
        CRaceWorld world(kFixtures);
        const std::string folder = std::string("missions/") + damage.name + "/";
        fs::create_directories(world.dir.file(folder));
        fs::create_directories(world.dir.file("damaged"));
        // The navigation path too begins ahead of the grid: a computer car whose path is
        // damaged follows it from its first point.
        std::string mission = edited(readFile(kFixtures + "/missions/race/mission.xml"),
                                     "missions/race/navigation.xml", "damaged/navigation.xml");
        for (const auto& edit : damage.edits)
            mission = edited(mission, edit.first, edit.second);
        world.dir.write(folder + "mission.xml", mission);
        world.dir.write("damaged/navigation.xml", pathWith("navigation.xml", [](std::vector<std::string>&) {}));
        for (const auto& file : damage.files)
            world.dir.write(file.first, file.second());
        world.dir.write(folder + "waypoints.xml", kDamagedPaths);

        ASSERT_TRUE(world.load(folder)) << world.out;
        bool said = false;
        for (const std::string& line : testsupport::gameLines(world.out))
            said = said || (line.rfind(damage.said, 0) == 0 && line.find(damage.also) != std::string::npos);
        EXPECT_TRUE(said) << "expected: " << damage.said << "..." << damage.also << "\n" << world.out;

        const int cars = world.entities.getVehicleCount();
        ASSERT_EQ(cars, 3);
        const int points = world.gameData.getNavigationPointCount();
        ASSERT_GT(points, 40);
        // How far each car has come along the navigation path, in points, counted once a second.
        std::vector<int> along(cars, 0), last(cars, -1);
        world.frames(360); // the countdown
        for (int second = 0; second <= 20; ++second) {
            for (int i = 0; i < cars; ++i) {
                const int now = nearestNavigation(world.gameData, world.bodyOf(world.vehicle(i))->getWorldTransform().getOrigin()).first;
                if (last[i] >= 0) {
                    const int step = (now - last[i] + points) % points;
                    along[i] += step < points / 2 ? step : step - points;
                }
                last[i] = now;
            }
            world.frames(60);
        }
        for (int i = 0; i < cars; ++i) {
            CVehicleEntity* car = world.vehicle(i);
            const btVector3 at = world.bodyOf(car)->getWorldTransform().getOrigin();
            // On the ground, which lies at height 0 (a car's body rests a little below it), and
            // neither fallen through it nor thrown off it.
            EXPECT_TRUE(std::isfinite(at.length2())) << describe(car, at);
            EXPECT_GT(at.y(), -3.0f) << describe(car, at);
            EXPECT_LT(at.y(), 5.0f) << describe(car, at);
            if (car != world.player()) {
                // A computer car keeps to the track and gets round it: some 150 units in 20 s.
                EXPECT_LT(nearestNavigation(world.gameData, at).second, 25.0f) << describe(car, at);
                EXPECT_GT(along[i], 15) << describe(car, at);
            }
        }
    }
}

} // namespace
