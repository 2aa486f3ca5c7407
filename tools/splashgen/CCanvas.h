#pragma once

#include "CMask.h"
#include "ParallelRows.h"
#include "SColour.h"

#include <algorithm>
#include <string>
#include <vector>

namespace irr
{
namespace video
{
class IVideoDriver;
}
} // namespace irr

namespace splashgen
{

//! The picture being painted, in float RGB (0..1, top row first).
class CCanvas
{
public:
	CCanvas(int width, int height, const SColour& fill);

	int width() const { return Width; }
	int height() const { return Height; }
	SColour& at(int x, int y) { return Pixels[static_cast<size_t>(y) * Width + x]; }

	//! paint(x, y, colour) over every pixel, rows in parallel.
	template <class F>
	void shade(F&& paint)
	{
		parallelRows(0, Height, [&](int y) {
			SColour* line = &Pixels[static_cast<size_t>(y) * Width];
			for (int x = 0; x < Width; ++x)
				paint(x, y, line[x]);
		});
	}

	//! Lays colourAt(x, y) over the canvas where the mask covers it.
	template <class F>
	void paintMask(const CMask& mask, F&& colourAt, float opacity = 1.f)
	{
		const int x0 = std::max(0, mask.left()), x1 = std::min(Width, mask.left() + mask.width());
		const int y0 = std::max(0, mask.top()), y1 = std::min(Height, mask.top() + mask.height());
		parallelRows(y0, y1, [&](int y) {
			const float* cover = mask.row(y - mask.top()) - mask.left();
			SColour* line = &Pixels[static_cast<size_t>(y) * Width];
			for (int x = x0; x < x1; ++x)
			{
				const float a = cover[x] * opacity;
				if (a > 0.f)
					line[x] = mix(line[x], colourAt(x, y), std::min(1.f, a));
			}
		});
	}

	void fillMask(const CMask& mask, const SColour& colour, float opacity = 1.f)
	{
		paintMask(mask, [&](int, int) { return colour; }, opacity);
	}

	//! Adds light (glows, sun flare) where the mask covers, scaled by its coverage.
	void addMask(const CMask& mask, const SColour& colour, float strength = 1.f);

	//! Writes the canvas as an RGB JPEG through the engine's image writer. Rounding is dithered
	//! (seeded) so the long sky gradients do not break into bands.
	bool writeJpeg(irr::video::IVideoDriver* driver, const std::string& path, int quality,
		unsigned seed) const;

private:
	int Width, Height;
	std::vector<SColour> Pixels;
};

} // namespace splashgen
