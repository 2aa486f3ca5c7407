#include "tools/missiongen/CSplatMap.h"

#include <algorithm>
#include <cmath>

#include "tools/paint/CNoise.h"
#include "tools/paint/ParallelRows.h"
#include "tools/paint/SColour.h"

namespace missiongen {

using paint::smoothstep;

namespace {

uint32_t channel(float w) { return uint32_t(std::lround(std::clamp(w, 0.0f, 1.0f) * 255.0f)); }

} // namespace

CSplatMap::CSplatMap(const CTerrain& terrain, const CTrackField& field, const SLandscapeStyle& style, uint32_t seed) :
    extent(terrain.size()), texels(size_t(kSize) * kSize)
{
    const paint::CNoise noise(seed ^ 0x5EEDu);
    const float half = terrain.halfWidth(), core = terrain.core();
    paint::parallelRows(0, kSize, [&](int row) {
        const float z = 0.5f * extent - (float(row) + 0.5f) / kSize * extent;
        for (int column = 0; column < kSize; ++column) {
            const float x = -0.5f * extent + (float(column) + 0.5f) / kSize * extent;
            // The track: a ragged edge, and wheel-worn ground along the shoulders.
            float track = 0.0f;
            const STrackNear near = field.nearest(x, z);
            if (near.found) {
                const float ragged = 1.2f * (noise.fbm(x / 6.0f, z / 6.0f, 2) - 0.5f);
                track = 1.0f - smoothstep(half - 0.6f + ragged, half + 0.9f + ragged, near.distance);
                const float worn = 1.0f - smoothstep(half, core + 1.0f, near.distance);
                track = std::max(track, worn * 0.45f * noise.fbm(x / 3.0f, z / 3.0f, 2));
            }
            // Steep ground shows the slope texture, and so do patches of the open ground.
            const contentkit::SVec3 n = terrain.normal(x, z);
            const float steep = std::sqrt(std::max(0.0f, 1.0f - n.y * n.y)) / std::max(n.y, 0.05f);
            float slope = smoothstep(0.7f * style.slopeRock, 1.3f * style.slopeRock, steep);
            slope = std::max(slope, smoothstep(0.62f, 0.78f, noise.fbm(x / 40.0f + 300.0f, z / 40.0f, 4)));
            texels[size_t(row) * kSize + size_t(column)] = {(1.0f - track) * (1.0f - slope), (1.0f - track) * slope,
                                                            track};
        }
    });
}

std::array<float, 3> CSplatMap::weights(float x, float z) const
{
    const float gx = std::clamp((x + 0.5f * extent) / extent * kSize - 0.5f, 0.0f, float(kSize - 1));
    const float gy = std::clamp((0.5f * extent - z) / extent * kSize - 0.5f, 0.0f, float(kSize - 1));
    const int c = std::min(int(gx), kSize - 2), r = std::min(int(gy), kSize - 2);
    const float u = gx - float(c), v = gy - float(r);
    std::array<float, 3> w{};
    for (int k = 0; k < 3; ++k) {
        const float a = texels[size_t(r) * kSize + size_t(c)][size_t(k)];
        const float b = texels[size_t(r) * kSize + size_t(c + 1)][size_t(k)];
        const float d = texels[size_t(r + 1) * kSize + size_t(c)][size_t(k)];
        const float e = texels[size_t(r + 1) * kSize + size_t(c + 1)][size_t(k)];
        w[size_t(k)] = (a + (b - a) * u) + ((d + (e - d) * u) - (a + (b - a) * u)) * v;
    }
    return w;
}

std::vector<uint32_t> CSplatMap::argb() const
{
    std::vector<uint32_t> out(texels.size());
    for (size_t i = 0; i < texels.size(); ++i)
        out[i] = 0xFF000000u | channel(texels[i][0]) << 16 | channel(texels[i][1]) << 8 | channel(texels[i][2]);
    return out;
}

} // namespace missiongen
