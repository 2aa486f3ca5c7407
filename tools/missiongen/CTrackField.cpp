#include "tools/missiongen/CTrackField.h"

#include <algorithm>
#include <cmath>

namespace missiongen {

using contentkit::SVec2;

CTrackField::CTrackField(const CTrackPath& trackPath, const CTrackProfile& trackProfile, float reachDistance) :
    path(trackPath), profile(trackProfile), reach(reachDistance), cell(std::max(8.0f, reachDistance))
{
    const std::vector<SVec2>& p = path.samples();
    float extent = 0.0f;
    for (const SVec2& q : p)
        extent = std::max(extent, std::max(std::fabs(q.x), std::fabs(q.y)));
    extent += reach + cell;
    origin = -extent;
    cellsPerSide = int(std::ceil(2.0f * extent / cell));
    buckets.resize(size_t(cellsPerSide) * size_t(cellsPerSide));
    for (size_t i = 0; i < p.size(); ++i) {
        SSegment seg;
        seg.a = p[i];
        seg.b = p[(i + 1) % p.size()];
        seg.sa = float(i) * path.spacing();
        seg.length = std::hypot(seg.b.x - seg.a.x, seg.b.y - seg.a.y);
        const int index = int(segments.size());
        segments.push_back(seg);
        // Every cell within reach of the segment's box holds it.
        const int x0 = int(std::floor((std::min(seg.a.x, seg.b.x) - reach - origin) / cell));
        const int x1 = int(std::floor((std::max(seg.a.x, seg.b.x) + reach - origin) / cell));
        const int z0 = int(std::floor((std::min(seg.a.y, seg.b.y) - reach - origin) / cell));
        const int z1 = int(std::floor((std::max(seg.a.y, seg.b.y) + reach - origin) / cell));
        for (int cz = std::max(0, z0); cz <= std::min(cellsPerSide - 1, z1); ++cz)
            for (int cx = std::max(0, x0); cx <= std::min(cellsPerSide - 1, x1); ++cx)
                buckets[size_t(cz) * size_t(cellsPerSide) + size_t(cx)].push_back(index);
    }
}

STrackNear CTrackField::nearest(float x, float z, STrackNear* other, float apart) const
{
    STrackNear best;
    if (other)
        *other = STrackNear();
    const int cx = int(std::floor((x - origin) / cell)), cz = int(std::floor((z - origin) / cell));
    if (cx < 0 || cz < 0 || cx >= cellsPerSide || cz >= cellsPerSide)
        return best;
    const std::vector<int>& bucket = buckets[size_t(cz) * size_t(cellsPerSide) + size_t(cx)];
    // Distance, place along the track and side of one segment.
    auto measure = [&](const SSegment& seg, float& s, float& side) {
        const float dx = seg.b.x - seg.a.x, dz = seg.b.y - seg.a.y;
        const float px = x - seg.a.x, pz = z - seg.a.y;
        const float t =
            seg.length > 0.0f ? std::clamp((px * dx + pz * dz) / (seg.length * seg.length), 0.0f, 1.0f) : 0.0f;
        const float ex = px - t * dx, ez = pz - t * dz;
        s = seg.sa + t * seg.length;
        side = -dz * px + dx * pz; // left of the driving direction (dx, dz) is (-dz, dx)
        return std::sqrt(ex * ex + ez * ez);
    };
    float bestS = 0.0f, bestSide = 0.0f, bestDistance = reach;
    for (int index : bucket) {
        float s, side;
        const float d = measure(segments[size_t(index)], s, side);
        if (d <= bestDistance && (!best.found || d < bestDistance)) {
            best.found = true;
            bestDistance = d;
            bestS = s;
            bestSide = side;
        }
    }
    if (!best.found)
        return best;
    best = {true, bestDistance, path.wrap(bestS), profile.height(bestS), bestSide};
    if (other) {
        for (int index : bucket) {
            float s, side;
            const float d = measure(segments[size_t(index)], s, side);
            if (d <= reach && std::fabs(path.delta(bestS, s)) > apart && (!other->found || d < other->distance))
                *other = {true, d, path.wrap(s), profile.height(s), side};
        }
    }
    return best;
}

} // namespace missiongen
