#pragma once
// The track's centre line: a smooth closed curve through the design's control points, measured
// by arc length s from the start line (s = 0 at control point 0, growing in driving order).
#include <vector>

#include "tools/contentkit/SMeshData.h"

namespace missiongen {

class CTrackPath {
public:
    // A centripetal Catmull-Rom loop (no cusps or loops between close points), resampled every
    // metre or so.
    explicit CTrackPath(const std::vector<contentkit::SVec2>& controlPoints);

    float length() const { return totalLength; }
    // s is taken round the loop, so any value is valid.
    contentkit::SVec2 point(float s) const;
    contentkit::SVec2 direction(float s) const; // unit tangent, in driving order
    contentkit::SVec2 left(float s) const;      // unit normal to the left of the driving direction
    // Radius of the bend at s (large on straights).
    float radius(float s) const;
    // s taken into [0, length).
    float wrap(float s) const;
    // The shorter way round the loop from a to b, signed.
    float delta(float a, float b) const;

    const std::vector<contentkit::SVec2>& samples() const { return points; }
    float spacing() const { return step; }

private:
    std::vector<contentkit::SVec2> points; // evenly spaced, points[k] at s = k * step
    float step = 1.0f;
    float totalLength = 0.0f;
};

} // namespace missiongen
