#pragma once
// Writes Wavefront ".obj" meshes with their ".mtl" material file so that the engine library's
// OBJ loader produces the mesh we meant: that loader mirrors X, turns the texture's V upside
// down and reverses each face's corner order, so the file holds -x, 1 - v and reversed corners.
//
// Each surface becomes one material and so one mesh buffer. An OBJ material has one colour
// texture: only a surface's first texture is written (with a "Warning: " line when it has more),
// and vertex colours are not part of the format. The loader merges equal vertices.
#include <string>

#include "tools/contentkit/SMeshData.h"

namespace contentkit {

struct SOBJText {
    std::string obj;
    std::string mtl;
};

class COBJWriter {
public:
    // `materialFile` is the name the ".obj" gives for its ".mtl" (the loader also looks next to
    // the ".obj"). False, with an "ERROR: " line naming `label`, for a mesh that would not load.
    static bool encode(const SMesh& mesh, const std::string& materialFile, SOBJText& text,
                       const std::string& label = "OBJ mesh");

    // Writes `file` and, beside it, the material file of the same name ending in ".mtl".
    static bool write(const std::string& file, const SMesh& mesh);
};

} // namespace contentkit
