// The font on the OpenGL driver (run under a private Xvfb): what the glyph pages hold and what a
// drawn text puts on the screen, at the sizes the menus and the race display use at 768 lines.
#include "FontFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "core/CGameEngine.h"
#include "core/SGameSettings.h"
#include "font/CGUITTFont.h"
#include "support/TestSupport.h"

using irr::core::recti;
using irr::gui::CGUITTFont;
using irr::s32;
using irr::u32;

namespace {

const u32 kSizes[] = {26, 30, 34, 42, 49, 76};

class GlyphPixels : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(engine->getDevice(), nullptr) << "no OpenGL window (is DISPLAY set?)";
    }

    testsupport::CGLEngine glEngine{1024, 768};
    CGameEngine* engine = glEngine.get();
};

// Every pixel of every page: a glyph's bitmap rectangle holds exactly FreeType's coverage in
// white, and nothing outside the glyphs' rectangles is touched.
void expectPagesMatchFreeType(CGUITTFont* font, const fontfixtures::CReferenceFace& reference, u32 size)
{
    font->updateGlyphPages();
    std::map<u32, std::vector<u32>> glyphsByPage;
    for (u32 index = 1; font->getGlyph(index); ++index) {
        if (font->getGlyph(index)->isLoaded)
            glyphsByPage[font->getGlyph(index)->glyphPage].push_back(index);
    }
    ASSERT_FALSE(glyphsByPage.empty());
    for (const auto& [pageIndex, indices] : glyphsByPage) {
        irr::video::ITexture* texture = font->getPageTextureByIndex(pageIndex);
        ASSERT_NE(texture, nullptr);
        ASSERT_EQ(texture->getColorFormat(), irr::video::ECF_A8R8G8B8);
        const irr::core::dimension2du extent = texture->getOriginalSize();
        ASSERT_EQ(extent, font->getGlyphPage(pageIndex)->getTextureSize());
        const u32* pixels = static_cast<const u32*>(texture->lock(irr::video::ETLM_READ_ONLY));
        ASSERT_NE(pixels, nullptr);
        const u32 pitch = texture->getPitch() / 4;
        std::vector<bool> covered(extent.Width * extent.Height, false);
        int fullCoverage = 0;
        for (u32 index : indices) {
            const recti& rect = font->getGlyph(index)->sourceRect;
            const fontfixtures::SReferenceGlyph bitmap = reference.glyphByIndex(index);
            ASSERT_EQ(rect.getWidth(), bitmap.width);
            ASSERT_EQ(rect.getHeight(), bitmap.rows);
            // A glyph placed past the page's edge is a fault to report, not an index to follow.
            if (rect.UpperLeftCorner.X < 0 || rect.UpperLeftCorner.Y < 0 ||
                rect.LowerRightCorner.X > static_cast<s32>(extent.Width) ||
                rect.LowerRightCorner.Y > static_cast<s32>(extent.Height)) {
                ADD_FAILURE() << "glyph " << index << " at " << size << " px lies at (" << rect.UpperLeftCorner.X
                              << ", " << rect.UpperLeftCorner.Y << ")-(" << rect.LowerRightCorner.X << ", "
                              << rect.LowerRightCorner.Y << "), outside its " << extent.Width << " x "
                              << extent.Height << " page " << pageIndex;
                continue;
            }
            int wrong = 0;
            for (s32 y = 0; y < bitmap.rows; ++y) {
                for (s32 x = 0; x < bitmap.width; ++x) {
                    const u32 px = rect.UpperLeftCorner.X + x;
                    const u32 py = rect.UpperLeftCorner.Y + y;
                    covered[py * extent.Width + px] = true;
                    const u32 argb = pixels[py * pitch + px];
                    const u32 alpha = argb >> 24;
                    if (alpha != bitmap.at(x, y) || (alpha && (argb & 0xFFFFFF) != 0xFFFFFF))
                        ++wrong;
                    fullCoverage += alpha == 255;
                }
            }
            EXPECT_EQ(wrong, 0) << "glyph " << index << " at " << size << " px";
        }
        EXPECT_GT(fullCoverage, 0) << "full coverage must be fully opaque";
        int stray = 0;
        for (u32 y = 0; y < extent.Height; ++y) {
            for (u32 x = 0; x < extent.Width; ++x) {
                if (!covered[y * extent.Width + x] && (pixels[y * pitch + x] >> 24) != 0)
                    ++stray;
            }
        }
        EXPECT_EQ(stray, 0) << "pixels outside the glyphs on page " << pageIndex << " at " << size << " px";
        texture->unlock();
    }
}

TEST_F(GlyphPixels, PagesHoldFreeTypeBitmapsAndNothingElse)
{
    for (u32 size : kSizes) {
        CGUITTFont* font = engine->getFont(fontfixtures::gameFont(), size);
        ASSERT_NE(font, nullptr);
        fontfixtures::CReferenceFace reference(fontfixtures::gameFont(), size);
        expectPagesMatchFreeType(font, reference, size);
        // Glyphs pasted later land beside the first ones without touching them.
        for (u32 c : {0xC4u, 0xD6u, 0xDCu, 0xE9u, 0xDFu, 0x2014u})
            font->getGlyphIndexByChar(c);
        expectPagesMatchFreeType(font, reference, size);

        irr::video::IImage* w = font->createImageFromChar(U'W');
        ASSERT_NE(w, nullptr);
        const fontfixtures::SReferenceGlyph bitmap = reference.glyph(U'W');
        EXPECT_EQ(w->getDimension(), irr::core::dimension2du(bitmap.width, bitmap.rows));
        EXPECT_EQ(w->getPixel(bitmap.width / 2, bitmap.rows / 2).getAlpha(), bitmap.at(bitmap.width / 2, bitmap.rows / 2));
        w->drop();
    }
}

// What a kerned text puts on the screen, white on black: FreeType's glyphs blended at the places
// the advances and kerning give, nothing cut and nothing else lit. The check mark is not in the
// font: it shows as the replacement glyph, not as a gap.
TEST_F(GlyphPixels, DrawnTextShowsTheGlyphsWhereTheyBelong)
{
    irr::video::IVideoDriver* driver = engine->getVideoDriver();
    const wchar_t* text = L"AVAW Tour \u2713";
    struct Line {
        u32 size;
        s32 top;
    };
    std::vector<Line> lines;
    // Drawn into a texture of the screen's size, which reads back the same on every X server.
    const irr::core::dimension2du screen(1024, 768);
    const std::vector<u32> pixels = testsupport::captureFrame(engine, screen, irr::video::SColor(255, 0, 0, 0), [&] {
        s32 top = 4;
        for (u32 size : kSizes) {
            CGUITTFont* font = engine->getFont(fontfixtures::gameFont(), size);
            ASSERT_NE(font, nullptr);
            font->draw(text, recti(10, top, 1014, top + 120), irr::video::SColor(255, 255, 255, 255));
            lines.push_back({size, top});
            top += static_cast<s32>(font->getDimension(text).Height) + 8;
        }
    });
    ASSERT_EQ(pixels.size(), screen.Width * screen.Height);
    irr::video::IImage* shot = driver->createImageFromData(irr::video::ECF_A8R8G8B8, screen,
                                                           const_cast<u32*>(pixels.data()), false, false);
    driver->writeImageToFile(shot, SANDVOLT_FONT_SHOT);

    // The expected picture, built from FreeType's glyphs alone.
    std::vector<int> expected(screen.Width * screen.Height, 0);
    for (const Line& line : lines) {
        fontfixtures::CReferenceFace reference(fontfixtures::gameFont(), line.size);
        s32 penX = 10;
        u32 previous = 0;
        for (const wchar_t* p = text; *p; ++p) {
            const u32 c = static_cast<u32>(*p);
            if (previous)
                penX += reference.kerning(previous, c);
            const fontfixtures::SReferenceGlyph glyph = reference.glyph(reference.index(c) ? c : 0xFFFDu);
            ASSERT_NE(glyph.index, 0u);
            if (c != U' ') {
                for (s32 y = 0; y < glyph.rows; ++y) {
                    for (s32 x = 0; x < glyph.width; ++x) {
                        const s32 sx = penX + glyph.left + x;
                        const s32 sy = line.top + reference.ascender() - glyph.top + y;
                        int& e = expected[sy * screen.Width + sx];
                        e += (255 - e) * glyph.at(x, y) / 255;
                    }
                }
            }
            penX += glyph.advance;
            previous = c;
        }
    }
    int wrong = 0;
    int lit = 0;
    for (u32 y = 0; y < screen.Height; ++y) {
        for (u32 x = 0; x < screen.Width; ++x) {
            const int seen = shot->getPixel(x, y).getGreen();
            lit += seen > 0;
            wrong += std::abs(seen - expected[y * screen.Width + x]) > 3;
        }
    }
    shot->drop();
    EXPECT_GT(lit, 1000);
    EXPECT_EQ(wrong, 0) << "pixels that differ from FreeType's glyphs at their places";
}

// A font without transparency draws even a fully transparent colour opaque.
TEST_F(GlyphPixels, OpaqueFontIgnoresTheColoursAlpha)
{
    for (bool transparent : {true, false}) {
        CGUITTFont* font = CGUITTFont::createTTFont(engine->getDevice(), fontfixtures::gameFont().c_str(), 42,
                                                    true, transparent);
        ASSERT_NE(font, nullptr);
        const std::vector<u32> pixels = testsupport::captureFrame(
            engine, irr::core::dimension2du(256, 128), irr::video::SColor(255, 0, 0, 0),
            [&] { font->draw(L"WAVE", recti(0, 0, 256, 128), irr::video::SColor(0, 255, 255, 255)); });
        ASSERT_EQ(pixels.size(), 256u * 128u);
        int lit = 0;
        for (u32 pixel : pixels)
            lit += (pixel & 0xFF00) != 0;
        if (transparent)
            EXPECT_EQ(lit, 0);
        else
            EXPECT_GT(lit, 500);
        font->drop();
    }
}

} // namespace
