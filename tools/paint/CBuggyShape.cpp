#include "CBuggyShape.h"

#include <cmath>

namespace paint
{

CBuggyShape::CBuggyShape()
{
	// Tub: engine cover at the back, low cockpit, long nose.
	Builder.addPolygon({{-0.92f, -0.34f}, {-0.96f, -0.52f}, {-0.78f, -0.61f}, {-0.42f, -0.57f},
		{-0.22f, -0.47f}, {0.30f, -0.47f}, {0.56f, -0.42f}, {0.88f, -0.35f}, {0.97f, -0.27f},
		{0.80f, -0.21f}, {0.35f, -0.19f}, {-0.25f, -0.19f}, {-0.70f, -0.29f}});

	// Roll cage: rear pillar, roof, windscreen pillar, brace and rear stay.
	const float tube = 0.045f;
	Builder.addTube({{-0.52f, -0.56f}, {-0.40f, -1.00f}, {0.02f, -1.02f}, {0.30f, -0.48f}}, tube);
	Builder.addTube({{-0.40f, -1.00f}, {-0.10f, -0.52f}}, tube * 0.8f);
	Builder.addTube({{-0.45f, -0.88f}, {-0.86f, -0.58f}}, tube * 0.8f);
	Builder.addTube({{-0.17f, -1.07f}, {0.12f, -1.08f}}, 0.06f);  // roof light bar

	// Nudge bar at the nose.
	Builder.addTube({{0.86f, -0.33f}, {1.03f, -0.36f}, {1.01f, -0.51f}, {0.74f, -0.48f}}, 0.035f);

	// Suspension: long-travel arms and shocks, the first thing that says "off-road".
	Builder.addTube({{0.33f, -0.30f}, {0.62f, -0.21f}}, 0.04f);
	Builder.addTube({{0.44f, -0.56f}, {0.62f, -0.24f}}, 0.055f);
	Builder.addTube({{-0.22f, -0.26f}, {-0.55f, -0.27f}}, 0.045f);
	Builder.addTube({{-0.62f, -0.63f}, {-0.55f, -0.30f}}, 0.06f);

	// Driver: helmet, shoulders, steering wheel.
	Builder.addCircle(-0.10f, -0.73f, 0.105f);
	Builder.addPolygon({{-0.27f, -0.47f}, {-0.22f, -0.69f}, {-0.04f, -0.68f}, {0.06f, -0.48f}});
	Builder.addTube({{0.00f, -0.63f}, {0.17f, -0.56f}}, 0.035f);

	// Exhaust pipe and the whip antenna with its flag.
	Builder.addTube({{-0.86f, -0.45f}, {-1.06f, -0.56f}}, 0.05f);
	Builder.addTube({{-0.80f, -0.60f}, {-0.98f, -1.45f}}, 0.016f);
	Builder.addPolygon({{-0.985f, -1.46f}, {-0.70f, -1.38f}, {-0.955f, -1.29f}});

	addWheel(rearWheel(), 0.25f);
	addWheel(frontWheel(), 0.19f);
}

void CBuggyShape::addWheel(const SPoint& centre, float radius)
{
	// Tyre ring with an open rim, so light shows through the wheel in silhouette.
	Builder.addTyre(centre.x, centre.y, radius, 18, radius * 0.1f);
	Builder.addCircle(centre.x, centre.y, radius * 0.62f, true);
	Builder.addCircle(centre.x, centre.y, radius * 0.30f);
	for (int i = 0; i < 5; ++i)
	{
		const float a = 6.2831853f * i / 5.f + 0.3f;
		Builder.addTube({{centre.x, centre.y},
							{centre.x + std::cos(a) * radius * 0.64f,
								centre.y + std::sin(a) * radius * 0.64f}},
			radius * 0.13f);
	}
}

SShape CBuggyShape::placed(float scale, float angle, float x, float y) const
{
	return Builder.placed(scale, angle, x, y);
}

} // namespace paint
