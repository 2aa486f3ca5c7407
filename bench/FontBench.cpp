// Cost of the game's TrueType font on the OpenGL driver: creating a font of each size the menus
// and the race display use at 768 lines (the 127-character preload included), and drawing one
// 40-character line once its glyphs are in the pages. Run it on an X display (for example with
// tests/support/run-under-xvfb.sh). With a number of seconds as argument it then keeps the sizes
// on screen that long, for a screenshot. Not a test: the figures are for reading.
#include <irrlicht.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/CGameEngine.h"
#include "core/SGameSettings.h"
#include "font/CGUITTFont.h"
#include "BenchStats.h"

using irr::gui::CGUITTFont;

namespace {

const irr::u32 kSizes[] = {26, 30, 34, 42, 49, 76};
const int kCreations = 15;
const int kDraws = 2000;
const wchar_t* const kLine = L"Runde 2/3  Zeit 01:23:45   Platz 1 von 4"; // 40 characters

double microsecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    const std::string font = std::string(SANDVOLT_RUN_DIR) + "/data/fonts/komika_axis.ttf";
    SGameSettings settings;
    settings.width = 1024;
    settings.height = 768;
    settings.fullscreen = false;
    CGameEngine engine(&settings, irr::video::EDT_OPENGL);
    irr::IrrlichtDevice* device = engine.getDevice();
    if (!device) {
        std::printf("no OpenGL window: run on an X display\n");
        return 1;
    }
    irr::video::IVideoDriver* driver = device->getVideoDriver();
    device->getLogger()->setLogLevel(irr::ELL_WARNING);

    std::printf("font creation, median of %d (microseconds):\n", kCreations);
    std::printf("  size   first font of the file   file's face already open\n");
    CGUITTFont* holder = nullptr;
    for (irr::u32 size : kSizes) {
        std::vector<double> cold, warm;
        for (int i = 0; i < kCreations; ++i) {
            auto start = std::chrono::steady_clock::now();
            CGUITTFont* f = CGUITTFont::createTTFont(device, font.c_str(), size);
            cold.push_back(microsecondsSince(start));
            f->drop();
        }
        holder = CGUITTFont::createTTFont(device, font.c_str(), 20);
        for (int i = 0; i < kCreations; ++i) {
            auto start = std::chrono::steady_clock::now();
            CGUITTFont* f = CGUITTFont::createTTFont(device, font.c_str(), size);
            warm.push_back(microsecondsSince(start));
            f->drop();
        }
        holder->drop();
        std::printf("  %4u   %22.0f   %24.0f\n", size, benchstats::median(cold), benchstats::median(warm));
    }

    // What the preload of characters 0 to 126 leaves in the glyph pages, and how many batched
    // draw calls (one per page the text touches) the race display's lap line takes.
    std::printf("glyph pages after the preload, and draw calls for \"Lap 1 / 3\":\n");
    std::printf("  size   pages   page texture   texture memory (KiB)   draw calls\n");
    for (irr::u32 size : {20u, 21u, 26u, 30u, 34u, 42u, 49u, 76u}) {
        CGUITTFont* f = CGUITTFont::createTTFont(device, font.c_str(), size);
        driver->beginScene(true, true, irr::video::SColor(255, 0, 0, 0));
        f->draw(L"Lap 1 / 3", irr::core::recti(10, 300, 1014, 400), irr::video::SColor(255, 255, 255, 255));
        driver->endScene();
        irr::u32 bytes = 0;
        int calls = 0;
        for (irr::u32 i = 0; i < f->getGlyphPageCount(); ++i) {
            const irr::core::dimension2du& page = f->getGlyphPage(i)->getTextureSize();
            bytes += page.Width * page.Height * 4;
            calls += f->getGlyphPage(i)->renderPositions.empty() ? 0 : 1;
        }
        const irr::core::dimension2du first = f->getGlyphPage(0)->getTextureSize();
        std::printf("  %4u   %5u   %5u x %-5u   %20u   %10d\n", size, f->getGlyphPageCount(), first.Width, first.Height,
                    bytes / 1024, calls);
        f->drop();
    }

    std::printf("drawing one 40-character line, glyphs cached (microseconds per line):\n");
    std::printf("  size   draw call   frame of %d lines / %d\n", kDraws / 10, kDraws / 10);
    for (irr::u32 size : kSizes) {
        CGUITTFont* f = engine.getFont(font, size);
        const irr::core::recti box(10, 300, 1014, 400);
        driver->beginScene(true, true, irr::video::SColor(255, 0, 0, 0));
        f->draw(kLine, box, irr::video::SColor(255, 255, 255, 255));
        driver->endScene();
        std::vector<double> calls, frames;
        for (int frame = 0; frame < 10; ++frame) {
            auto frameStart = std::chrono::steady_clock::now();
            driver->beginScene(true, true, irr::video::SColor(255, 0, 0, 0));
            double inDraw = 0;
            for (int i = 0; i < kDraws / 10; ++i) {
                auto start = std::chrono::steady_clock::now();
                f->draw(kLine, box, irr::video::SColor(255, 242, 198, 1), true, true);
                inDraw += microsecondsSince(start);
            }
            driver->endScene();
            calls.push_back(inDraw / (kDraws / 10));
            frames.push_back(microsecondsSince(frameStart) / (kDraws / 10));
        }
        std::printf("  %4u   %9.1f   %9.1f\n", size, benchstats::median(calls), benchstats::median(frames));
    }

    const double hold = argc > 1 ? std::atof(argv[1]) : 0.0;
    const irr::u32 until = device->getTimer()->getRealTime() + static_cast<irr::u32>(hold * 1000);
    while (hold > 0 && device->run() && device->getTimer()->getRealTime() < until) {
        driver->beginScene(true, true, irr::video::SColor(255, 40, 48, 64));
        irr::s32 top = 10;
        for (irr::u32 size : kSizes) {
            CGUITTFont* f = engine.getFont(font, size);
            const std::wstring text = std::to_wstring(size) + L" px  " + kLine;
            f->draw(text.c_str(), irr::core::recti(10, top, 1014, top + 100), irr::video::SColor(0xFFD69900));
            top += static_cast<irr::s32>(f->getDimension(text.c_str()).Height) + 6;
        }
        CGUITTFont* f = engine.getFont(font, 42);
        f->draw(L"AVATAR WAVE To Ty Yo\n\u00c4rger \u00fcber \u00e9t\u00e9 \u2014 Stra\u00dfe", irr::core::recti(0, 420, 1024, 768),
                irr::video::SColor(0xFFF2C601), true, true);
        driver->endScene();
    }
    return 0;
}
