#include "tools/missiongen/CTrackProfile.h"

#include <algorithm>
#include <cmath>

#include "tools/paint/SColour.h"

namespace missiongen {

using paint::smoothstep;

namespace {

// A moving average round the loop over `window` samples (odd).
std::vector<float> smoothed(const std::vector<float>& h, int window)
{
    const int n = int(h.size()), half = window / 2;
    std::vector<float> out(h.size());
    for (int i = 0; i < n; ++i) {
        double sum = 0.0;
        for (int k = -half; k <= half; ++k)
            sum += h[size_t(((i + k) % n + n) % n)];
        out[size_t(i)] = float(sum / window);
    }
    return out;
}

// Holds every step's rise to `most`, round the loop. A step that climbs too fast is cut down on
// its high side, unless that side is `locked` (the level start), where the low side is filled
// up to it instead.
void limitGrade(std::vector<float>& h, float most, std::vector<bool> locked)
{
    const size_t n = h.size();
    auto settle = [&](size_t a, size_t b) { // a and b neighbours
        float& ha = h[a];
        float& hb = h[b];
        if (ha > hb + most) {
            if (locked[a] && !locked[b]) {
                // A filled sample is held too, so the fill spreads outwards until it meets
                // ground high enough.
                hb = ha - most;
                locked[b] = true;
            } else {
                ha = hb + most;
            }
            return true;
        }
        return false;
    };
    for (int pass = 0; pass < 200; ++pass) {
        bool changed = false;
        for (size_t i = 0; i < 2 * n; ++i)
            changed = settle(i % n, (i + n - 1) % n) | changed;
        for (size_t i = 2 * n; i-- > 0;)
            changed = settle(i % n, (i + 1) % n) | changed;
        if (!changed)
            return;
    }
}

} // namespace

CTrackProfile::CTrackProfile(const CTrackPath& trackPath, const CLandscape& landscape, float maxGrade) : path(trackPath)
{
    const size_t n = std::max<size_t>(8, size_t(std::lround(path.length() / step)));
    step = path.length() / float(n);
    std::vector<float> h(n);
    for (size_t i = 0; i < n; ++i) {
        const contentkit::SVec2 p = path.point(float(i) * step);
        h[i] = landscape.roadBase(p.x, p.y);
    }
    h = smoothed(smoothed(h, 41), 41);
    const std::vector<bool> none(n, false);
    limitGrade(h, 0.95f * maxGrade * step, none);

    // Level the start: the grid and the line share one height, a little beyond where the final
    // smoothing reaches.
    const float level = h[0];
    std::vector<bool> locked(n);
    for (size_t i = 0; i < n; ++i) {
        const float away = std::fabs(path.delta(0.0f, float(i) * step));
        const float keep = smoothstep(kLevelStart + 10.0f, kLevelStart + 50.0f, away);
        h[i] = level + (h[i] - level) * keep;
        locked[i] = away <= kLevelStart + 10.0f;
    }
    // Limiting mostly cuts crests down; a little under the grade, so the final smoothing (which
    // never steepens) leaves room. Again after levelling, whose blend may be steep where the
    // land rises fast beside the start: there the level stays and the land gives way.
    limitGrade(h, 0.95f * maxGrade * step, locked);
    // Rounded crests: over about 60 m a climb turns into a descent, so a car at speed keeps
    // its wheels on the ground (it leaves it where the crest bends down faster than gravity).
    h = smoothed(h, 31);
    heights = std::move(h);
}

float CTrackProfile::height(float s) const
{
    const double k = double(path.wrap(s)) / step;
    const size_t i = size_t(k) % heights.size();
    const double t = k - std::floor(k);
    return float(heights[i] + (heights[(i + 1) % heights.size()] - heights[i]) * t);
}

} // namespace missiongen
