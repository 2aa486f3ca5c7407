#include "CNoise.h"

#include <cmath>

namespace paint
{

CNoise::CNoise(uint32_t seed) : Seed(seed)
{
}

float CNoise::hash(int x, int y) const
{
	uint32_t h = Seed * 0x9E3779B9u;
	h ^= static_cast<uint32_t>(x) * 0x85EBCA6Bu;
	h = (h << 13) | (h >> 19);
	h ^= static_cast<uint32_t>(y) * 0xC2B2AE35u;
	h ^= h >> 16;
	h *= 0x7FEB352Du;
	h ^= h >> 15;
	h *= 0x846CA68Bu;
	h ^= h >> 16;
	return (h >> 8) * (1.f / 16777216.f);
}

float CNoise::value(float x, float y) const
{
	const float fx = std::floor(x), fy = std::floor(y);
	const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
	float tx = x - fx, ty = y - fy;
	tx = tx * tx * (3.f - 2.f * tx);
	ty = ty * ty * (3.f - 2.f * ty);
	const float a = hash(ix, iy), b = hash(ix + 1, iy);
	const float c = hash(ix, iy + 1), d = hash(ix + 1, iy + 1);
	return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float CNoise::fbm(float x, float y, int octaves) const
{
	float sum = 0.f, weight = 1.f, total = 0.f;
	for (int i = 0; i < octaves; ++i)
	{
		// Each octave is shifted so the lattice corners never line up into a visible grid.
		sum += value(x + i * 17.31f, y - i * 9.73f) * weight;
		total += weight;
		weight *= 0.5f;
		x *= 2.03f;
		y *= 2.03f;
	}
	return sum / total;
}

float CNoise::periodicValue(float x, float y, int period) const
{
	const float fx = std::floor(x), fy = std::floor(y);
	float tx = x - fx, ty = y - fy;
	tx = tx * tx * (3.f - 2.f * tx);
	ty = ty * ty * (3.f - 2.f * ty);
	auto wrap = [period](float cell) {
		const int i = static_cast<int>(cell) % period;
		return i < 0 ? i + period : i;
	};
	const int x0 = wrap(fx), y0 = wrap(fy), x1 = wrap(fx + 1.f), y1 = wrap(fy + 1.f);
	const float a = hash(x0, y0), b = hash(x1, y0);
	const float c = hash(x0, y1), d = hash(x1, y1);
	return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float CNoise::periodicFbm(float x, float y, int octaves, int period) const
{
	float sum = 0.f, weight = 1.f, total = 0.f;
	for (int i = 0; i < octaves; ++i)
	{
		// Whole-cell shifts keep every octave periodic while breaking up the lattice.
		sum += periodicValue(x + i * 17.f, y - i * 9.f, period) * weight;
		total += weight;
		weight *= 0.5f;
		x *= 2.f;
		y *= 2.f;
		period *= 2;
	}
	return sum / total;
}

} // namespace paint
