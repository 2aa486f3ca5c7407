#include "CCanvas.h"

#include "CNoise.h"

#include <irrlicht.h>

#include <cmath>

namespace splashgen
{

CCanvas::CCanvas(int width, int height, const SColour& fill)
	: Width(width), Height(height), Pixels(static_cast<size_t>(width) * height, fill)
{
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

bool CCanvas::writeJpeg(irr::video::IVideoDriver* driver, const std::string& path, int quality,
	unsigned seed) const
{
	using namespace irr;
	video::IImage* image = driver->createImage(video::ECF_R8G8B8,
		core::dimension2d<u32>(static_cast<u32>(Width), static_cast<u32>(Height)));
	if (!image)
		return false;
	u8* bytes = static_cast<u8*>(image->lock());
	const u32 pitch = image->getPitch();
	const CNoise dither(seed);
	parallelRows(0, Height, [&](int y) {
		u8* out = bytes + static_cast<size_t>(y) * pitch;
		const SColour* line = &Pixels[static_cast<size_t>(y) * Width];
		for (int x = 0; x < Width; ++x)
		{
			// Triangular dither of one step: hides banding without visible grain.
			const float d = dither.hash(x, y) - dither.hash(x + 7919, y + 104729);
			const float channel[3] = {line[x].r, line[x].g, line[x].b};
			for (int c = 0; c < 3; ++c)
			{
				const float v = std::floor(clamp01(channel[c]) * 255.f + 0.5f + d);
				out[x * 3 + c] = static_cast<u8>(std::min(255.f, std::max(0.f, v)));
			}
		}
	});
	image->unlock();
	const bool written = driver->writeImageToFile(image, io::path(path.c_str()), quality);
	image->drop();
	return written;
}

} // namespace splashgen
