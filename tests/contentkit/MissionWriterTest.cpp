// Mission files from our writer, read back with the engine library's XML reader as the game's
// mission loader reads them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "ContentKitFixtures.h"
#include "core/CGameEngine.h"
#include "support/TestSupport.h"
#include "tools/contentkit/CMissionWriter.h"
#include "tools/contentkit/CNumberText.h"

using namespace irr;
using namespace contentkit;
using kittest::SXmlNode;

namespace {

using SAttributes = std::vector<std::pair<std::string, std::string>>;

struct SExpected {
    const char* name;
    SAttributes attributes;
    bool empty = true;
};

// One object of each kind with every field set, and the rules.
SMission everyField()
{
    SMission m;
    m.shadowType = "NormalFixed";
    m.raceType = "Rally";
    m.laps = 3;
    m.rallyTimes = {61000, 45500};
    m.navigation = "missions/m01/nav.xml";
    m.checkpoints = {{0, "data/os/line.b3d"}, {2, "data/os/two.b3d"}};

    SObjectRecord rock;
    rock.kind = EObjectKind::StaticObject;
    rock.name = "Rock & \"Roll\"";
    rock.parentName = "NULL";
    rock.displayName = "<Big> 'rock'";
    rock.mesh = "data/rock.b3d";
    rock.position = SVec3{1.5f, -0.25f, 1e-7f};
    rock.rotation = SVec3{0.0f, 30.0f, -60.0f};
    rock.scale = SVec3{2.0f, 1.0f / 3.0f, 123456.789f};
    rock.offset = SVec3{3.0f, 0.1f, 3.0f};
    rock.transparent = 1;
    rock.mapping = "Triplanar";
    rock.textures = {"data/a.dds", "data/b.dds"};
    rock.physic = SPhysicRecord{"MESH", "data/rock_hull.b3d", {2.0f, 1.5f, 2.0f}, 0.0f};

    SObjectRecord boost;
    boost.kind = EObjectKind::Item;
    boost.name = "Boost1";
    boost.parentName = "Boost0";
    boost.mesh = "data/items/tyre.b3d";
    boost.position = SVec3{0.0f, 2.0f, -3.5f};
    boost.scale = SVec3{1.0f, 1.0f, 1.0f};
    boost.boost = -60.0f;
    boost.effectTime = 10000;
    boost.respawnTime = 30000;
    boost.itemType = "Speed";

    SObjectRecord car;
    car.kind = EObjectKind::Vehicle;
    car.name = "Player";
    car.parentName = "NULL";
    car.displayName = "You";
    car.mesh = "data/cars/body.b3d";
    car.wheelFL = "data/cars/fl.b3d";
    car.wheelFR = "data/cars/fr.b3d";
    car.wheelBL = "data/cars/bl.b3d";
    car.wheelBR = "data/cars/br.b3d";
    car.position = SVec3{37.0f, 0.1f, -10.0f};
    car.rotation = SVec3{0.0f, 180.0f, 0.0f};
    car.scale = SVec3{1.0f, 1.0f, 1.0f};
    car.transparent = 0;
    car.maxEngineForce = 3000.5f;
    car.maxBreakingForce = 150.0f;
    car.maxVelocity = -1.0f;
    car.color = SColorRecord{300, 40, 30, 255};
    car.physic = SPhysicRecord{"VEHICLE1", "data/cars/body.b3d", {2.0f, 1.0f, 4.0f}, 800.0f};
    car.controller = "Manual";
    car.engineSound = "data/audio/engines/buggy.ogg";

    m.objects = {rock, boost, car};
    return m;
}

std::vector<SExpected> everyFieldAsRead()
{
    auto n = [](float v) { return CNumberText::fromFloat(v); };
    auto xyz = [&n](float x, float y, float z) { return SAttributes{{"X", n(x)}, {"Y", n(y)}, {"Z", n(z)}}; };
    return {
        {"ShadowType", {{"Value", "NormalFixed"}}},
        {"RaceType", {{"Value", "Rally"}}},
        {"Laps", {{"Value", "3"}}},
        {"RallyTime", {{"Value", "61000"}}},
        {"RallyTime", {{"Value", "45500"}}},
        {"Navigation", {{"Path", "missions/m01/nav.xml"}}},
        {"OS", {{"ID", "0"}, {"Mesh", "data/os/line.b3d"}}},
        {"OS", {{"ID", "2"}, {"Mesh", "data/os/two.b3d"}}},
        {"StaticObject", {{"Name", "Rock & \"Roll\""}, {"ParentName", "NULL"}}, false},
        {"DisplayName", {{"Value", "<Big> 'rock'"}}},
        {"Mesh", {{"Value", "data/rock.b3d"}}},
        {"Position", xyz(1.5f, -0.25f, 1e-7f)},
        {"Rotation", xyz(0.0f, 30.0f, -60.0f)},
        {"Scale", xyz(2.0f, 1.0f / 3.0f, 123456.789f)},
        {"Offset", xyz(3.0f, 0.1f, 3.0f)},
        {"Transparent", {{"Value", "1"}}},
        {"Mapping", {{"Type", "Triplanar"}}},
        {"Texture", {{"Value", "data/a.dds"}}},
        {"Texture", {{"Value", "data/b.dds"}}},
        {"Physic", {{"Type", "MESH"}, {"Mesh", "data/rock_hull.b3d"}, {"X", "2"}, {"Y", "1.5"}, {"Z", "2"}, {"Mass", "0"}}},
        {"/StaticObject", {}},
        {"Item", {{"Name", "Boost1"}, {"ParentName", "Boost0"}}},
        {"Mesh", {{"Value", "data/items/tyre.b3d"}}},
        {"Position", xyz(0.0f, 2.0f, -3.5f)},
        {"Scale", xyz(1.0f, 1.0f, 1.0f)},
        {"Boost", {{"Value", "-60"}}},
        {"EffectTime", {{"Value", "10000"}}},
        {"RespawnTime", {{"Value", "30000"}}},
        {"Type", {{"Value", "Speed"}}},
        {"/Item", {}},
        {"Vehicle", {{"Name", "Player"}, {"ParentName", "NULL"}}, false},
        {"DisplayName", {{"Value", "You"}}},
        {"Mesh", {{"Value", "data/cars/body.b3d"}}},
        {"WheelFL", {{"Value", "data/cars/fl.b3d"}}},
        {"WheelFR", {{"Value", "data/cars/fr.b3d"}}},
        {"WheelBL", {{"Value", "data/cars/bl.b3d"}}},
        {"WheelBR", {{"Value", "data/cars/br.b3d"}}},
        {"Position", xyz(37.0f, 0.1f, -10.0f)},
        {"Rotation", xyz(0.0f, 180.0f, 0.0f)},
        {"Scale", xyz(1.0f, 1.0f, 1.0f)},
        {"Transparent", {{"Value", "0"}}},
        {"MaxEngineForce", {{"Value", "3000.5"}}},
        {"MaxBreakingForce", {{"Value", "150"}}},
        {"MaxVelocity", {{"Value", "-1"}}},
        {"Color", {{"R", "300"}, {"G", "40"}, {"B", "30"}, {"A", "255"}}},
        {"Physic", {{"Type", "VEHICLE1"}, {"Mesh", "data/cars/body.b3d"}, {"X", "2"}, {"Y", "1"}, {"Z", "4"}, {"Mass", "800"}}},
        {"Controller", {{"Type", "Manual"}}},
        {"EngineSound", {{"Value", "data/audio/engines/buggy.ogg"}}},
        {"/Vehicle", {}},
    };
}

void expectRead(const std::vector<SXmlNode>& nodes, const std::vector<SExpected>& expected)
{
    ASSERT_EQ(nodes.size(), expected.size());
    for (size_t i = 0; i < nodes.size(); ++i) {
        const SXmlNode& node = nodes[i];
        const SExpected& want = expected[i];
        SCOPED_TRACE(want.name);
        if (want.name[0] == '/') {
            EXPECT_TRUE(node.end);
            EXPECT_EQ(node.name, want.name + 1);
            continue;
        }
        EXPECT_FALSE(node.end);
        EXPECT_EQ(node.name, want.name);
        EXPECT_EQ(node.empty, want.empty);
        EXPECT_EQ(node.attributes, want.attributes);
    }
}

class MissionWriter : public ::testing::Test {
protected:
    testsupport::CScratchDir dir;
    testsupport::CNullEngine engine;
};

// Every rule, checkpoint, object and field comes back from the game's reader in file order with
// its attributes exactly as written; items open with an empty start tag and close with an end
// tag, static objects and vehicles enclose their fields.
TEST_F(MissionWriter, EveryFieldReadsBackAsWritten)
{
    ASSERT_TRUE(CMissionWriter::writeMission(dir.file("missions/m01/mission.xml"), everyField()));
    std::vector<SXmlNode> nodes;
    ASSERT_TRUE(kittest::readXml(engine.get(), dir.file("missions/m01/mission.xml"), nodes));
    expectRead(nodes, everyFieldAsRead());
}

// Floats come back as the very same float through a correct parser, and within the engine's
// own number reader's rounding through the XML reader.
TEST_F(MissionWriter, FloatsRoundTrip)
{
    const float values[] = {0.1f, 1.0f / 3.0f, 1e-7f, -123456.789f, 3.4e38f, 1.3f, 0.72f, 16777217.0f,
                            std::nextafter(1.0f, 2.0f), -0.0f};
    std::vector<SVec3> points;
    for (float v : values)
        points.push_back({v, -v, v * 0.5f});
    ASSERT_TRUE(CMissionWriter::writePath(dir.file("path.xml"), points));
    std::vector<SXmlNode> nodes;
    ASSERT_TRUE(kittest::readXml(engine.get(), dir.file("path.xml"), nodes));
    ASSERT_EQ(nodes.size(), points.size());
    io::IXMLReader* reader = engine->getDevice()->getFileSystem()->createXMLReader(dir.file("path.xml").c_str());
    ASSERT_NE(reader, nullptr);
    size_t i = 0;
    while (reader->read()) {
        if (reader->getNodeType() != io::EXN_ELEMENT)
            continue;
        const SVec3& p = points[i];
        const float want[3] = {p.x, p.y, p.z};
        const char* keys[3] = {"X", "Y", "Z"};
        const wchar_t* wideKeys[3] = {L"X", L"Y", L"Z"};
        for (int k = 0; k < 3; ++k) {
            const std::string text = nodes[i].attribute(keys[k]);
            EXPECT_EQ(std::strtof(text.c_str(), nullptr), want[k]) << text;
            EXPECT_EQ(std::signbit(std::strtof(text.c_str(), nullptr)), std::signbit(want[k])) << text;
            EXPECT_NEAR(reader->getAttributeValueAsFloat(wideKeys[k]), want[k], std::fabs(want[k]) * 1e-6f) << text;
        }
        ++i;
    }
    reader->drop();
}

// The waypoint recorder's layout (declaration, blank line, one point a line) and the list of
// path files; only the given rules and fields are written.
TEST_F(MissionWriter, ExactLayouts)
{
    EXPECT_EQ(CMissionWriter::pathText({{1.5f, 0.0f, -2.25f}, {10.0f, 0.5f, 7.0f}}),
              "<?xml version=\"1.0\"?>\n\n"
              "<Waypoint X=\"1.5\" Y=\"0\" Z=\"-2.25\"/>\n"
              "<Waypoint X=\"10\" Y=\"0.5\" Z=\"7\"/>\n");
    EXPECT_EQ(CMissionWriter::waypointsText({"missions/m01/a.xml", "missions/m01/a.xml"}),
              "<?xml version=\"1.0\"?>\n\n"
              "<Waypoints Path=\"missions/m01/a.xml\"/>\n"
              "<Waypoints Path=\"missions/m01/a.xml\"/>\n");
    SMission bare;
    SObjectRecord rock;
    rock.name = "Rock"; // no ParentName attribute at all: the game then looks up the empty name
    SObjectRecord item;
    item.kind = EObjectKind::Item;
    item.name = "Turbo0";
    item.parentName = "";
    bare.objects = {rock, item};
    EXPECT_EQ(CMissionWriter::missionText(bare),
              "<?xml version=\"1.0\"?>\n\n"
              "<StaticObject Name=\"Rock\">\n"
              "</StaticObject>\n\n"
              "<Item Name=\"Turbo0\" ParentName=\"\"/>\n"
              "</Item>\n");
}

TEST_F(MissionWriter, NumbersThatAreNotFiniteAreWrittenAsZeroWithAWarning)
{
    bool ok = false;
    const std::string file = dir.file("nan.xml");
    const std::string out = testsupport::captureStdout(
        [&] { ok = CMissionWriter::writePath(file, {{std::nanf(""), INFINITY, 2.0f}}); });
    EXPECT_TRUE(ok);
    EXPECT_EQ(out, "Warning: \"" + file + "\": a number that is not finite was written as 0\n");
    EXPECT_EQ(dir.read("nan.xml"), "<?xml version=\"1.0\"?>\n\n<Waypoint X=\"0\" Y=\"0\" Z=\"2\"/>\n");
}

TEST_F(MissionWriter, UnwritableFileIsReported)
{
    dir.write("blocker", "a file where a folder should be");
    bool ok = true;
    const std::string out = testsupport::captureStdout(
        [&] { ok = CMissionWriter::writeWaypoints(dir.file("blocker/waypoints.xml"), {}); });
    EXPECT_FALSE(ok);
    EXPECT_EQ(out, "ERROR: Could not write \"" + dir.file("blocker/waypoints.xml") + "\"\n");
}

// A player whose regional settings write "1,5" must still get files the game reads: the same
// bytes as under the C locale.
TEST_F(MissionWriter, CommaLocaleWritesTheSameBytes)
{
    const std::string inC = CMissionWriter::missionText(everyField());
    const std::string pathInC = CMissionWriter::pathText({{1.5f, -0.25f, 1e-7f}});
    testsupport::CCommaLocale comma;
    if (!comma.active())
        GTEST_SKIP() << comma.why;
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_STREQ(probe, "1,5"); // the locale really is in force
    EXPECT_EQ(CMissionWriter::missionText(everyField()), inC);
    EXPECT_EQ(CMissionWriter::pathText({{1.5f, -0.25f, 1e-7f}}), pathInC);
    ASSERT_TRUE(CMissionWriter::writeMission(dir.file("mission.xml"), everyField()));
    std::vector<SXmlNode> nodes;
    ASSERT_TRUE(kittest::readXml(engine.get(), dir.file("mission.xml"), nodes));
    expectRead(nodes, everyFieldAsRead());
}

TEST_F(MissionWriter, SameMissionGivesSameBytes)
{
    ASSERT_TRUE(CMissionWriter::writeMission(dir.file("a.xml"), everyField()));
    ASSERT_TRUE(CMissionWriter::writeMission(dir.file("b.xml"), everyField()));
    EXPECT_EQ(dir.read("a.xml"), dir.read("b.xml"));
}

} // namespace
