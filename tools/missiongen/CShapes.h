#pragma once
// The shapes the scenery, the items and the car bodies are built from, beyond the content kit's
// boxes and cylinders: cones, ellipsoids and lumpy rocks, and ways to turn, move and re-map a
// surface. All keep the content kit's rule that triangles face out.
#include <cstdint>
#include <functional>

#include "tools/contentkit/SMeshData.h"

namespace missiongen {

class CShapes {
public:
    // A cone standing on y = 0 with its tip at `height`, closed underneath.
    static contentkit::SSurface cone(float radius, float height, uint32_t segments = 12);
    // An ellipsoid centred on the origin.
    static contentkit::SSurface ellipsoid(float rx, float ry, float rz, uint32_t rings = 8, uint32_t segments = 12);
    // A rock: an ellipsoid dented by seeded noise, with flat facets, sunk a little below y = 0.
    static contentkit::SSurface rock(uint32_t seed, float rx, float ry, float rz);
    // A wedge: a box whose top face slopes from `frontTop` at +z to `rearTop` at -z.
    static contentkit::SSurface wedge(const contentkit::SVec3& minimum, const contentkit::SVec3& maximum,
                                      float frontTop, float rearTop);

    // A cylinder (the content kit's, axle along X) turned to stand on its axle along Y.
    static contentkit::SSurface upright(const contentkit::SSurface& alongX);
    // Turns the surface by `degrees` about +y, as a scene node's Y rotation does.
    static contentkit::SSurface yawed(const contentkit::SSurface& surface, float degrees);
    // Every vertex moved by `offset`.
    static contentkit::SSurface moved(const contentkit::SSurface& surface, const contentkit::SVec3& offset);
    // The texture coordinates squeezed into the atlas cell (u0, v0)-(u1, v1).
    static contentkit::SSurface mapped(const contentkit::SSurface& surface, float u0, float v0, float u1, float v1);
    // Texture coordinates projected from the side: u round the Y axis, v down from `top`.
    static contentkit::SSurface wrapped(const contentkit::SSurface& surface, float top, float metresPerV);
    // One vertex per triangle corner with the triangle's own normal: a faceted look.
    static contentkit::SSurface faceted(const contentkit::SSurface& surface);
    // Applies `move` to every position and `turn` to every normal.
    static contentkit::SSurface transformed(const contentkit::SSurface& surface,
                                            const std::function<contentkit::SVec3(const contentkit::SVec3&)>& move,
                                            const std::function<contentkit::SVec3(const contentkit::SVec3&)>& turn);
};

} // namespace missiongen
