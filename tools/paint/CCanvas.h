#pragma once

#include "CMask.h"
#include "ParallelRows.h"
#include "SColour.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace irr
{
namespace video
{
class IVideoDriver;
}
} // namespace irr

namespace paint
{

//! The picture being painted, in float RGB (0..1, top row first). A canvas made by `clear` also
//! has coverage (alpha, straight, not premultiplied), for art that is laid over other pictures.
class CCanvas
{
public:
	CCanvas(int width, int height, const SColour& fill);
	//! A fully transparent canvas; paint builds up its alpha.
	static CCanvas clear(int width, int height);

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
			const size_t first = static_cast<size_t>(y) * Width;
			SColour* line = &Pixels[first];
			float* alpha = Alpha.empty() ? nullptr : &Alpha[first];
			for (int x = x0; x < x1; ++x)
			{
				const float a = std::min(1.f, cover[x] * opacity);
				if (a <= 0.f)
					continue;
				if (!alpha)
				{
					line[x] = mix(line[x], colourAt(x, y), a);
					continue;
				}
				// Paint over see-through pixels: the old colour counts only as far as it covers.
				const float under = alpha[x] * (1.f - a);
				const float total = a + under;
				line[x] = (colourAt(x, y) * a + line[x] * under) * (1.f / total);
				alpha[x] = total;
			}
		});
	}

	void fillMask(const CMask& mask, const SColour& colour, float opacity = 1.f)
	{
		paintMask(mask, [&](int, int) { return colour; }, opacity);
	}

	//! Adds light (glows, sun flare) where the mask covers, scaled by its coverage.
	void addMask(const CMask& mask, const SColour& colour, float strength = 1.f);

	//! The canvas in 8-bit ARGB (0xAARRGGBB, top row first). Rounding is dithered (seeded) so the
	//! long sky gradients do not break into bands.
	std::vector<uint32_t> toArgb(unsigned seed) const;

	//! Writes the canvas as an RGB JPEG through the engine's image writer.
	bool writeJpeg(irr::video::IVideoDriver* driver, const std::string& path, int quality,
		unsigned seed) const;
	//! Writes the canvas as a PNG through the engine's image writer, with its alpha if it has one.
	bool writePng(irr::video::IVideoDriver* driver, const std::string& path, unsigned seed) const;

private:
	bool write(irr::video::IVideoDriver* driver, const std::string& path, int quality,
		unsigned seed) const;

	int Width, Height;
	std::vector<SColour> Pixels;
	std::vector<float> Alpha;  //!< empty for an opaque canvas
};

} // namespace paint
