#include "race/PathCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "race/CWaypoint.h"

using namespace irr;

namespace {

// The game's paths keep within a few units of the navigation path, one point some 14 units from
// the next, with no step much longer than the others.
const int kFewest = 3;
const f32 kOffTrack = 50.0f;
const f32 kLongestStep = 40.0f;
const f32 kStepsPerMedian = 4.0f;
const f32 kShortestRound = 100.0f;

template <typename... Values>
std::string said(const char* format, Values... values)
{
    char text[160];
    std::snprintf(text, sizeof(text), format, values...);
    return text;
}

} // namespace

std::string pathFault(const std::vector<core::vector2df>& path, const std::vector<CWaypoint*>& navigation)
{
    const int count = static_cast<int>(path.size());
    if (count < kFewest)
        return said("holds %d waypoint%s; a computer car's path needs three at least", count, count == 1 ? "" : "s");

    if (navigation.size() >= 2) {
        for (int i = 0; i < count; ++i) {
            f32 nearest2 = INFINITY;
            for (const CWaypoint* point : navigation) {
                const core::vector2df to(point->getX() - path[i].X, point->getZ() - path[i].Y);
                nearest2 = std::min(nearest2, to.getLengthSQ());
            }
            if (nearest2 > kOffTrack * kOffTrack)
                return said("has waypoint %d %.0f units off the track", i, static_cast<double>(std::sqrt(nearest2)));
        }
    }

    // Step i leads to point i; step 0 closes the loop from the last point.
    std::vector<f32> steps(count);
    for (int i = 0; i < count; ++i)
        steps[i] = (path[i] - path[(i + count - 1) % count]).getLength();
    std::vector<f32> sorted = steps;
    std::nth_element(sorted.begin(), sorted.begin() + count / 2, sorted.end());
    const f32 longest = std::max(kLongestStep, kStepsPerMedian * sorted[count / 2]);
    for (int i = 1; i < count; ++i) {
        if (steps[i] > longest)
            return said("has waypoint %d %.0f units from the one before: its points are out of order",
                        i, static_cast<double>(steps[i]));
    }
    if (steps[0] > longest)
        return said("ends %.0f units from where it starts: it is cut short", static_cast<double>(steps[0]));
    f32 round = 0.0f;
    for (f32 step : steps)
        round += step;
    if (round < kShortestRound)
        return said("goes round in %.0f units: no track is that short", static_cast<double>(round));
    return std::string();
}
