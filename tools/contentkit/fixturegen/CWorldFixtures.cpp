#include "tools/contentkit/fixturegen/CWorldFixtures.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "tools/contentkit/CB3DWriter.h"
#include "tools/contentkit/CCarMeshBuilder.h"
#include "tools/contentkit/CContentFile.h"
#include "tools/contentkit/CMeshBuilder.h"
#include "tools/contentkit/CMissionWriter.h"
#include "tools/contentkit/COBJWriter.h"

using namespace contentkit;

namespace {

const double kPi = 3.14159265358979323846;

// Shared art, relative to the fixture root as the game's paths are to its working directory.
const char* const kGround = "data/ground/ground.b3d";
const char* const kSand = "data/ground/sand.dds";
const char* const kGravel = "data/ground/gravel.dds";
const char* const kGrass = "data/ground/grass.dds";
const char* const kRock = "data/scenery/rock.b3d";
const char* const kRockTexture = "data/scenery/rock.dds";
const char* const kInfield = "data/scenery/infield.obj";
const char* const kWallTexture = "data/scenery/wall.dds";
const char* const kBoostItem = "data/items/boost.b3d";
const char* const kSpeedItem = "data/items/speed.b3d";
const char* const kBuggyBody = "data/cars/buggy/body.b3d";
const char* const kBuggyWheel = "data/cars/buggy/wheel.b3d";
const char* const kTruckBody = "data/cars/truck/body.b3d";
const char* const kTruckWheel = "data/cars/truck/wheel.b3d";
const char* const kPaint = "data/cars/paint.dds";
const char* const kTyre = "data/cars/tyre.dds";
const char* const kEmptyMesh = "data/broken/empty.b3d";
// Made by the audio generator in the game's run folder, not here: a test that wants to hear the
// engine copies it in beside these files.
const char* const kBuggySound = "data/audio/engines/buggy.ogg";
const char* const kTruckSound = "data/audio/engines/truck.ogg";

const SVec3 kBuggySize{2.0f, 1.0f, 4.0f};
const SVec3 kTruckSize{2.4f, 1.2f, 4.8f};

class CWriter {
public:
    explicit CWriter(std::string rootFolder) : root(std::move(rootFolder)) {}
    bool ok = true;

    std::string at(const std::string& relative) const { return root + "/" + relative; }

    void texture(const char* path, uint32_t a, uint32_t b)
    {
        // A 4 x 4 checker of two colours: enough for the loaders, the same bytes every run.
        std::vector<uint32_t> argb(16);
        for (uint32_t i = 0; i < 16; ++i)
            argb[i] = ((i % 4) + (i / 4)) % 2 ? a : b;
        ok = CContentFile::writeDds(at(path), argb, 4, 4, EDF_A8R8G8B8) && ok;
    }
    void b3d(const char* path, const SMesh& mesh) { ok = CB3DWriter::write(at(path), mesh) && ok; }
    void b3d(const char* path, const SSkinnedMesh& body) { ok = CB3DWriter::write(at(path), body) && ok; }
    void obj(const char* path, const SMesh& mesh) { ok = COBJWriter::write(at(path), mesh) && ok; }
    void mission(const std::string& folder, const SMission& m)
    {
        ok = CMissionWriter::writeMission(at(folder + "mission.xml"), m) && ok;
    }
    void missionText(const std::string& folder, const std::string& text)
    {
        ok = CContentFile::write(at(folder + "mission.xml"), text) && ok;
    }
    void waypoints(const std::string& folder, const std::vector<std::string>& paths)
    {
        ok = CMissionWriter::writeWaypoints(at(folder + "waypoints.xml"), paths) && ok;
    }
    void path(const std::string& file, const std::vector<SVec3>& points)
    {
        ok = CMissionWriter::writePath(at(file), points) && ok;
    }

private:
    std::string root;
};

SMesh single(SSurface surface, const std::vector<std::string>& textures = {})
{
    surface.textures = textures;
    SMesh mesh;
    mesh.surfaces.push_back(std::move(surface));
    return mesh;
}

void writeArt(CWriter& w)
{
    w.texture(kSand, 0xFFD8C080, 0xFFC8B070);
    w.texture(kGravel, 0xFF8C8478, 0xFF7C7468);
    w.texture(kGrass, 0xFF5C8C3C, 0xFF4C7C2C);
    w.texture(kRockTexture, 0xFF707070, 0xFF606060);
    w.texture(kWallTexture, 0xFFB04030, 0xFFF0F0F0);
    w.texture(kPaint, 0xFFFFFFFF, 0xFFE0E0E0);
    w.texture(kTyre, 0xFF202020, 0xFF303030);

    // 400 m square, 10 m cells: both missions drive on it.
    w.b3d(kGround, CMeshBuilder::groundGrid(400.0f, 400.0f, 40, 40, 10.0f, {kSand, kGravel, kGrass}));
    w.b3d(kRock, single(CMeshBuilder::box({-1.0f, 0.0f, -1.0f}, {1.0f, 1.5f, 1.0f}), {kRockTexture}));
    // The race loop's infield, a low wall block the track runs round.
    w.obj(kInfield, single(CMeshBuilder::box({-25.0f, 0.0f, -50.0f}, {25.0f, 1.5f, 50.0f}), {kWallTexture}));
    w.b3d(kBoostItem, single(CMeshBuilder::cylinder(0.5f, 0.3f, 16), {kTyre}));
    w.b3d(kSpeedItem, single(CMeshBuilder::box({-0.4f, -0.4f, -0.4f}, {0.4f, 0.4f, 0.4f}), {kPaint}));

    const SCarLayout buggy = SCarLayout::forShape("VEHICLE0", kBuggySize);
    const SCarLayout truck = SCarLayout::forShape("VEHICLE1", kTruckSize);
    w.b3d(kBuggyBody, CCarMeshBuilder::body(buggy, {kPaint}));
    w.b3d(kBuggyWheel, CCarMeshBuilder::wheel(buggy, {kTyre}));
    w.b3d(kTruckBody, CCarMeshBuilder::body(truck, {kPaint}));
    w.b3d(kTruckWheel, CCarMeshBuilder::wheel(truck, {kTyre}));

    // A mesh that loads but has no triangle at all.
    w.b3d(kEmptyMesh, SMesh{});
}

SObjectRecord ground()
{
    SObjectRecord o;
    o.kind = EObjectKind::StaticObject;
    o.name = "Ground";
    o.parentName = "NULL";
    o.displayName = "Ground";
    o.mesh = kGround;
    o.position = SVec3{0, 0, 0};
    o.rotation = SVec3{0, 0, 0};
    o.scale = SVec3{1, 1, 1};
    o.transparent = 0;
    o.mapping = "Triplanar";
    o.textures = {kSand, kGravel, kGrass};
    o.physic = SPhysicRecord{"MESH", kGround, {1, 1, 1}, 0.0f};
    return o;
}

SObjectRecord rock(const std::string& name, const SVec3& position)
{
    SObjectRecord o;
    o.kind = EObjectKind::StaticObject;
    o.name = name;
    o.parentName = "NULL";
    o.displayName = "Rock";
    o.mesh = kRock;
    o.position = position;
    o.rotation = SVec3{0, 30, 0};
    o.scale = SVec3{2, 1.5f, 2};
    o.textures = {kRockTexture};
    o.physic = SPhysicRecord{"MESH", kRock, {2, 1.5f, 2}, 0.0f};
    return o;
}

SObjectRecord item(const std::string& name, const char* mesh, const char* type, float value, const SVec3& position)
{
    SObjectRecord o;
    o.kind = EObjectKind::Item;
    o.name = name;
    o.parentName = "";
    o.mesh = mesh;
    o.position = position;
    o.scale = SVec3{1, 1, 1};
    o.boost = value;
    o.effectTime = 10000;
    o.respawnTime = 30000;
    o.itemType = type;
    return o;
}

SObjectRecord car(const std::string& name, bool truck, const char* controller, const SVec3& position, float yaw,
                  const SColorRecord& colour)
{
    SObjectRecord o;
    o.kind = EObjectKind::Vehicle;
    o.name = name;
    o.parentName = "NULL";
    o.displayName = name;
    o.mesh = truck ? kTruckBody : kBuggyBody;
    const char* wheel = truck ? kTruckWheel : kBuggyWheel;
    o.wheelFL = o.wheelFR = o.wheelBL = o.wheelBR = wheel;
    o.position = position;
    o.rotation = SVec3{0, yaw, 0};
    o.scale = SVec3{1, 1, 1};
    o.transparent = 0;
    o.maxEngineForce = truck ? 4000.0f : 3000.0f;
    o.maxBreakingForce = truck ? 200.0f : 150.0f;
    o.maxVelocity = truck ? 120.0f : 160.0f;
    o.color = colour;
    o.physic = SPhysicRecord{truck ? "VEHICLE1" : "VEHICLE0", o.mesh.value(), truck ? kTruckSize : kBuggySize,
                             truck ? 1400.0f : 800.0f};
    o.controller = controller;
    o.engineSound = truck ? kTruckSound : kBuggySound;
    return o;
}

SObjectRecord player(const SVec3& position = {0.0f, 0.1f, -120.0f}, float yaw = 0.0f)
{
    return car("Player", false, "Manual", position, yaw, {200, 40, 30, 255});
}

// --- "flat": a straight across the flat ground, one car -------------------------------------

void writeFlat(CWriter& w)
{
    const std::string folder = "missions/flat/";
    for (int id = 0; id < 3; ++id) {
        const std::string mesh = "data/gates/flat" + std::to_string(id) + ".b3d";
        w.b3d(mesh.c_str(), single(CMeshBuilder::gate({0.0f, 0.0f, -100.0f + 100.0f * id}, 20.0f, 6.0f, 2.0f, 0.0f)));
    }
    std::vector<SVec3> line;
    for (int z = -140; z <= 140; z += 20)
        line.push_back({0.0f, 0.0f, float(z)});
    w.path(folder + "navigation.xml", line);

    SMission m;
    m.shadowType = "NormalFixed";
    m.raceType = "Rally";
    m.laps = 1;
    m.rallyTimes = {90000, 45000, 60000}; // out of order: the game sorts them
    m.navigation = folder + "navigation.xml";
    for (int id = 0; id < 3; ++id)
        m.checkpoints.push_back({id, "data/gates/flat" + std::to_string(id) + ".b3d"});
    m.objects.push_back(ground());
    m.objects.push_back(rock("Rock", {12.0f, 0.0f, 40.0f}));
    m.objects.push_back(item("Boost0", kBoostItem, "Boost", 10000.0f, {0.0f, 1.0f, -50.0f}));
    m.objects.push_back(item("Speed0", kSpeedItem, "Speed", 80.0f, {0.0f, 1.0f, 50.0f}));
    m.objects.push_back(player());
    w.mission(folder, m);
    w.waypoints(folder, {}); // no computer car
}

// --- "race": a closed loop, the player and two computer cars --------------------------------

// The loop: straights along z at x = +-40 joined by half circles round (0, +-60).
std::vector<SVec3> loop(float lane, float stepMetres)
{
    const double r = 40.0 + lane, straight = 120.0;
    std::vector<SVec3> points;
    auto add = [&points](double x, double z) { points.push_back({float(x), 0.0f, float(z)}); };
    const int straightSteps = int(std::lround(straight / stepMetres));
    const int arcSteps = int(std::lround(kPi * r / stepMetres));
    for (int i = 0; i < straightSteps; ++i) // up the +x side, towards +z
        add(r, -60.0 + straight * i / straightSteps);
    for (int i = 0; i < arcSteps; ++i) { // round the far end
        const double a = kPi * i / arcSteps;
        add(r * std::cos(a), 60.0 + r * std::sin(a));
    }
    for (int i = 0; i < straightSteps; ++i) // down the -x side
        add(-r, 60.0 - straight * i / straightSteps);
    for (int i = 0; i < arcSteps; ++i) { // round the near end, back to the start
        const double a = kPi + kPi * i / arcSteps;
        add(r * std::cos(a), -60.0 + r * std::sin(a));
    }
    return points;
}

// The loop turned so that it starts at the first point on the +x straight at or past z = 0.
std::vector<SVec3> fromTheLine(const std::vector<SVec3>& points)
{
    size_t start = 0;
    while (start < points.size() && !(points[start].x > 0.0f && points[start].z >= 0.0f))
        ++start;
    std::vector<SVec3> turned(points.begin() + long(start % points.size()), points.end());
    turned.insert(turned.end(), points.begin(), points.begin() + long(start % points.size()));
    return turned;
}

// A two-lap race round the loop through the race gates on the ground, with its navigation path
// and two computer-car paths; `fromLine` starts every path at the line rather than before it.
SMission loopRace(CWriter& w, const std::string& folder, bool fromLine)
{
    auto path = [fromLine](float lane, float step) {
        return fromLine ? fromTheLine(loop(lane, step)) : loop(lane, step);
    };
    w.path(folder + "navigation.xml", path(0.0f, 10.0f));
    w.path(folder + "ai_inner.xml", path(-3.0f, 8.0f));
    w.path(folder + "ai_outer.xml", path(3.0f, 8.0f));

    SMission m;
    m.raceType = "Lap";
    m.laps = 2;
    m.navigation = folder + "navigation.xml";
    for (int id = 0; id < 3; ++id)
        m.checkpoints.push_back({id, "data/gates/race" + std::to_string(id) + ".b3d"});
    m.objects.push_back(ground());
    return m;
}

void writeRace(CWriter& w)
{
    const std::string folder = "missions/race/";
    // Start and finish on the +x straight, then the far bend's apex, then the -x straight.
    w.b3d("data/gates/race0.b3d", single(CMeshBuilder::gate({40.0f, 0.0f, 0.0f}, 16.0f, 6.0f, 2.0f, 0.0f)));
    w.b3d("data/gates/race1.b3d", single(CMeshBuilder::gate({0.0f, 0.0f, 100.0f}, 16.0f, 6.0f, 2.0f, 90.0f)));
    w.b3d("data/gates/race2.b3d", single(CMeshBuilder::gate({-40.0f, 0.0f, 0.0f}, 16.0f, 6.0f, 2.0f, 0.0f)));
    SMission m = loopRace(w, folder, false);
    m.shadowType = "NormalFixed";
    SObjectRecord infield;
    infield.kind = EObjectKind::StaticObject;
    infield.name = "Infield";
    infield.parentName = "NULL";
    infield.displayName = "Infield";
    infield.mesh = kInfield;
    infield.position = SVec3{0, 0, 0};
    infield.textures = {kWallTexture};
    infield.physic = SPhysicRecord{"MESH", kInfield, {1, 1, 1}, 0.0f};
    m.objects.push_back(infield);
    m.objects.push_back(rock("Rock", {60.0f, 0.0f, 20.0f}));
    m.objects.push_back(player({37.0f, 0.1f, -10.0f}));
    m.objects.push_back(car("Rival", false, "AI", {43.0f, 0.1f, -10.0f}, 0.0f, {30, 90, 200, 255}));
    m.objects.push_back(car("Hauler", true, "AI", {40.0f, 0.3f, -20.0f}, 0.0f, {230, 190, 30, 255}));
    w.mission(folder, m);
    w.waypoints(folder, {folder + "ai_inner.xml", folder + "ai_outer.xml"});
}

// --- "circuit": the race loop with every path starting at the line, for the race tests --------

void writeCircuit(CWriter& w)
{
    const std::string folder = "missions/circuit/";
    SMission m = loopRace(w, folder, true);
    m.objects.push_back(player({40.0f, 0.1f, -8.0f}));
    m.objects.push_back(car("Rival", false, "AI", {37.0f, 0.1f, -16.0f}, 0.0f, {30, 90, 200, 255}));
    m.objects.push_back(car("Hauler", true, "AI", {43.0f, 0.3f, -24.0f}, 0.0f, {230, 190, 30, 255}));
    m.objects.push_back(item("Boost0", kBoostItem, "Boost", 10000.0f, {40.0f, 1.0f, 40.0f}));
    w.mission(folder, m);
    w.waypoints(folder, {folder + "ai_inner.xml", folder + "ai_outer.xml"});
}

// --- "duel" and "grid": the circuit with two and with five cars, for the race display -------

void writeGrids(CWriter& w)
{
    const SObjectRecord cars[] = {
        player({40.0f, 0.1f, -8.0f}),
        car("Rival", false, "AI", {37.0f, 0.1f, -16.0f}, 0.0f, {30, 90, 200, 255}),
        car("Hauler", true, "AI", {43.0f, 0.3f, -24.0f}, 0.0f, {230, 190, 30, 255}),
        car("Sprinter", false, "AI", {37.0f, 0.1f, -32.0f}, 0.0f, {40, 170, 60, 255}),
        car("Drifter", false, "AI", {43.0f, 0.1f, -40.0f}, 0.0f, {150, 60, 180, 255}),
    };
    for (const size_t count : {size_t(2), size_t(5)}) {
        const std::string folder = count == 2 ? "missions/duel/" : "missions/grid/";
        SMission m = loopRace(w, folder, true);
        m.objects.insert(m.objects.end(), cars, cars + count);
        w.mission(folder, m);
        w.waypoints(folder, {folder + "ai_inner.xml", folder + "ai_outer.xml"});
    }
}

// --- "sprint": a rally leg down a straight, the player alone, for the whole-program tests ----

// Holding the forward key wins it: no lap to drive round, the first crossing of the line is the
// finish, well inside the stored times. The player drives the game's own buggy (from the game's
// run folder, which the whole-program tests lay this fixture's ground and gates beside).
void writeSprint(CWriter& w)
{
    const std::string folder = "missions/sprint/";
    w.b3d("data/gates/sprint0.b3d", single(CMeshBuilder::gate({0.0f, 0.0f, 50.0f}, 20.0f, 6.0f, 2.0f, 0.0f)));
    // Off the road: the leg never reaches them.
    w.b3d("data/gates/sprint1.b3d", single(CMeshBuilder::gate({150.0f, 0.0f, 0.0f}, 20.0f, 6.0f, 2.0f, 0.0f)));
    w.b3d("data/gates/sprint2.b3d", single(CMeshBuilder::gate({-150.0f, 0.0f, 0.0f}, 20.0f, 6.0f, 2.0f, 0.0f)));
    std::vector<SVec3> navigation;
    for (int z = -150; z <= 150; z += 20)
        navigation.push_back({0.0f, 0.0f, float(z)});
    w.path(folder + "navigation.xml", navigation);

    SMission m;
    m.shadowType = "NormalFixed";
    m.raceType = "Rally";
    m.laps = 0;
    m.rallyTimes = {60000, 90000, 120000};
    m.navigation = folder + "navigation.xml";
    for (int id = 0; id < 3; ++id)
        m.checkpoints.push_back({id, "data/gates/sprint" + std::to_string(id) + ".b3d"});
    m.objects.push_back(ground());
    SObjectRecord driver = player({0.0f, 0.1f, -150.0f});
    driver.mesh = "data/cars/buggy/body_red.b3d";
    driver.wheelFL = driver.wheelFR = driver.wheelBL = driver.wheelBR = "data/cars/buggy/wheel.b3d";
    driver.physic->mesh = driver.mesh.value();
    m.objects.push_back(driver);
    w.mission(folder, m);
    w.waypoints(folder, {});
}

// --- missions with one fault each, otherwise the ground and the player's car ----------------

SMission plain()
{
    SMission m;
    m.raceType = "Lap";
    m.laps = 1;
    m.objects.push_back(ground());
    return m;
}

void writeBroken(CWriter& w)
{
    { // the folder has no "mission.xml"
        std::error_code ignored;
        std::filesystem::create_directories(w.at("missions/no_mission"), ignored);
        w.waypoints("missions/no_mission/", {});
    }
    { // the folder has no "waypoints.xml"
        SMission m = plain();
        m.objects.push_back(player());
        w.mission("missions/no_waypoints/", m);
    }
    { // a computer car named "NULL", which no list may hold, after the player's car
        SMission m = plain();
        m.objects.push_back(player());
        m.objects.push_back(car("NULL", false, "AI", {6.0f, 0.1f, -120.0f}, 0.0f, {255, 255, 255, 255}));
        w.mission("missions/null_vehicle/", m);
        w.waypoints("missions/null_vehicle/", {});
    }
    { // a second "Rock" somewhere else: it must change nothing
        SMission m = plain();
        m.objects.push_back(rock("Rock", {12.0f, 0.0f, 40.0f}));
        m.objects.push_back(rock("Rock", {-30.0f, 0.0f, 80.0f}));
        m.objects.push_back(player());
        w.mission("missions/duplicate_static/", m);
        w.waypoints("missions/duplicate_static/", {});
    }
    { // parents that do not exist, one of each kind
        SMission m = plain();
        SObjectRecord stone = rock("Stone", {12.0f, 0.0f, 40.0f});
        stone.parentName = "Nowhere";
        m.objects.push_back(stone);
        SObjectRecord orphan = item("Orphan", kBoostItem, "Boost", 500.0f, {0.0f, 1.0f, -60.0f});
        orphan.parentName = "Phantom";
        m.objects.push_back(orphan);
        SObjectRecord me = player();
        me.parentName = "Ghost";
        m.objects.push_back(me);
        w.mission("missions/parent_missing/", m);
        w.waypoints("missions/parent_missing/", {});
    }
    { // a static object whose mesh and body mesh have no triangle
        SMission m = plain();
        SObjectRecord hollow;
        hollow.kind = EObjectKind::StaticObject;
        hollow.name = "Hollow";
        hollow.parentName = "NULL";
        hollow.mesh = kEmptyMesh;
        hollow.position = SVec3{0.0f, 0.0f, 30.0f};
        hollow.physic = SPhysicRecord{"MESH", kEmptyMesh, {1, 1, 1}, 0.0f};
        m.objects.push_back(hollow);
        m.objects.push_back(player());
        w.mission("missions/empty_mesh/", m);
        w.waypoints("missions/empty_mesh/", {});
    }
    { // shape types the physics does not know: a static one, and a car's in lower case
        SMission m = plain();
        SObjectRecord ball = rock("Ball", {12.0f, 0.0f, 40.0f});
        ball.physic->type = "SPHERE";
        m.objects.push_back(ball);
        m.objects.push_back(player());
        SObjectRecord odd = car("Odd", false, "AI", {6.0f, 0.1f, -120.0f}, 0.0f, {90, 200, 90, 255});
        odd.physic->type = "vehicle0";
        m.objects.push_back(odd);
        w.mission("missions/unknown_shape/", m);
        w.waypoints("missions/unknown_shape/", {});
    }
    { // the rock's end tag misspelt: the rock is never made, the car after it is
        SMission m = plain();
        m.objects.push_back(rock("Rock", {12.0f, 0.0f, 40.0f}));
        m.objects.push_back(player());
        std::string text = CMissionWriter::missionText(m);
        const std::string good = "</StaticObject>\n\n<StaticObject Name=\"Rock\"";
        const size_t rockStart = text.find(good);
        const size_t rockEnd = rockStart == std::string::npos ? rockStart : text.find("</StaticObject>", rockStart + 1);
        if (rockEnd == std::string::npos) {
            printf("ERROR: the mismatched end tag fixture found no rock to break\n");
            w.ok = false;
        } else {
            text.replace(rockEnd, 15, "</StaticObjekt>");
        }
        w.missionText("missions/bad_end_tag/", text);
        w.waypoints("missions/bad_end_tag/", {});
    }
}

} // namespace

bool CWorldFixtures::write(const std::string& root)
{
    std::error_code error;
    for (const char* folder : {"missions", "data"}) {
        std::filesystem::remove_all(std::filesystem::path(root) / folder, error);
        if (error) {
            printf("ERROR: Could not clear \"%s/%s\": %s\n", root.c_str(), folder, error.message().c_str());
            return false;
        }
    }
    CWriter w(root);
    writeArt(w);
    writeFlat(w);
    writeRace(w);
    writeCircuit(w);
    writeGrids(w);
    writeSprint(w);
    writeBroken(w);
    return w.ok;
}
