#pragma once
// The eight missions of the game, from the gentle first dune race to the last mountain pass.
// Every track's shape, landscape, rules and cars are set here and nowhere else.
#include <vector>

#include "tools/missiongen/STrackDesign.h"

namespace missiongen {

class CTrackCatalogue {
public:
    static const std::vector<STrackDesign>& designs();
};

} // namespace missiongen
