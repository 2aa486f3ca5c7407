#pragma once
// What every mesh file we write must satisfy so that the engine library loads it whole: the
// loaders keep 16-bit indices, so no surface may have more vertices than those can number.
#include <cstdint>
#include <string>

#include "tools/contentkit/SMeshData.h"

namespace contentkit {

class CMeshCheck {
public:
    static constexpr uint32_t kMaxSurfaceVertices = 65535;

    // Prints an "ERROR: " line naming `file` for the first fault found.
    static bool check(const SMesh& mesh, const std::string& file);
};

} // namespace contentkit
