// splashgen OUTPUT_DIR: paints the two splash images and writes them as splash01.jpg and
// splash02.jpg. Same bytes on every run: all randomness comes from fixed seeds.

#include "CSplashPoster.h"
#include "CSplashScene.h"

#include "tools/paint/CCanvas.h"
#include "tools/paint/CTextRenderer.h"
#include "tools/paint/NullDevice.h"

#include <irrlicht.h>

#include <cstdio>
#include <string>

namespace
{

const char* const kFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const int kSize = 2048;  // the splash screen crops its source rectangle from a 2048 square
const int kQuality = 90;

bool writeImage(irr::video::IVideoDriver* driver, const paint::CCanvas& canvas,
	const std::string& dir, const char* name, unsigned seed)
{
	const std::string path = dir + "/" + name;
	if (!canvas.writeJpeg(driver, path, kQuality, seed))
	{
		printf("ERROR: could not write %s\n", path.c_str());
		return false;
	}
	printf("Splash image %s [OK]\n", path.c_str());
	return true;
}

} // namespace

int main(int argc, char** argv)
{
	if (argc != 2)
	{
		printf("ERROR: usage: splashgen OUTPUT_DIR\n");
		return 2;
	}
	const std::string dir = argv[1];

	paint::CTextRenderer text(kFontPath);
	if (!text.isLoaded())
		return 1;

	irr::IrrlichtDevice* device = paint::createNullDevice();
	if (!device)
		return 1;
	irr::video::IVideoDriver* driver = device->getVideoDriver();

	bool ok = true;
	{
		paint::CCanvas poster(kSize, kSize, paint::SColour(1.f, 1.f, 1.f));
		splashgen::CSplashPoster(text).paint(poster);
		ok = writeImage(driver, poster, dir, "splash01.jpg", 1) && ok;
	}
	{
		paint::CCanvas scene(kSize, kSize, paint::SColour());
		splashgen::CSplashScene(text).paint(scene);
		ok = writeImage(driver, scene, dir, "splash02.jpg", 2) && ok;
	}
	device->drop();
	return ok ? 0 : 1;
}
