// A TrueType file through the game's font: loaded at a menu size, then a text with kerning
// measured and its glyphs rendered to images, as the menus do.
#include <irrlicht.h>

#include "font/CGUITTFont.h"
#include "tests/fuzz/FuzzFile.h"

using namespace irr;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static IrrlichtDevice* device = [] {
        IrrlichtDevice* d = createDevice(video::EDT_NULL, core::dimension2d<u32>(640, 480));
        d->getLogger()->setLogLevel(ELL_NONE);
        return d;
    }();
    const std::string path = writeFuzzFile("font.ttf", data, size);
    gui::CGUITTFont* font = gui::CGUITTFont::createTTFont(device, path.c_str(), 24);
    if (font) {
        font->getDimension(L"AVAWAY Sandvolt 0123");
        for (u32 c : {u32('A'), u32('g'), u32(0xE9)}) {
            if (video::IImage* image = font->createImageFromChar(c))
                image->drop();
        }
        font->drop();
    }
    device->getVideoDriver()->removeAllTextures();
    return 0;
}
