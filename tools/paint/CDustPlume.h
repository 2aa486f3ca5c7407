#pragma once

#include "CMask.h"
#include "CNoise.h"
#include "SShape.h"

#include <cstdint>
#include <vector>

namespace paint
{

//! A cloud of soft puffs thrown up behind the buggy, rendered as a coverage mask.
class CDustPlume
{
public:
	explicit CDustPlume(uint32_t seed);

	void addPuff(float x, float y, float radius, float density);
	//! Puffs strung from `from` to `to`, growing from r0 to r1 and thinning out, with seeded
	//! scatter so the trail billows instead of lining up.
	void addTrail(const SPoint& from, const SPoint& to, float r0, float r1, int count,
		float density);

	//! Coverage 1 - exp(-density), broken up by noise of the given feature size.
	CMask mask(float featureSize, int canvasWidth, int canvasHeight) const;
	//! How much a point of the cloud faces the light: 0 (its own shadow) to 1 (lit rim), judged
	//! from how the coverage falls off towards the light (dx, dy, in pixels).
	static float lighting(const CMask& mask, int x, int y, int dx, int dy);

private:
	struct SPuff
	{
		float x, y, radius, density;
	};

	std::vector<SPuff> Puffs;
	CNoise Noise;
	uint32_t Draws = 0;

	float random();
};

} // namespace paint
