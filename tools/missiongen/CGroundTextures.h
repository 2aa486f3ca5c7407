#pragma once
// The ground's detail textures, painted from recipes: sand, rock, grass, snow and the track
// surfaces. Every one tiles seamlessly (the splatting repeats it across the whole ground and
// up the canyon walls).
#include <string>
#include <vector>

#include "tools/paint/CCanvas.h"

namespace missiongen {

class CGroundTextures {
public:
    static constexpr int kSize = 512;

    // True when a recipe of that name exists.
    static bool knows(const std::string& name);
    // The painted texture; a name without a recipe gives a plain grey one.
    static paint::CCanvas paint(const std::string& name);
    // Where the game finds it.
    static std::string path(const std::string& name);
};

} // namespace missiongen
