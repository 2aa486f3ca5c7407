#pragma once

#include <algorithm>
#include <cmath>

namespace paint
{

//! Linear working colour; the artwork is painted in floats and rounded only when written.
struct SColour
{
	float r = 0.f, g = 0.f, b = 0.f;

	SColour() = default;
	SColour(float red, float green, float blue) : r(red), g(green), b(blue) {}

	SColour operator+(const SColour& o) const { return SColour(r + o.r, g + o.g, b + o.b); }
	SColour operator-(const SColour& o) const { return SColour(r - o.r, g - o.g, b - o.b); }
	SColour operator*(float k) const { return SColour(r * k, g * k, b * k); }
	SColour operator*(const SColour& o) const { return SColour(r * o.r, g * o.g, b * o.b); }
	SColour& operator+=(const SColour& o) { r += o.r; g += o.g; b += o.b; return *this; }
};

//! 8-bit colour in, for palettes that read like a paint program's.
inline SColour rgb8(int red, int green, int blue)
{
	return SColour(red / 255.f, green / 255.f, blue / 255.f);
}

inline SColour mix(const SColour& a, const SColour& b, float t)
{
	return a + (b - a) * t;
}

inline float clamp01(float v)
{
	return std::min(1.f, std::max(0.f, v));
}

inline float smoothstep(float edge0, float edge1, float v)
{
	const float t = clamp01((v - edge0) / (edge1 - edge0));
	return t * t * (3.f - 2.f * t);
}

//! Screen blend: lightens like light added through haze, never past white.
inline SColour screen(const SColour& a, const SColour& b)
{
	return SColour(1.f - (1.f - a.r) * (1.f - b.r), 1.f - (1.f - a.g) * (1.f - b.g),
		1.f - (1.f - a.b) * (1.f - b.b));
}

} // namespace paint
