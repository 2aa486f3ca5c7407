#include "CDuneLayer.h"

#include <algorithm>
#include <cmath>

namespace paint
{

namespace
{
const float kPi = 3.14159265358979f;
}

CDuneLayer::CDuneLayer(int width, float baseY, uint32_t seed)
	: Width(width), BaseY(baseY), Ridge(static_cast<size_t>(width) + 1, baseY), Noise(seed)
{
}

void CDuneLayer::addCrests(float height, float wavelength, float phase, float sharpness)
{
	for (int x = 0; x <= Width; ++x)
	{
		float u = x / wavelength + phase;
		// A little warp makes the windward side long and the slip face short.
		u += 0.12f * std::sin(2.f * kPi * u);
		const float h = std::pow(1.f - std::fabs(std::sin(kPi * u)), sharpness);
		Ridge[x] -= height * h;
	}
}

void CDuneLayer::addSwell(float height, float wavelength, float phase)
{
	for (int x = 0; x <= Width; ++x)
		Ridge[x] -= height * std::sin(2.f * kPi * (x / wavelength + phase));
}

void CDuneLayer::addDune(
	float crestX, float height, float leftWidth, float rightWidth, float sharpness)
{
	for (int x = 0; x <= Width; ++x)
	{
		const float dx = x - crestX;
		const float reach = dx < 0.f ? leftWidth : rightWidth;
		const float t = 1.f - std::fabs(dx) / reach;
		if (t <= 0.f)
			continue;
		Ridge[x] = std::min(Ridge[x], BaseY - height * std::pow(t, sharpness));
	}
}

void CDuneLayer::soften(int radius)
{
	const std::vector<float> source = Ridge;
	for (int x = 0; x <= Width; ++x)
	{
		float sum = 0.f;
		for (int i = -radius; i <= radius; ++i)
			sum += source[std::max(0, std::min(Width, x + i))];
		Ridge[x] = sum / (2 * radius + 1);
	}
}

void CDuneLayer::addNoise(float height, float featureSize)
{
	for (int x = 0; x <= Width; ++x)
		Ridge[x] -= height * (Noise.fbm(x / featureSize, 3.7f, 4) - 0.5f) * 2.f;
}

float CDuneLayer::ridgeAt(float x) const
{
	x = std::max(0.f, std::min(static_cast<float>(Width) - 0.001f, x));
	const int i = static_cast<int>(x);
	const float t = x - i;
	return Ridge[i] + (Ridge[i + 1] - Ridge[i]) * t;
}

float CDuneLayer::slopeAt(float x) const
{
	return ridgeAt(x + 0.5f) - ridgeAt(x - 0.5f);
}

float CDuneLayer::crestBetween(float x0, float x1) const
{
	float best = x0;
	for (float x = x0; x <= x1; x += 1.f)
		if (ridgeAt(x) < ridgeAt(best))
			best = x;
	return best;
}

void CDuneLayer::paint(CCanvas& canvas, const SDuneLook& look) const
{
	const float top = *std::min_element(Ridge.begin(), Ridge.end());
	canvas.shade([&](int x, int y, SColour& c) {
		if (y + 1 < top)
			return;
		const float px = x + 0.5f, py = y + 0.5f;
		const float ridge = ridgeAt(px);
		const float slope = slopeAt(px);
		// Distance to the ridge across the line, so steep crests are smoothed as well as flat.
		const float cover = clamp01((py - ridge) / std::sqrt(1.f + slope * slope) + 0.5f);
		if (cover <= 0.f)
			return;
		const float below = std::max(0.f, py - ridge);
		// Light is judged from the ridge up the slope, so shadow edges run down at a slant.
		const float faceSlope = slopeAt(px - look.lean * below);
		const float lit = smoothstep(-0.35f, 0.35f, faceSlope * look.lightFromRight);
		SColour colour = mix(look.shade, look.lit, lit);
		colour = mix(colour, look.deep, smoothstep(0.f, look.depth, below));
		if (look.ripples > 0.f)
		{
			const float warp = Noise.fbm(px / 180.f, py / 60.f, 3) * 9.f;
			const float wave = std::sin(px * 0.011f + below * 0.09f + warp);
			colour = colour * (1.f + look.ripples * wave * smoothstep(0.f, 60.f, below));
		}
		colour += look.rim * std::exp(-below / look.rimWidth) * (0.35f + 0.65f * lit);
		c = mix(c, colour, cover);
	});
}

} // namespace paint
