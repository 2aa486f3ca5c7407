#include "tools/missiongen/CSceneryPlacer.h"

#include <cmath>
#include <cstdio>

#include "tools/audiogen/CRandom.h"
#include "tools/missiongen/CTrackProfile.h"

namespace missiongen {

using contentkit::SObjectRecord;
using contentkit::SVec2;
using contentkit::SVec3;

namespace {

const float kRadToDeg = 57.2957795f;

EScenery treeOf(ETree tree)
{
    switch (tree) {
    case ETree::Cactus: return EScenery::Cactus;
    case ETree::Pine: return EScenery::Pine;
    case ETree::SnowPine: return EScenery::SnowPine;
    case ETree::Broadleaf: return EScenery::Broadleaf;
    case ETree::Acacia: return EScenery::Acacia;
    case ETree::None: break;
    }
    return EScenery::RockA;
}

const char* labelOf(EScenery kind)
{
    switch (kind) {
    case EScenery::RockA:
    case EScenery::RockB:
    case EScenery::RockC: return "Rock";
    case EScenery::Barrier: return "Barrier";
    case EScenery::Flag: return "Flag";
    case EScenery::Cactus: return "Cactus";
    default: break;
    }
    return "Tree";
}

} // namespace

CSceneryPlacer::CSceneryPlacer(const STrackDesign& trackDesign, const CLandscape& land, const CTrackPath& trackPath,
                               const CTrackField& trackField, const CTerrain& ground) :
    design(trackDesign),
    landscape(land), path(trackPath), field(trackField), terrain(ground)
{
}

float CSceneryPlacer::alongTrack(float s) const
{
    const SVec2 d = path.direction(s);
    // A yaw of a turns +x to (cos a, -sin a).
    return std::atan2(-d.y, d.x) * kRadToDeg;
}

bool CSceneryPlacer::clear(const std::vector<SPlacement>& placed, float x, float z, float gap) const
{
    for (const SPlacement& p : placed)
        if (std::hypot(p.position.x - x, p.position.z - z) < gap)
            return false;
    return true;
}

void CSceneryPlacer::scatter(std::vector<SPlacement>& out, EScenery kind, int count, float nearest, uint32_t salt) const
{
    CRandom random(uint64_t(design.seed) * 7919u + salt);
    const float limit = 0.5f * terrain.size() - 60.0f;
    const bool rock = CSceneryArt::isRock(kind);
    int placed = 0;
    for (int attempt = 0; attempt < count * 30 && placed < count; ++attempt) {
        float x, z;
        if (random.chance(0.6)) {
            // Most beside the track, where the player sees them go by.
            const float s = float(random.uniform()) * path.length();
            const float side = random.chance(0.5) ? 1.0f : -1.0f;
            const float away = nearest + float(random.uniform()) * 35.0f;
            const SVec2 c = path.point(s), l = path.left(s);
            x = c.x + side * away * l.x;
            z = c.y + side * away * l.y;
        } else {
            x = float(random.uniform() * 2.0 - 1.0) * limit;
            z = float(random.uniform() * 2.0 - 1.0) * limit;
        }
        const float yaw = float(random.uniform()) * 360.0f;
        const float scale = rock ? 0.6f + 1.0f * float(random.uniform()) : 0.8f + 0.5f * float(random.uniform());
        if (std::fabs(x) > limit || std::fabs(z) > limit)
            continue;
        const STrackNear near = field.nearest(x, z);
        if (near.found && near.distance < nearest)
            continue;
        if (terrain.normal(x, z).y < 0.8f)
            continue;
        // Keep the grid and the gate open.
        const SVec2 start = path.point(0.0f);
        if (std::hypot(x - start.x, z - start.y) < terrain.core() + 25.0f)
            continue;
        if (!clear(out, x, z, rock ? 4.0f : 5.5f))
            continue;
        out.push_back({kind, {x, terrain.height(x, z) - 0.15f, z}, yaw, scale});
        ++placed;
    }
}

void CSceneryPlacer::barriers(std::vector<SPlacement>& out) const
{
    // The apex of every bend tighter than 70 m gets a short tyre wall on its outside.
    const float step = 4.0f;
    const int n = int(path.length() / step);
    std::vector<float> radius(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        radius[size_t(i)] = path.radius(float(i) * step);
    // Well beyond the shoulder: a wall for a car that runs wide, never in the way of one that
    // keeps to the track.
    const float offset = terrain.core() + 5.0f;
    for (int i = 0; i < n; ++i) {
        const float r = radius[size_t(i)];
        if (r >= 70.0f || r > radius[size_t((i + 1) % n)] || r > radius[size_t((i + n - 1) % n)])
            continue;
        const float s = float(i) * step;
        if (std::fabs(path.delta(0.0f, s)) < CTrackProfile::kLevelStart + 20.0f)
            continue;
        // A left turn swings the direction towards the left: the outside is on the right.
        const SVec2 a = path.direction(s - 6.0f), b = path.direction(s + 6.0f);
        const float outside = a.x * b.y - a.y * b.x > 0.0f ? -1.0f : 1.0f;
        for (float along : {-9.0f, 0.0f, 9.0f}) {
            const SVec2 c = path.point(s + along), l = path.left(s + along);
            const float x = c.x + outside * offset * l.x, z = c.y + outside * offset * l.y;
            if (!clear(out, x, z, 3.0f))
                continue;
            // Never where another stretch of track runs close by.
            STrackNear other;
            field.nearest(x, z, &other, 60.0f);
            if (other.found && other.distance < terrain.core() + 6.0f)
                continue;
            out.push_back({EScenery::Barrier, {x, terrain.height(x, z), z}, alongTrack(s + along), 1.0f});
        }
    }
}

std::vector<SPlacement> CSceneryPlacer::place(const std::vector<float>& checkpoints) const
{
    std::vector<SPlacement> out;
    barriers(out);
    const float flagOffset = terrain.halfWidth() + landscape.style().shoulder + 1.0f;
    for (float s : checkpoints) {
        for (float side : {-1.0f, 1.0f}) {
            const SVec2 c = path.point(s), l = path.left(s);
            const float x = c.x + side * flagOffset * l.x, z = c.y + side * flagOffset * l.y;
            out.push_back(
                {EScenery::Flag, {x, terrain.height(x, z), z}, alongTrack(s) + (side > 0.0f ? 180.0f : 0.0f), 1.0f});
        }
    }
    const SLandscapeStyle& look = landscape.style();
    const float nearest = terrain.core() + 6.0f;
    if (look.tree != ETree::None)
        scatter(out, treeOf(look.tree), look.trees, nearest + 1.0f, 1);
    const EScenery rocks[3] = {EScenery::RockA, EScenery::RockB, EScenery::RockC};
    for (int k = 0; k < 3; ++k)
        scatter(out, rocks[k], (look.rocks + 2 - k) / 3, nearest, uint32_t(2 + k));
    return out;
}

std::vector<SObjectRecord> CSceneryPlacer::records(const std::vector<SPlacement>& placements,
                                                   const std::string& rockTexture)
{
    std::vector<SObjectRecord> out;
    int number = 0;
    for (const SPlacement& p : placements) {
        char name[32];
        std::snprintf(name, sizeof name, "%s%03d", labelOf(p.kind), ++number);
        SObjectRecord o;
        o.kind = contentkit::EObjectKind::StaticObject;
        o.name = name;
        o.parentName = "NULL";
        o.displayName = labelOf(p.kind);
        o.mesh = CSceneryArt::meshPath(p.kind);
        o.position = p.position;
        o.rotation = SVec3{0.0f, p.yaw, 0.0f};
        o.scale = SVec3{p.scale, p.scale, p.scale};
        o.transparent = 0;
        o.textures = {CSceneryArt::isRock(p.kind) ? rockTexture : CSceneryArt::texturePath(p.kind)};
        o.physic =
            contentkit::SPhysicRecord{"MESH", CSceneryArt::collisionPath(p.kind), {p.scale, p.scale, p.scale}, 0.0f};
        out.push_back(o);
    }
    return out;
}

SObjectRecord CSceneryPlacer::startGate(const std::string& meshPath) const
{
    const SVec2 c = path.point(0.0f), d = path.direction(0.0f);
    SObjectRecord o;
    o.kind = contentkit::EObjectKind::StaticObject;
    o.name = "StartGate";
    o.parentName = "NULL";
    o.displayName = "Start";
    o.mesh = meshPath;
    o.position = SVec3{c.x, terrain.height(c.x, c.y), c.y};
    // The gate spans its own X axis: turn its +z along the track.
    o.rotation = SVec3{0.0f, std::atan2(d.x, d.y) * kRadToDeg, 0.0f};
    o.scale = SVec3{1.0f, 1.0f, 1.0f};
    o.transparent = 0;
    o.textures = {CSceneryArt::startGateTexturePath()};
    o.physic = contentkit::SPhysicRecord{"MESH", meshPath, {1.0f, 1.0f, 1.0f}, 0.0f};
    return o;
}

} // namespace missiongen
