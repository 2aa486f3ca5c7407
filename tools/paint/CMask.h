#pragma once

#include "SShape.h"

#include <cstddef>
#include <vector>

namespace paint
{

//! Coverage (0..1) over a rectangle of the canvas; everything outside the rectangle is 0.
class CMask
{
public:
	CMask() = default;
	CMask(int left, int top, int width, int height);

	//! Anti-aliased fill: exact horizontal coverage, 16 sub-scanlines per pixel row.
	static CMask fromShape(const SShape& shape, int canvasWidth, int canvasHeight);
	static CMask circle(float cx, float cy, float radius, int canvasWidth, int canvasHeight);
	static CMask roundedRect(float x0, float y0, float x1, float y1, float radius, int canvasWidth,
		int canvasHeight);

	//! Near-Gaussian blur (three box passes); the rectangle grows to hold the spread.
	CMask blurred(float radius, int canvasWidth, int canvasHeight) const;
	//! The same coverage moved by whole pixels.
	CMask shifted(int dx, int dy) const;

	int left() const { return Left; }
	int top() const { return Top; }
	int width() const { return Width; }
	int height() const { return Height; }
	bool empty() const { return Width <= 0 || Height <= 0; }

	//! Coverage at canvas pixel (x, y).
	float at(int x, int y) const
	{
		x -= Left;
		y -= Top;
		if (x < 0 || y < 0 || x >= Width || y >= Height)
			return 0.f;
		return Data[static_cast<size_t>(y) * Width + x];
	}
	float* row(int localY) { return &Data[static_cast<size_t>(localY) * Width]; }
	const float* row(int localY) const { return &Data[static_cast<size_t>(localY) * Width]; }

private:
	int Left = 0, Top = 0, Width = 0, Height = 0;
	std::vector<float> Data;
};

} // namespace paint
