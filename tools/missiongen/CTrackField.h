#pragma once
// Where the track is, seen from any point of the ground: the nearest point of the centre line,
// and the nearest point of any other stretch of track within reach (where two stretches pass
// close by, the ground between them must meet both).
#include <vector>

#include "tools/missiongen/CTrackPath.h"
#include "tools/missiongen/CTrackProfile.h"

namespace missiongen {

struct STrackNear {
    bool found = false; // a centre-line point lies within the asked radius
    float distance = 0.0f;
    float s = 0.0f;      // where along the track
    float height = 0.0f; // the track's height there
    float side = 0.0f;   // > 0 when the point lies left of the driving direction
};

class CTrackField {
public:
    CTrackField(const CTrackPath& path, const CTrackProfile& profile, float reach);

    // The nearest stretch within `reach`; `other` gets the nearest point of a different stretch
    // (more than `apart` of track away from the first), when there is one within reach.
    STrackNear nearest(float x, float z, STrackNear* other = nullptr, float apart = 0.0f) const;

private:
    struct SSegment {
        contentkit::SVec2 a, b;
        float sa = 0.0f, length = 0.0f;
    };

    const CTrackPath& path;
    const CTrackProfile& profile;
    float reach;
    float cell;
    int cellsPerSide = 0;
    float origin = 0.0f;
    std::vector<SSegment> segments;
    std::vector<std::vector<int>> buckets; // segment indices per grid cell
};

} // namespace missiongen
