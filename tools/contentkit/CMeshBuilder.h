#pragma once
// Basic shapes for the game's content, in the game's coordinates (+y up), wound so that the
// engine library draws their outsides.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/contentkit/SMeshData.h"

namespace contentkit {

class CMeshBuilder {
public:
    // A flat ground on y = 0 centred on the origin, `cellsX` by `cellsZ` cells, the texture
    // repeating every `metresPerTile`. Split into strips of surfaces so that no surface has more
    // vertices than a mesh buffer holds; every surface gets `textures`. An impossible grid (no
    // cells, or a single row of vertices too long for one buffer) gives an empty mesh and an
    // "ERROR: " line.
    static SMesh groundGrid(float sizeX, float sizeZ, uint32_t cellsX, uint32_t cellsZ, float metresPerTile,
                            const std::vector<std::string>& textures = {});

    // The same grid lifted to `heights`: (cellsX + 1) * (cellsZ + 1) values, row by row from the
    // -z edge, each row from the -x edge. Normals follow the slopes. A height list of the wrong
    // size gives an empty mesh and an "ERROR: " line.
    static SMesh heightGrid(float sizeX, float sizeZ, uint32_t cellsX, uint32_t cellsZ, float metresPerTile,
                            const std::vector<float>& heights, const std::vector<std::string>& textures = {});

    // A closed box between two opposite corners, each face carrying the whole texture upright.
    static SSurface box(const SVec3& minimum, const SVec3& maximum);

    // A closed cylinder centred on the origin with its axle along X: a wheel or a tyre.
    static SSurface cylinder(float radius, float width, uint32_t segments = 24);

    // A closed box standing on `base`: `width` across the track (its own X), `height` up and
    // `depth` along the track, turned by `yawDegrees` about +y as a scene node's Y rotation
    // turns (90 degrees takes +z to +x). Checkpoint meshes are in world coordinates.
    static SSurface gate(const SVec3& base, float width, float height, float depth, float yawDegrees);

    // Appends `part`, moved by `offset`, to `target`.
    static void append(SSurface& target, const SSurface& part, const SVec3& offset = {});

    // Appends a vertex to `surface` and returns its index.
    static uint32_t vertex(SSurface& surface, const SVec3& position, const SVec3& normal, const SVec2& uv);

    // Adds triangle (a, b, c) of `surface`'s vertices, reversed when needed so that its front
    // faces `facing`.
    static void addTriangle(SSurface& surface, uint32_t a, uint32_t b, uint32_t c, const SVec3& facing);
};

} // namespace contentkit
