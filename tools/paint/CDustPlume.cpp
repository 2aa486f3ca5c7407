#include "CDustPlume.h"

#include "ParallelRows.h"
#include "SColour.h"

#include <algorithm>
#include <cmath>

namespace paint
{

CDustPlume::CDustPlume(uint32_t seed) : Noise(seed)
{
}

float CDustPlume::random()
{
	const float v = Noise.hash(static_cast<int>(Draws), 0x5eed);
	++Draws;
	return v;
}

void CDustPlume::addPuff(float x, float y, float radius, float density)
{
	Puffs.push_back({x, y, radius, density});
}

void CDustPlume::addTrail(const SPoint& from, const SPoint& to, float r0, float r1, int count,
	float density)
{
	for (int i = 0; i < count; ++i)
	{
		const float t = count > 1 ? static_cast<float>(i) / (count - 1) : 0.f;
		const float radius = r0 + (r1 - r0) * t;
		const float jx = (random() - 0.5f) * radius * 1.2f;
		const float jy = (random() - 0.5f) * radius * 0.9f;
		const float size = radius * (0.7f + 0.6f * random());
		addPuff(from.x + (to.x - from.x) * t + jx, from.y + (to.y - from.y) * t + jy, size,
			density * (1.f - 0.75f * t) * (0.6f + 0.8f * random()));
	}
}

CMask CDustPlume::mask(float featureSize, int canvasWidth, int canvasHeight) const
{
	if (Puffs.empty())
		return CMask();
	float minX = 1e30f, minY = 1e30f, maxX = -1e30f, maxY = -1e30f;
	for (const SPuff& p : Puffs)
	{
		const float reach = p.radius * 2.5f;
		minX = std::min(minX, p.x - reach);
		maxX = std::max(maxX, p.x + reach);
		minY = std::min(minY, p.y - reach);
		maxY = std::max(maxY, p.y + reach);
	}
	const int left = std::max(0, static_cast<int>(minX));
	const int top = std::max(0, static_cast<int>(minY));
	const int right = std::min(canvasWidth, static_cast<int>(maxX) + 1);
	const int bottom = std::min(canvasHeight, static_cast<int>(maxY) + 1);
	CMask out(left, top, right - left, bottom - top);
	if (out.empty())
		return out;
	parallelRows(0, out.height(), [&](int localY) {
		float* line = out.row(localY);
		const float y = top + localY + 0.5f;
		for (const SPuff& p : Puffs)
		{
			const float reach = p.radius * 2.5f;
			if (y < p.y - reach || y > p.y + reach)
				continue;
			const int x0 = std::max(left, static_cast<int>(p.x - reach));
			const int x1 = std::min(right, static_cast<int>(p.x + reach) + 1);
			const float inv = 1.f / (p.radius * p.radius);
			const float dy = y - p.y;
			for (int x = x0; x < x1; ++x)
			{
				const float dx = x + 0.5f - p.x;
				line[x - left] += p.density * std::exp(-(dx * dx + dy * dy) * inv);
			}
		}
		for (int x = 0; x < out.width(); ++x)
		{
			// High-contrast noise turns the smooth puffs into billows and wisps.
			const float n = Noise.fbm((left + x) / featureSize, y / featureSize, 5);
			const float billow = 0.25f + 1.5f * smoothstep(0.25f, 0.8f, n);
			line[x] = 1.f - std::exp(-line[x] * billow);
		}
	});
	return out;
}

float CDustPlume::lighting(const CMask& mask, int x, int y, int dx, int dy)
{
	const float here = mask.at(x, y);
	const float towards = mask.at(x + dx, y + dy);
	return clamp01(0.5f + 4.f * (here - towards));
}

} // namespace paint
