#pragma once
// Writes ".b3d" meshes as the engine library's B3D loader reads them: a static mesh (one brush
// and one mesh buffer per surface) or an animated body whose named joints, children of the
// root node, carry the weighted vertices that follow them (the car's suspension parts).
//
// The loader keeps only the vertices that triangles use, in the order of first use; the writer
// lays the vertices out that way itself, so a surface whose triangles use its vertices in order
// loads with exactly the vertices it was given.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/contentkit/SMeshData.h"

namespace contentkit {

class CB3DWriter {
public:
    // The file's bytes, or nothing (with an "ERROR: " line naming `label`) for a mesh that would
    // not load whole. A mesh without surfaces gives a valid file of a node without geometry.
    static std::vector<uint8_t> encode(const SMesh& mesh, const std::string& rootName = "mesh",
                                       const std::string& label = "B3D mesh");
    static std::vector<uint8_t> encode(const SSkinnedMesh& body, const std::string& label = "B3D mesh");

    static bool write(const std::string& file, const SMesh& mesh, const std::string& rootName = "mesh");
    static bool write(const std::string& file, const SSkinnedMesh& body);
};

} // namespace contentkit
