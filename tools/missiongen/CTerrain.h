#pragma once
// The mission's ground: one height grid at its final size (a "Triplanar" ground is never scaled),
// the landscape with the track cut into it. Heights between the grid points are read off the
// very triangles the mesh is made of, so what stands on it here stands on it in the game.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/contentkit/SMeshData.h"
#include "tools/missiongen/CLandscape.h"
#include "tools/missiongen/CTrackField.h"

namespace missiongen {

class CTerrain {
public:
    CTerrain(const CLandscape& landscape, const CTrackField& field, float size, float trackWidth);

    float size() const { return extent; }
    // Ground height and unit normal at (x, z); outside the grid, its nearest edge.
    float height(float x, float z) const;
    contentkit::SVec3 normal(float x, float z) const;
    // The ground mesh, its texture coordinates spanning 0 to 1 over the whole grid (for the
    // splat map; image row 0 is the +z edge, column 0 the -x edge).
    contentkit::SMesh mesh(const std::vector<std::string>& textures) const;

    float halfWidth() const { return trackHalf; }
    float core() const;  // distance from the centre line over which the ground is the track's
    float reach() const; // distance beyond which the track leaves the landscape alone

    static constexpr float kCell = 2.5f;

private:
    float gridHeight(int64_t column, int64_t row) const;

    float extent;
    uint32_t count;
    float trackHalf;
    SLandscapeStyle look;
    std::vector<float> heights;
};

} // namespace missiongen
