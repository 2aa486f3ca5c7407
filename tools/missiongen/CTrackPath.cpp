#include "tools/missiongen/CTrackPath.h"

#include <cmath>

namespace missiongen {

using contentkit::SVec2;

namespace {

const int kDenseSteps = 64; // curve samples per control-point span before resampling

SVec2 lerp(const SVec2& a, const SVec2& b, double t)
{
    return {float(a.x + (b.x - a.x) * t), float(a.y + (b.y - a.y) * t)};
}

double distance(const SVec2& a, const SVec2& b) { return std::hypot(double(b.x - a.x), double(b.y - a.y)); }

// Centripetal Catmull-Rom between p1 and p2 (Barry-Goldman form), t in [0, 1].
SVec2 catmullRom(const SVec2& p0, const SVec2& p1, const SVec2& p2, const SVec2& p3, double t)
{
    const double t0 = 0.0;
    const double t1 = t0 + std::sqrt(std::max(distance(p0, p1), 1e-6));
    const double t2 = t1 + std::sqrt(std::max(distance(p1, p2), 1e-6));
    const double t3 = t2 + std::sqrt(std::max(distance(p2, p3), 1e-6));
    const double u = t1 + (t2 - t1) * t;
    const SVec2 a1 = lerp(p0, p1, (u - t0) / (t1 - t0));
    const SVec2 a2 = lerp(p1, p2, (u - t1) / (t2 - t1));
    const SVec2 a3 = lerp(p2, p3, (u - t2) / (t3 - t2));
    const SVec2 b1 = lerp(a1, a2, (u - t0) / (t2 - t0));
    const SVec2 b2 = lerp(a2, a3, (u - t1) / (t3 - t1));
    return lerp(b1, b2, (u - t1) / (t2 - t1));
}

} // namespace

CTrackPath::CTrackPath(const std::vector<SVec2>& control)
{
    const size_t n = control.size();
    if (n < 3)
        return;
    std::vector<SVec2> dense;
    for (size_t i = 0; i < n; ++i) {
        const SVec2& p0 = control[(i + n - 1) % n];
        const SVec2& p1 = control[i];
        const SVec2& p2 = control[(i + 1) % n];
        const SVec2& p3 = control[(i + 2) % n];
        for (int k = 0; k < kDenseSteps; ++k)
            dense.push_back(catmullRom(p0, p1, p2, p3, double(k) / kDenseSteps));
    }
    std::vector<double> along(dense.size() + 1, 0.0);
    for (size_t i = 0; i < dense.size(); ++i)
        along[i + 1] = along[i] + distance(dense[i], dense[(i + 1) % dense.size()]);
    const double total = along.back();
    const size_t count = size_t(std::lround(total));
    step = float(total / double(count));
    totalLength = float(total);
    size_t j = 0;
    for (size_t k = 0; k < count; ++k) {
        const double s = total * double(k) / double(count);
        while (along[j + 1] < s)
            ++j;
        const double t = (s - along[j]) / std::max(along[j + 1] - along[j], 1e-9);
        points.push_back(lerp(dense[j], dense[(j + 1) % dense.size()], t));
    }
}

float CTrackPath::wrap(float s) const
{
    if (totalLength <= 0.0f)
        return 0.0f;
    float w = std::fmod(s, totalLength);
    if (w < 0.0f)
        w += totalLength;
    return w >= totalLength ? 0.0f : w;
}

float CTrackPath::delta(float a, float b) const
{
    float d = wrap(b - a);
    if (d > 0.5f * totalLength)
        d -= totalLength;
    return d;
}

SVec2 CTrackPath::point(float s) const
{
    if (points.empty())
        return {};
    const double k = double(wrap(s)) / step;
    const size_t i = size_t(k) % points.size();
    return lerp(points[i], points[(i + 1) % points.size()], k - std::floor(k));
}

SVec2 CTrackPath::direction(float s) const
{
    const SVec2 a = point(s - 1.5f), b = point(s + 1.5f);
    const double l = std::max(distance(a, b), 1e-9);
    return {float((b.x - a.x) / l), float((b.y - a.y) / l)};
}

SVec2 CTrackPath::left(float s) const
{
    // The game's frame is left-handed: a car heading +z has +x on its right, so heading (dx, dz)
    // its left is (-dz, dx).
    const SVec2 d = direction(s);
    return {-d.y, d.x};
}

float CTrackPath::radius(float s) const
{
    const float h = 6.0f;
    const SVec2 a = point(s - h), b = point(s), c = point(s + h);
    // Circumradius of the three points.
    const double ab = distance(a, b), bc = distance(b, c), ca = distance(c, a);
    const double cross = double(b.x - a.x) * (c.y - a.y) - double(b.y - a.y) * (c.x - a.x);
    if (std::fabs(cross) < 1e-9)
        return 1e9f;
    return float(ab * bc * ca / (2.0 * std::fabs(cross)));
}

} // namespace missiongen
