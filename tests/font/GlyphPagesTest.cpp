// Glyphs rendered into page slots: page sizes, names, the preload, slots of the pixel size with
// blocks of them for larger glyphs, and the null driver's empty textures.
#include "FontFixtures.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include "core/CGameEngine.h"
#include "font/CGUITTFont.h"

using irr::core::dimension2du;
using irr::gui::CGUITTFont;
using irr::u32;

namespace {

CGUITTFont* gameFont(testsupport::CNullEngine& engine, u32 size)
{
    return CGUITTFont::createTTFont(engine->getDevice(), fontfixtures::gameFont().c_str(), size);
}

TEST(GlyphPages, PageSizeFollowsThePixelSizeWithinTheLimit)
{
    struct Case {
        u32 pixels;
        dimension2du limit;
        dimension2du page;
    };
    const dimension2du big(16384, 16384);
    const Case cases[] = {{20, big, {256, 256}},    {21, big, {256, 256}},       {22, big, {512, 512}},
                          {42, big, {512, 512}},    {43, big, {1024, 1024}},     {84, big, {1024, 1024}},
                          {85, big, {2048, 2048}},  {168, big, {2048, 2048}},    {169, big, {4096, 4096}},
                          {100, {512, 512}, {512, 512}}, {30, {2048, 256}, {2048, 256}}, {30, {512, 1024}, {512, 512}}};
    for (const Case& c : cases)
        EXPECT_EQ(CGUITTFont::pageTextureSize(c.pixels, c.limit), c.page) << c.pixels;

    // The fonts themselves, on the null driver (whose own limit is far above these).
    testsupport::CNullEngine engine;
    for (u32 pixels : {20u, 22u, 76u}) {
        CGUITTFont* font = gameFont(engine, pixels);
        ASSERT_NE(font, nullptr);
        ASSERT_GE(font->getGlyphPageCount(), 1u);
        EXPECT_EQ(font->getGlyphPage(0)->getTextureSize(), CGUITTFont::pageTextureSize(pixels, big)) << pixels;
        font->drop();
    }
    // A limit of the font's own, set before the pages are made again.
    CGUITTFont* font = gameFont(engine, 100);
    font->setMaxPageTextureSize(dimension2du(512, 512));
    font->setTransparency(true);
    EXPECT_EQ(font->getGlyphPageCount(), 0u);
    ASSERT_NE(font->getGlyphIndexByChar(U'A'), 0u);
    ASSERT_EQ(font->getGlyphPageCount(), 1u);
    const irr::gui::CGUITTGlyphPage* page = font->getGlyphPage(0);
    EXPECT_EQ(page->getTextureSize(), dimension2du(512, 512));
    EXPECT_EQ(page->getSlotPitch(), dimension2du(100, 100));
    EXPECT_EQ(page->getSlotCount(), 25u);
    font->drop();
}

// Slots are the pixel size square: a 20-pixel font has 12 x 12 of them on its 256 x 256 page, and
// the preload (the 95 printable characters and U+FFFD) fits one page at every size the game uses.
TEST(GlyphPages, SlotsAreThePixelSizeAndThePreloadFillsOnePage)
{
    testsupport::CNullEngine engine;
    for (u32 pixels : {20u, 21u, 26u, 30u, 34u, 42u, 49u, 76u}) {
        CGUITTFont* font = gameFont(engine, pixels);
        ASSERT_NE(font, nullptr);
        ASSERT_EQ(font->getGlyphPageCount(), 1u) << pixels;
        const irr::gui::CGUITTGlyphPage* page = font->getGlyphPage(0);
        EXPECT_EQ(page->getSlotPitch(), dimension2du(pixels, pixels)) << pixels;
        const u32 perSide = page->getTextureSize().Width / pixels;
        EXPECT_EQ(page->getSlotCount(), perSide * perSide) << pixels;
        if (pixels == 20) {
            EXPECT_EQ(page->getSlotCount(), 144u);
        }
        font->drop();
    }
}

// A glyph larger than a slot takes a block of neighbouring slots; the glyphs after it take the
// free slots around it in order, and a block that no longer fits is refused (the font then starts
// a new page). A glyph larger than the page gets the whole page.
TEST(GlyphPages, LargeGlyphsTakeABlockOfSlots)
{
    using irr::core::vector2di;
    // 5 x 5 slots of 20 pixels.
    irr::gui::CGUITTGlyphPage page(nullptr, "page", dimension2du(100, 100), dimension2du(20, 20));
    struct Step { dimension2du bitmap; bool taken; vector2di origin; dimension2du room; };
    const Step steps[] = {
        {{10, 15}, true, {0, 0}, {20, 20}},
        {{45, 30}, true, {20, 0}, {60, 40}},  // 3 x 2 slots: 1 to 3 and 6 to 8
        {{20, 20}, true, {80, 0}, {20, 20}},  // a whole slot's bitmap still fits one slot
        {{0, 0}, true, {0, 20}, {20, 20}},    // a space takes a slot too
        {{20, 20}, true, {80, 20}, {20, 20}}, // past the block
        {{21, 81}, false, {0, 0}, {0, 0}},     // 2 x 5: the top rows are taken
        {{1, 1}, true, {0, 40}, {20, 20}},
        {{41, 41}, true, {20, 40}, {60, 60}},  // 3 x 3
    };
    u32 free = 25;
    for (const Step& s : steps) {
        vector2di origin;
        dimension2du room;
        ASSERT_EQ(page.takeSlots(s.bitmap, origin, room), s.taken) << s.bitmap.Width << "x" << s.bitmap.Height;
        if (!s.taken)
            continue;
        EXPECT_EQ(origin, s.origin) << s.bitmap.Width << "x" << s.bitmap.Height;
        EXPECT_EQ(room, s.room) << s.bitmap.Width << "x" << s.bitmap.Height;
        free -= (room.Width / 20) * (room.Height / 20);
        EXPECT_EQ(page.availableSlots, free);
    }

    irr::gui::CGUITTGlyphPage empty(nullptr, "empty", dimension2du(100, 100), dimension2du(20, 20));
    vector2di origin;
    dimension2du room;
    ASSERT_TRUE(empty.takeSlots(dimension2du(300, 30), origin, room));
    EXPECT_EQ(origin, vector2di(0, 0));
    EXPECT_EQ(room, dimension2du(100, 40));
}

TEST(GlyphPages, PagesAreNamedAfterFaceSizeAndNumber)
{
    testsupport::CNullEngine engine;
    CGUITTFont* font = gameFont(engine, 30);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(std::string(font->getPageTextureByIndex(0)->getName().getPath().c_str()),
              "TTFontGlyphPage_Sandvolt Sans.Black.30_0");
    EXPECT_EQ(font->getPageTextureByIndex(font->getGlyphPageCount()), nullptr);
    font->drop();
}

TEST(GlyphPages, LoadRendersCharacters0To126AndNothingElse)
{
    testsupport::CNullEngine engine;
    CGUITTFont* font = gameFont(engine, 26);
    ASSERT_NE(font, nullptr);
    fontfixtures::CReferenceFace reference(fontfixtures::gameFont(), 26);
    for (u32 c = 0; c < 127; ++c) {
        const u32 index = reference.index(c);
        if (index != 0) {
            EXPECT_TRUE(font->getGlyph(index)->isLoaded) << c;
        }
    }
    for (u32 c : {0xE9u, 0xFCu, 0x2014u}) {
        ASSERT_NE(reference.index(c), 0u);
        EXPECT_FALSE(font->getGlyph(reference.index(c))->isLoaded) << c;
    }
    font->drop();
}

// Every glyph keeps its whole bitmap in a slot of its own, however wide the glyph ("W" is wider
// than the pixel size), so no glyph is cut or paints over another.
TEST(GlyphPages, SlotsHoldWholeBitmapsWithoutOverlap)
{
    testsupport::CNullEngine engine;
    for (u32 pixels : {20u, 26u, 49u, 76u}) {
        CGUITTFont* font = gameFont(engine, pixels);
        ASSERT_NE(font, nullptr);
        fontfixtures::CReferenceFace reference(fontfixtures::gameFont(), pixels);
        std::vector<const irr::gui::SGUITTGlyph*> placed;
        for (u32 c = 32; c < 127; ++c) {
            const u32 index = reference.index(c);
            const irr::gui::SGUITTGlyph* glyph = font->getGlyph(index);
            ASSERT_TRUE(glyph && glyph->isLoaded) << c;
            const fontfixtures::SReferenceGlyph bitmap = reference.glyphByIndex(index);
            EXPECT_EQ(glyph->sourceRect.getWidth(), bitmap.width) << pixels << " " << char(c);
            EXPECT_EQ(glyph->sourceRect.getHeight(), bitmap.rows) << pixels << " " << char(c);
            for (const irr::gui::SGUITTGlyph* other : placed) {
                if (other->glyphPage == glyph->glyphPage && glyph->sourceRect.getArea() > 0) {
                    EXPECT_FALSE(other->sourceRect.isRectCollided(glyph->sourceRect)) << pixels << " " << char(c);
                }
            }
            placed.push_back(glyph);
        }
        font->drop();
    }
}

// The null driver's textures are 0 x 0 and cannot be locked: glyphs still get their slots, and
// drawing, measuring and cutting glyph images neither crash nor paste.
TEST(GlyphPages, NullDriverTexturesAreSurvived)
{
    testsupport::CNullEngine engine;
    CGUITTFont* font = gameFont(engine, 42);
    ASSERT_NE(font, nullptr);
    ASSERT_NE(font->getPageTextureByIndex(0), nullptr);
    EXPECT_EQ(font->getPageTextureByIndex(0)->getOriginalSize(), dimension2du(0, 0));
    font->draw(L"Sandvolt \u00e9t\u00e9", irr::core::recti(0, 0, 400, 100), irr::video::SColor(255, 255, 255, 255),
               true, true);
    EXPECT_TRUE(font->getGlyph(font->getGlyphIndexByChar(0xE9u))->isLoaded);
    EXPECT_EQ(font->createImageFromChar(U'W'), nullptr);
    EXPECT_GT(font->getDimension(L"W").Width, 0u);
    EXPECT_TRUE(font->getGlyphPage(0)->dirty) << "the glyphs wait for a texture that can take them";
    font->drop();
}

// Switching the rendering throws the pages away; glyphs come back rendered the new way on demand.
TEST(GlyphPages, ChangingTheRenderingStartsThePagesAfresh)
{
    testsupport::CNullEngine engine;
    CGUITTFont* font = gameFont(engine, 30);
    ASSERT_NE(font, nullptr);
    EXPECT_FALSE(font->getMonochrome());
    EXPECT_TRUE(font->getFontHinting());
    EXPECT_TRUE(font->getFontAutoHinting());
    EXPECT_EQ(font->getFontSizeSlot(), 30u);
    font->setMonochrome(true);
    EXPECT_TRUE(font->getMonochrome());
    EXPECT_EQ(font->getGlyphPageCount(), 0u);
    const u32 w = font->getGlyphIndexByChar(U'W');
    fontfixtures::CReferenceFace reference(fontfixtures::gameFont(), 30);
    EXPECT_FALSE(font->getGlyph(reference.index(U'A'))->isLoaded) << "only the batch around W";
    ASSERT_TRUE(font->getGlyph(w)->isLoaded);
    EXPECT_EQ(font->getPageTextureByIndex(0)->getName().getPath(), "TTFontGlyphPage_Sandvolt Sans.Black.30_0");
    font->setFontHinting(false, false);
    EXPECT_FALSE(font->getFontHinting());
    EXPECT_FALSE(font->getGlyph(w)->isLoaded);
    font->draw(L"WAVE", irr::core::recti(0, 0, 300, 60), irr::video::SColor(255, 255, 255, 255));
    EXPECT_TRUE(font->getGlyph(w)->isLoaded);
    font->drop();
}

// A page limit smaller than one slot gives no page at all: the glyph stays unloaded, no page is
// made for any later glyph, and the characters are measured with the fallback width.
TEST(GlyphPages, NoSlotMeansNoPageAndNoGlyph)
{
    testsupport::CNullEngine engine;
    CGUITTFont* font = gameFont(engine, 76);
    ASSERT_NE(font, nullptr);
    font->setMaxPageTextureSize(dimension2du(32, 32));
    font->setTransparency(true);
    for (int i = 0; i < 3; ++i)
        font->draw(L"WAVE", irr::core::recti(0, 0, 400, 100), irr::video::SColor(255, 255, 255, 255));
    EXPECT_EQ(font->getGlyphPageCount(), 0u);
    EXPECT_FALSE(font->getGlyph(font->getGlyphIndexByChar(U'W'))->isLoaded);
    fontfixtures::CReferenceFace reference(fontfixtures::gameFont(), 76);
    EXPECT_EQ(font->getDimension(L"IIII").Width, 4u * static_cast<u32>(reference.ascender() / 2));
    font->drop();
}

} // namespace
