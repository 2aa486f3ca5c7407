#pragma once
// The splat map of a mission's ground: per texel, how much of each of the three detail
// textures shows (red: the open ground, green: steep and patchy ground, blue: the track). It
// spans the whole ground as the ground mesh's texture coordinates do: row 0 is the +z edge,
// column 0 the -x edge. The three weights of a texel add up to one.
#include <array>
#include <cstdint>
#include <vector>

#include "tools/missiongen/CTerrain.h"
#include "tools/missiongen/CTrackField.h"

namespace missiongen {

class CSplatMap {
public:
    static constexpr int kSize = 1024;

    CSplatMap(const CTerrain& terrain, const CTrackField& field, const SLandscapeStyle& style, uint32_t seed);

    // Weights at world point (x, z), bilinear between texels.
    std::array<float, 3> weights(float x, float z) const;
    // The texels as 0xAARRGGBB, row by row from the top.
    std::vector<uint32_t> argb() const;

private:
    float extent;
    std::vector<std::array<float, 3>> texels;
};

} // namespace missiongen
