#include "tools/missiongen/CMissionBuilder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/contentkit/CB3DWriter.h"
#include "tools/contentkit/CContentFile.h"
#include "tools/contentkit/CMeshBuilder.h"
#include "tools/contentkit/CMissionWriter.h"
#include "tools/missiongen/CCarFactory.h"
#include "tools/missiongen/CGroundTextures.h"
#include "tools/missiongen/CItemArt.h"

namespace missiongen {

using contentkit::SMission;
using contentkit::SObjectRecord;
using contentkit::SVec2;
using contentkit::SVec3;

namespace {

// A piece of the world that stands where its mesh puts it and is solid as its mesh.
SObjectRecord solidMesh(const char* name, const std::string& mesh)
{
    SObjectRecord o;
    o.kind = contentkit::EObjectKind::StaticObject;
    o.name = name;
    o.parentName = "NULL";
    o.displayName = name;
    o.mesh = mesh;
    o.position = SVec3{0.0f, 0.0f, 0.0f};
    o.rotation = SVec3{0.0f, 0.0f, 0.0f};
    o.scale = SVec3{1.0f, 1.0f, 1.0f};
    o.transparent = 0;
    o.physic = contentkit::SPhysicRecord{"MESH", mesh, {1.0f, 1.0f, 1.0f}, 0.0f};
    return o;
}

const float kRadToDeg = 57.2957795f;

// The pick-ups, in the order they come round the lap: the tyre pulls harder, the rocket runs
// faster, and the question-mark crate is a trap that holds the car back. Their values are shares
// of the player's car, so an item helps without deciding the race.
struct SItemKind {
    EItem item;
    const char* type;
    float share;     // of the engine force for "Boost", of the top speed in km/h for "Speed"
    int effectTime;  // ms
    int respawnTime; // ms
};
const SItemKind kItemKinds[3] = {
    {EItem::Tyre, "Boost", 0.35f, 8000, 30000},
    {EItem::Rocket, "Speed", 0.12f, 8000, 30000},
    {EItem::Who, "Speed", -0.3f, 6000, 30000},
};

// The computer cars' lanes, as lateral offsets left of the centre line.
const float kLanes[3] = {-2.5f, 2.5f, 0.0f};

char digit(int n) { return char('0' + n); }

} // namespace

CMissionBuilder::CMissionBuilder(const STrackDesign& trackDesign) :
    design(trackDesign), landscape(design.landscape, design.seed, design.terrainSize, design.relief),
    path(design.controlPoints), profile(path, landscape, design.maxGrade),
    field(path, profile, 0.5f * design.width + landscape.style().shoulder + landscape.style().bank + 2.0f),
    terrain(landscape, field, design.terrainSize, design.width), splat(terrain, field, landscape.style(), design.seed)
{
    // Checkpoint 0 is the line; 1 and 2 stand on the straightest ground near a third and two
    // thirds of the lap, where a car crosses them square.
    checkpoints = {0.0f};
    for (int k = 1; k <= 2; ++k) {
        const float centre = path.length() * float(k) / 3.0f;
        float best = centre, straightest = 0.0f;
        for (float s = centre - path.length() / 12.0f; s <= centre + path.length() / 12.0f; s += 5.0f) {
            const float r = std::min({path.radius(s - 10.0f), path.radius(s), path.radius(s + 10.0f)});
            if (r > straightest) {
                straightest = r;
                best = s;
            }
        }
        checkpoints.push_back(path.wrap(best));
    }
    scenery = CSceneryPlacer(design, landscape, path, field, terrain).place({checkpoints[1], checkpoints[2]});
}

std::string CMissionBuilder::missionFolder() const { return std::string("missions/m0") + digit(design.number) + "/"; }

std::string CMissionBuilder::dataFolder() const { return std::string("data/tracks/m0") + digit(design.number) + "/"; }

SVec3 CMissionBuilder::onGround(float s, float lateral, float lift) const
{
    const SVec2 c = path.point(s), l = path.left(s);
    const float x = c.x + lateral * l.x, z = c.y + lateral * l.y;
    return {x, terrain.height(x, z) + lift, z};
}

std::vector<SVec3> CMissionBuilder::navigation() const
{
    const int n = std::max(3, int(std::lround(path.length() / kNavigationStep)));
    std::vector<SVec3> points;
    for (int k = 0; k < n; ++k)
        points.push_back(onGround(path.length() * float(k) / float(n), 0.0f, 0.5f));
    return points;
}

std::vector<std::vector<SVec3>> CMissionBuilder::aiPaths() const
{
    std::vector<std::vector<SVec3>> paths;
    const int n = std::max(3, int(std::lround(path.length() / kAIStep)));
    int lane = 0;
    for (const SCarEntry& car : design.cars) {
        if (car.player)
            continue;
        // Point 0 lies past the line, ahead of every car on the grid: a computer car steers
        // for it first.
        std::vector<SVec3> points;
        for (int k = 0; k < n; ++k)
            points.push_back(onGround(12.0f + path.length() * float(k) / float(n), kLanes[lane % 3], 0.5f));
        paths.push_back(points);
        ++lane;
    }
    return paths;
}

contentkit::SMesh CMissionBuilder::checkpointMesh(float s) const
{
    // A slab across the track and well beyond its shoulders, from under the ground to high
    // over the tallest car; a car crosses it whichever line it takes.
    const float across = terrain.core() + 4.0f, depth = 3.0f;
    const SVec2 c = path.point(s), d = path.direction(s), l = path.left(s);
    float lowest = 1e9f, highest = -1e9f;
    for (float t = -across; t <= across; t += 1.0f) {
        for (float along : {-0.5f * depth, 0.0f, 0.5f * depth}) {
            const float x = c.x + t * l.x + along * d.x, z = c.y + t * l.y + along * d.y;
            lowest = std::min(lowest, terrain.height(x, z));
            highest = std::max(highest, terrain.height(x, z));
        }
    }
    const float base = lowest - 2.0f;
    contentkit::SMesh mesh;
    mesh.surfaces.push_back(contentkit::CMeshBuilder::gate({c.x, base, c.y}, 2.0f * across, highest + 8.0f - base,
                                                           depth, std::atan2(d.x, d.y) * kRadToDeg));
    return mesh;
}

std::vector<std::vector<SVec2>> CMissionBuilder::fenceLines() const
{
    // Each side's line a fixed distance out from the centre line, kept only where no stretch of
    // track comes nearer than that: on the inside of a bend tighter than the distance, the
    // offset line folds back on itself, and there it is cut off and the two ends joined by a
    // straight chord. Where another stretch runs close by, the fence stops. Then a moving average
    // rounds every corner, so a car that runs wide slides along and off it.
    const float offset = fenceOffset(), step = 2.0f;
    const int n = std::max(8, int(std::lround(path.length() / step)));
    std::vector<std::vector<SVec2>> lines;
    for (float side : {1.0f, -1.0f}) {
        std::vector<SVec2> points(static_cast<size_t>(n));
        std::vector<bool> keep(static_cast<size_t>(n));
        for (int k = 0; k < n; ++k) {
            const float s = path.length() * float(k) / float(n);
            const SVec2 c = path.point(s), l = path.left(s);
            points[size_t(k)] = {c.x + side * offset * l.x, c.y + side * offset * l.y};
            const STrackNear near = field.nearest(points[size_t(k)].x, points[size_t(k)].y);
            keep[size_t(k)] = !near.found || near.distance > offset - 0.3f;
        }
        // A gap short enough to be a fold is bridged when the chord keeps clear of the track.
        auto clear = [&](SVec2 a, SVec2 b) {
            for (float t = 0.0f; t <= 1.0f; t += 0.05f) {
                const STrackNear near = field.nearest(a.x + t * (b.x - a.x), a.y + t * (b.y - a.y));
                if (near.found && near.distance < terrain.core() + 2.0f)
                    return false;
            }
            return true;
        };
        int first = 0;
        while (first < n && !keep[size_t(first)])
            ++first;
        if (first == n)
            continue;
        // Once round from a kept point, a line broken where a gap cannot be bridged.
        std::vector<std::vector<SVec2>> own{{points[size_t(first)]}};
        int last = first;
        for (int i = 1; i <= n; ++i) {
            const int k = (first + i) % n;
            if (!keep[size_t(k)])
                continue;
            const int gap = (k - last + n) % n - 1;
            if (gap > 0 && (float(gap) * step > 40.0f || !clear(points[size_t(last)], points[size_t(k)])))
                own.emplace_back();
            own.back().push_back(points[size_t(k)]);
            last = k;
        }
        // The last line ends on the first point again: round the whole lap it closes the loop,
        // otherwise it runs on into the first line.
        if (own.size() > 1 && own.back().size() > 1) {
            std::vector<SVec2> joined = own.back();
            joined.insert(joined.end(), own.front().begin() + 1, own.front().end());
            own.front() = joined;
            own.pop_back();
        } else if (own.size() > 1) {
            own.pop_back();
        }
        for (const std::vector<SVec2>& line : own)
            if (line.size() >= 3)
                lines.push_back(line);
    }
    for (std::vector<SVec2>& line : lines) {
        // Rounded: three passes of a three-point average, the ends held.
        for (int pass = 0; pass < 3; ++pass) {
            std::vector<SVec2> smooth = line;
            for (size_t k = 1; k + 1 < line.size(); ++k)
                smooth[k] = {(line[k - 1].x + 2.0f * line[k].x + line[k + 1].x) / 4.0f,
                             (line[k - 1].y + 2.0f * line[k].y + line[k + 1].y) / 4.0f};
            line = smooth;
        }
    }
    return lines;
}

contentkit::SMesh CMissionBuilder::fenceMesh() const
{
    // A sheer barrier along both sides, well out beyond the shoulders: a car that runs wide
    // bounces off it, none climbs it (a bank of ground, however steep, is climbed by the
    // wheels), so none cuts across an infield or drives out of the world.
    using contentkit::CMeshBuilder;
    const float height = 1.6f;
    contentkit::SSurface wall;
    wall.name = "fence";
    wall.textures = {CSceneryArt::texturePath(EScenery::Barrier)};
    for (const std::vector<SVec2>& line : fenceLines()) {
        for (size_t k = 0; k + 1 < line.size(); ++k) {
            const SVec2 p0 = line[k], p1 = line[k + 1];
            const float dx = p1.x - p0.x, dz = p1.y - p0.y, length = std::hypot(dx, dz);
            if (length < 1e-3f)
                continue;
            const SVec3 low0{p0.x, terrain.height(p0.x, p0.y) - 0.8f, p0.y};
            const SVec3 low1{p1.x, terrain.height(p1.x, p1.y) - 0.8f, p1.y};
            const SVec3 high0{p0.x, low0.y + 0.8f + height, p0.y};
            const SVec3 high1{p1.x, low1.y + 0.8f + height, p1.y};
            // Both faces, each lit from its own side.
            for (float facing : {1.0f, -1.0f}) {
                const SVec3 normal{-facing * dz / length, 0.0f, facing * dx / length};
                const float u0 = float(k % 2), u1 = u0 + 1.0f;
                const uint32_t a = CMeshBuilder::vertex(wall, low0, normal, {u0, 1.0f});
                const uint32_t b = CMeshBuilder::vertex(wall, low1, normal, {u1, 1.0f});
                const uint32_t c = CMeshBuilder::vertex(wall, high1, normal, {u1, 0.0f});
                const uint32_t d = CMeshBuilder::vertex(wall, high0, normal, {u0, 0.0f});
                CMeshBuilder::addTriangle(wall, a, b, c, normal);
                CMeshBuilder::addTriangle(wall, a, c, d, normal);
            }
        }
    }
    contentkit::SMesh mesh;
    mesh.surfaces.push_back(wall);
    return mesh;
}

SObjectRecord CMissionBuilder::fence() const
{
    SObjectRecord o = solidMesh("Fence", dataFolder() + "fence.b3d");
    o.textures = {CSceneryArt::texturePath(EScenery::Barrier)};
    return o;
}

std::vector<SObjectRecord> CMissionBuilder::items() const
{
    const SCarEntry* player = &design.cars.front();
    for (const SCarEntry& car : design.cars)
        if (car.player)
            player = &car;
    // The good ones lie out towards the edges, one side then the other, where a driver who wants
    // them takes a line for them; the traps lie on the middle lane.
    const float edge = 0.5f * design.width - 1.2f;
    std::vector<SObjectRecord> out;
    const int count = design.items;
    for (int k = 0; k < count; ++k) {
        float s = path.length() * (float(k) + 0.5f) / float(count);
        // Not on a checkpoint nor on the start straight.
        for (int tries = 0; tries < 20; ++tries) {
            bool near = std::fabs(path.delta(0.0f, s)) < CTrackProfile::kLevelStart + 10.0f;
            for (float c : checkpoints)
                near = near || std::fabs(path.delta(c, s)) < 20.0f;
            if (!near)
                break;
            s += 10.0f;
        }
        const SItemKind& kind = kItemKinds[k % 3];
        const bool trap = kind.share < 0.0f;
        SObjectRecord o;
        o.kind = contentkit::EObjectKind::Item;
        char name[16];
        std::snprintf(name, sizeof name, "Item%02d", k + 1);
        o.name = name;
        o.parentName = "";
        o.mesh = CItemArt::meshPath(kind.item);
        // A metre over the ground: a car's body passing under it is within reach.
        o.position = onGround(s, trap ? 0.0f : ((k / 3) % 2 == 0 ? edge : -edge) * (k % 3 == 0 ? 1.0f : -1.0f), 1.0f);
        o.scale = SVec3{1.0f, 1.0f, 1.0f};
        o.boost = std::round(kind.share * (kind.item == EItem::Tyre ? player->maxEngineForce : player->maxVelocity));
        o.effectTime = kind.effectTime;
        o.respawnTime = kind.respawnTime;
        o.itemType = kind.type;
        out.push_back(o);
    }
    return out;
}

std::vector<SObjectRecord> CMissionBuilder::vehicles() const
{
    // Two by two behind the line, the computer cars in front and the player at the back; a
    // rally car alone in the middle.
    struct SSlot {
        float s, lateral;
    };
    const SSlot grid[4] = {{-8.0f, 3.0f}, {-8.0f, -3.0f}, {-16.0f, 3.0f}, {-16.0f, -3.0f}};
    std::vector<SObjectRecord> out;
    size_t slot = 0;
    std::vector<const SCarEntry*> order;
    for (const SCarEntry& car : design.cars)
        if (!car.player)
            order.push_back(&car);
    for (const SCarEntry& car : design.cars)
        if (car.player)
            order.push_back(&car);
    for (const SCarEntry* car : order) {
        const SSlot place = design.rally ? SSlot{-9.0f, 0.0f} : grid[slot++ % 4];
        // Wheels just touching the ground at the suspension's rest length.
        const contentkit::SCarLayout layout = CCarFactory::layout(car->style);
        const float lift = layout.wheelRadius - (layout.connectionHeight - layout.suspensionRestLength) + 0.05f;
        const SVec2 d = path.direction(place.s);
        out.push_back(
            CCarFactory::vehicle(*car, onGround(place.s, place.lateral, lift), std::atan2(d.x, d.y) * kRadToDeg));
    }
    return out;
}

std::vector<std::string> CMissionBuilder::groundTextures() const
{
    const SLandscapeStyle& look = landscape.style();
    return {dataFolder() + "splat.dds", CGroundTextures::path(look.ground), CGroundTextures::path(look.slope),
            CGroundTextures::path(look.track)};
}

SObjectRecord CMissionBuilder::ground() const
{
    SObjectRecord o = solidMesh("Ground", dataFolder() + "ground.b3d");
    o.mapping = "Triplanar";
    o.textures = groundTextures();
    return o;
}

SMission CMissionBuilder::mission() const
{
    SMission m;
    m.shadowType = design.shadowType;
    m.raceType = design.rally ? "Rally" : "Lap";
    m.laps = design.laps;
    m.rallyTimes = design.rallyTimes;
    m.navigation = missionFolder() + "navigation.xml";
    for (int id = 0; id < 3; ++id)
        m.checkpoints.push_back({id, dataFolder() + "checkpoint" + digit(id) + ".b3d"});
    m.objects.push_back(ground());
    CSceneryPlacer placer(design, landscape, path, field, terrain);
    m.objects.push_back(placer.startGate(dataFolder() + "start_gate.b3d"));
    m.objects.push_back(fence());
    for (const SObjectRecord& o : CSceneryPlacer::records(scenery, CGroundTextures::path(landscape.style().rock)))
        m.objects.push_back(o);
    for (const SObjectRecord& o : items())
        m.objects.push_back(o);
    for (const SObjectRecord& o : vehicles())
        m.objects.push_back(o);
    return m;
}

bool CMissionBuilder::write(const std::string& root) const
{
    using contentkit::CB3DWriter;
    using contentkit::CContentFile;
    using contentkit::CMissionWriter;
    const std::string data = root + "/" + dataFolder(), folder = root + "/" + missionFolder();
    bool ok = CB3DWriter::write(data + "ground.b3d", terrain.mesh({dataFolder() + "splat.dds"}));
    ok = CContentFile::writeDds(data + "splat.dds", splat.argb(), CSplatMap::kSize, CSplatMap::kSize, EDF_DXT1) && ok;
    for (int id = 0; id < 3; ++id)
        ok = CB3DWriter::write(data + "checkpoint" + digit(id) + ".b3d", checkpointMesh(checkpoints[size_t(id)])) && ok;
    ok = CB3DWriter::write(data + "start_gate.b3d", CSceneryArt::startGate(design.width)) && ok;
    ok = CB3DWriter::write(data + "fence.b3d", fenceMesh()) && ok;

    ok = CMissionWriter::writeMission(folder + "mission.xml", mission()) && ok;
    ok = CMissionWriter::writePath(folder + "navigation.xml", navigation()) && ok;
    std::vector<std::string> listed;
    const std::vector<std::vector<SVec3>> lanes = aiPaths();
    for (size_t i = 0; i < lanes.size(); ++i) {
        const std::string name = missionFolder() + "ai_" + digit(int(i) + 1) + ".xml";
        ok = CMissionWriter::writePath(root + "/" + name, lanes[i]) && ok;
        listed.push_back(name);
    }
    ok = CMissionWriter::writeWaypoints(folder + "waypoints.xml", listed) && ok;
    return ok;
}

} // namespace missiongen
