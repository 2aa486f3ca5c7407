#include "CCanvas.h"

#include "CNoise.h"

#include <irrlicht.h>

#include <cmath>

namespace paint
{

CCanvas::CCanvas(int width, int height, const SColour& fill)
	: Width(width), Height(height), Pixels(static_cast<size_t>(width) * height, fill)
{
}

CCanvas CCanvas::clear(int width, int height)
{
	CCanvas canvas(width, height, SColour());
	canvas.Alpha.assign(static_cast<size_t>(width) * height, 0.f);
	return canvas;
}

void CCanvas::addMask(const CMask& mask, const SColour& colour, float strength)
{
	const int x0 = std::max(0, mask.left()), x1 = std::min(Width, mask.left() + mask.width());
	const int y0 = std::max(0, mask.top()), y1 = std::min(Height, mask.top() + mask.height());
	parallelRows(y0, y1, [&](int y) {
		const float* cover = mask.row(y - mask.top()) - mask.left();
		SColour* line = &Pixels[static_cast<size_t>(y) * Width];
		for (int x = x0; x < x1; ++x)
			line[x] += colour * (cover[x] * strength);
	});
}

std::vector<uint32_t> CCanvas::toArgb(unsigned seed) const
{
	std::vector<uint32_t> argb(Pixels.size());
	const CNoise dither(seed);
	parallelRows(0, Height, [&](int y) {
		const size_t first = static_cast<size_t>(y) * Width;
		for (int x = 0; x < Width; ++x)
		{
			// Triangular dither of one step: hides banding without visible grain.
			const float d = dither.hash(x, y) - dither.hash(x + 7919, y + 104729);
			const SColour& c = Pixels[first + x];
			const float channel[4] = {Alpha.empty() ? 1.f : Alpha[first + x], c.r, c.g, c.b};
			uint32_t pixel = 0;
			for (int k = 0; k < 4; ++k)
			{
				// Alpha is rounded plainly: dithering it would speckle the clear edges.
				const float v = std::floor(clamp01(channel[k]) * 255.f + 0.5f + (k ? d : 0.f));
				pixel = (pixel << 8) | static_cast<uint32_t>(std::min(255.f, std::max(0.f, v)));
			}
			argb[first + x] = pixel;
		}
	});
	return argb;
}

bool CCanvas::writeJpeg(irr::video::IVideoDriver* driver, const std::string& path, int quality,
	unsigned seed) const
{
	return write(driver, path, quality, seed);
}

bool CCanvas::writePng(irr::video::IVideoDriver* driver, const std::string& path,
	unsigned seed) const
{
	return write(driver, path, 0, seed);
}

bool CCanvas::write(irr::video::IVideoDriver* driver, const std::string& path, int quality,
	unsigned seed) const
{
	using namespace irr;
	std::vector<uint32_t> argb = toArgb(seed);
	// The engine's A8R8G8B8 is one native 32-bit word per pixel, as toArgb packs it; its writers
	// keep the alpha in a PNG and drop it in a JPEG.
	video::IImage* image = driver->createImageFromData(video::ECF_A8R8G8B8,
		core::dimension2d<u32>(static_cast<u32>(Width), static_cast<u32>(Height)), argb.data(),
		true, false);
	if (!image)
		return false;
	const bool written = driver->writeImageToFile(image, io::path(path.c_str()),
		static_cast<u32>(quality));
	image->drop();
	return written;
}

} // namespace paint
