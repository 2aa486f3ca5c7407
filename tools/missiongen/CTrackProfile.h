#pragma once
// The height of the track along its centre line: the landscape's wish, smoothed, with every climb
// held to the design's steepest grade and the start straight level, so the cars stand square on
// the grid and every slope is one a car can take.
#include <vector>

#include "tools/missiongen/CLandscape.h"
#include "tools/missiongen/CTrackPath.h"

namespace missiongen {

class CTrackProfile {
public:
    CTrackProfile(const CTrackPath& path, const CLandscape& landscape, float maxGrade);

    // Height of the track at s (round the loop).
    float height(float s) const;

    static constexpr float kLevelStart = 60.0f; // the track is level this far either side of the line

private:
    const CTrackPath& path;
    std::vector<float> heights; // every `step` along the path
    float step = 2.0f;
};

} // namespace missiongen
