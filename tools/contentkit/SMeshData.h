#pragma once
// Plain mesh records the content writers take. Coordinates are the game's: +y up, +z the front
// of a car, triangles wound so that (b - a) x (c - a) points out of the front face, which is the
// side the engine library draws.
#include <cstdint>
#include <string>
#include <vector>

namespace contentkit {

struct SVec2 {
    float x = 0.0f, y = 0.0f;
};

struct SVec3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

struct SColour {
    uint8_t r = 255, g = 255, b = 255, a = 255;
};

struct SVertex {
    SVec3 position;
    SVec3 normal;
    SVec2 uv;        // texture coordinates as the engine library uses them (v grows downwards)
    SColour colour;  // written only by meshes that carry vertex colours
};

// One material of a mesh: a B3D brush, an OBJ material group, one mesh buffer after loading.
struct SSurface {
    std::string name;
    std::vector<std::string> textures; // paths relative to the game's working directory
    SColour colour;                    // the material's colour
    std::vector<SVertex> vertices;
    std::vector<uint32_t> indices;     // three per triangle, into this surface's vertices
};

struct SMesh {
    std::vector<SSurface> surfaces;
    bool vertexColours = false;
};

// A vertex of the body that follows a joint.
struct SWeight {
    uint32_t surface = 0;
    uint32_t vertex = 0;
    float strength = 1.0f;
};

// A named joint below the body's root, at `position` in the mesh's own coordinates.
struct SJoint {
    std::string name;
    SVec3 position;
    std::vector<SWeight> weights;
};

// An animated body: the mesh hangs on the root node, each joint is a child of the root.
struct SSkinnedMesh {
    std::string rootName = "body";
    SMesh mesh;
    std::vector<SJoint> joints;
};

} // namespace contentkit
