#include "tools/missiongen/CTerrain.h"

#include <algorithm>
#include <cmath>

#include "tools/contentkit/CMeshBuilder.h"
#include "tools/paint/ParallelRows.h"
#include "tools/paint/SColour.h"

namespace missiongen {

using paint::smoothstep;

namespace {

// Where two stretches of track pass close by, the ground between them leans from one to the
// other over this distance; beyond it each stretch keeps its own height.
const float kMeet = 8.0f;

} // namespace

float CTerrain::core() const { return trackHalf + look.shoulder; }
float CTerrain::reach() const { return core() + look.bank; }

CTerrain::CTerrain(const CLandscape& landscape, const CTrackField& field, float size, float trackWidth) :
    extent(size), count(uint32_t(std::lround(size / kCell))), trackHalf(0.5f * trackWidth), look(landscape.style())
{
    const uint32_t row = count + 1;
    heights.resize(size_t(row) * row);
    const float inner = core(), outer = reach();
    paint::parallelRows(0, int(row), [&](int r) {
        const float z = -0.5f * extent + extent * float(r) / float(count);
        for (uint32_t c = 0; c < row; ++c) {
            const float x = -0.5f * extent + extent * float(c) / float(count);
            const float land = landscape.height(x, z);
            STrackNear other;
            const STrackNear near = field.nearest(x, z, &other, 2.5f * outer);
            float h = land;
            if (near.found) {
                float target = near.height;
                if (other.found) {
                    const float own = 0.5f + 0.5f * smoothstep(0.0f, kMeet, other.distance - near.distance);
                    target = own * near.height + (1.0f - own) * other.height;
                }
                const float hold = 1.0f - smoothstep(inner, outer, near.distance);
                h = land + hold * (target - land);
            }
            heights[size_t(r) * row + c] = h;
        }
    });
}

float CTerrain::gridHeight(int64_t column, int64_t row) const
{
    column = std::clamp<int64_t>(column, 0, count);
    row = std::clamp<int64_t>(row, 0, count);
    return heights[size_t(row) * (count + 1) + size_t(column)];
}

float CTerrain::height(float x, float z) const
{
    const float gx = std::clamp((x + 0.5f * extent) / extent * float(count), 0.0f, float(count));
    const float gz = std::clamp((z + 0.5f * extent) / extent * float(count), 0.0f, float(count));
    const int64_t c = std::min<int64_t>(int64_t(gx), count - 1), r = std::min<int64_t>(int64_t(gz), count - 1);
    const float u = gx - float(c), v = gz - float(r);
    const float h00 = gridHeight(c, r), h10 = gridHeight(c + 1, r);
    const float h01 = gridHeight(c, r + 1), h11 = gridHeight(c + 1, r + 1);
    // The mesh cuts each cell from (c + 1, r) to (c, r + 1).
    if (u + v <= 1.0f)
        return h00 + (h10 - h00) * u + (h01 - h00) * v;
    return h11 + (h01 - h11) * (1.0f - u) + (h10 - h11) * (1.0f - v);
}

contentkit::SVec3 CTerrain::normal(float x, float z) const
{
    const float e = 0.5f * kCell;
    const float dx = (height(x + e, z) - height(x - e, z)) / (2.0f * e);
    const float dz = (height(x, z + e) - height(x, z - e)) / (2.0f * e);
    const float length = std::sqrt(dx * dx + 1.0f + dz * dz);
    return {-dx / length, 1.0f / length, -dz / length};
}

contentkit::SMesh CTerrain::mesh(const std::vector<std::string>& textures) const
{
    return contentkit::CMeshBuilder::heightGrid(extent, extent, count, count, extent, heights, textures);
}

} // namespace missiongen
