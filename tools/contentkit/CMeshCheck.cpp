#include "tools/contentkit/CMeshCheck.h"

#include <cmath>
#include <cstdio>

namespace contentkit {

namespace {
bool finite(const SVec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
} // namespace

bool CMeshCheck::check(const SMesh& mesh, const std::string& file)
{
    for (size_t s = 0; s < mesh.surfaces.size(); ++s) {
        const SSurface& surface = mesh.surfaces[s];
        const char* name = surface.name.c_str();
        if (surface.vertices.size() > kMaxSurfaceVertices) {
            printf("ERROR: \"%s\": surface %zu \"%s\" has %zu vertices, more than a mesh buffer holds (%u)\n",
                   file.c_str(), s, name, surface.vertices.size(), kMaxSurfaceVertices);
            return false;
        }
        if (surface.indices.size() % 3 != 0) {
            printf("ERROR: \"%s\": surface %zu \"%s\" has %zu indices, not whole triangles\n", file.c_str(), s,
                   name, surface.indices.size());
            return false;
        }
        for (uint32_t index : surface.indices) {
            if (index >= surface.vertices.size()) {
                printf("ERROR: \"%s\": surface %zu \"%s\" uses vertex %u of %zu\n", file.c_str(), s, name, index,
                       surface.vertices.size());
                return false;
            }
        }
        for (const SVertex& vertex : surface.vertices) {
            if (!finite(vertex.position) || !finite(vertex.normal) || !std::isfinite(vertex.uv.x) ||
                !std::isfinite(vertex.uv.y)) {
                printf("ERROR: \"%s\": surface %zu \"%s\" has a vertex that is not finite\n", file.c_str(), s, name);
                return false;
            }
        }
    }
    return true;
}

} // namespace contentkit
