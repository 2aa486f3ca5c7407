// Where drawn glyphs land and how large a text measures: kerning, line breaks, centring, the
// fallback glyph, invisible characters and surrogate pairs. The glyph positions are read from the
// font's page batches after a draw on the null driver.
#include "FontFixtures.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/CGameEngine.h"
#include "font/CGUITTFont.h"

using irr::core::recti;
using irr::core::vector2di;
using irr::gui::CGUITTFont;
using irr::s32;
using irr::u32;

namespace {

const irr::video::SColor kWhite(255, 255, 255, 255);

struct SDrawn {
    vector2di position;
    recti source;
};

// Every glyph the last draw put into the page batches, page by page, in text order.
std::vector<SDrawn> drawnGlyphs(const CGUITTFont* font)
{
    std::vector<SDrawn> out;
    for (u32 p = 0; p < font->getGlyphPageCount(); ++p) {
        const irr::gui::CGUITTGlyphPage* page = font->getGlyphPage(p);
        for (u32 i = 0; i < page->renderPositions.size(); ++i)
            out.push_back({page->renderPositions[i], page->renderSourceRects[i]});
    }
    return out;
}

std::vector<SDrawn> draw(CGUITTFont* font, const std::wstring& text, const recti& box = recti(0, 0, 800, 600),
                         bool hcenter = false, bool vcenter = false)
{
    font->draw(text.c_str(), box, kWhite, hcenter, vcenter);
    return drawnGlyphs(font);
}

class TextLayout : public ::testing::Test {
protected:
    CGUITTFont* open(const std::string& path, u32 size)
    {
        CGUITTFont* font = CGUITTFont::createTTFont(engine->getDevice(), path.c_str(), size);
        fonts.push_back(font);
        return font;
    }
    void TearDown() override
    {
        for (CGUITTFont* font : fonts) {
            if (font)
                font->drop();
        }
    }
    testsupport::CNullEngine engine;
    std::vector<CGUITTFont*> fonts;
};

TEST_F(TextLayout, KerningPullsThePairTogether)
{
    CGUITTFont* font = open(fontfixtures::gameFont(), 42);
    ASSERT_NE(font, nullptr);
    fontfixtures::CReferenceFace reference(fontfixtures::gameFont(), 42);
    EXPECT_EQ(font->getKerningWidth(L"V", L"A"), -3);
    EXPECT_EQ(font->getKerningWidthU(U'V', U'A'), reference.kerning(U'A', U'V'));
    EXPECT_EQ(font->getKerningWidth(L"V"), 0);

    const fontfixtures::SReferenceGlyph a = reference.glyph(U'A');
    const fontfixtures::SReferenceGlyph v = reference.glyph(U'V');
    const std::vector<SDrawn> glyphs = draw(font, L"AV");
    ASSERT_EQ(glyphs.size(), 2u);
    EXPECT_EQ((glyphs[1].position.X - v.left) - (glyphs[0].position.X - a.left), a.advance - 3);
    EXPECT_EQ(font->getDimension(L"AV").Width, static_cast<u32>(a.advance + v.advance - 3));

    // Extra kerning of the font's own comes on top of every pair.
    font->setKerningWidth(2);
    EXPECT_EQ(font->getKerningWidth(L"V", L"A"), -1);
    EXPECT_EQ(font->getDimension(L"AV").Width, static_cast<u32>(a.advance + v.advance - 1));
}

// Neither font has a glyph for a line feed: the breaks must still break, in the drawing as in the
// measuring that centres it, and must not draw the replacement glyph where the face has one.
TEST_F(TextLayout, LineBreaksStartLinesOneAscenderApart)
{
    for (const std::string& path : {fontfixtures::gameFont(), fontfixtures::sourceFont()}) {
        SCOPED_TRACE(path);
        CGUITTFont* font = open(path, 30);
        ASSERT_NE(font, nullptr);
        fontfixtures::CReferenceFace reference(path, 30);
        ASSERT_EQ(reference.index(U'\n'), 0u);
        const s32 ascender = reference.ascender();
        const u32 lineHeight = font->getDimension(L"A").Height;
        const std::vector<SDrawn> a = draw(font, L"A");
        const std::vector<SDrawn> b = draw(font, L"B");
        ASSERT_EQ(a.size(), 1u);
        ASSERT_EQ(b.size(), 1u);

        for (const wchar_t* text : {L"A\r\nB", L"A\nB", L"A\rB"}) {
            const std::vector<SDrawn> glyphs = draw(font, text);
            ASSERT_EQ(glyphs.size(), 2u) << "a break drew something";
            EXPECT_EQ(glyphs[0].position, a[0].position);
            EXPECT_EQ(glyphs[1].position, b[0].position + vector2di(0, ascender));
            EXPECT_EQ(font->getDimension(text).Height, 2 * lineHeight);
            EXPECT_EQ(font->getDimension(text).Width,
                      std::max(font->getDimension(L"A").Width, font->getDimension(L"B").Width));
        }
        EXPECT_EQ(font->getDimension(L"A\n\nB").Height, 3 * lineHeight);
        EXPECT_EQ(font->getDimension(L"AVA\nB").Width, font->getDimension(L"AVA").Width);

        // Vertical centring moves the two lines by half of what the measure leaves of the box, up
        // when the text is higher than the box.
        for (s32 boxHeight : {200, 20}) {
            const std::vector<SDrawn> centred = draw(font, L"A\nB", recti(0, 0, 800, boxHeight), false, true);
            ASSERT_EQ(centred.size(), 2u);
            const s32 shift = (boxHeight - static_cast<s32>(2 * lineHeight)) >> 1;
            EXPECT_EQ(centred[0].position, a[0].position + vector2di(0, shift)) << boxHeight;
            EXPECT_EQ(centred[1].position, b[0].position + vector2di(0, ascender + shift)) << boxHeight;
        }
    }
}

TEST_F(TextLayout, HorizontalCentringStartsEveryLineAtOneX)
{
    CGUITTFont* font = open(fontfixtures::gameFont(), 30);
    ASSERT_NE(font, nullptr);
    fontfixtures::CReferenceFace reference(fontfixtures::gameFont(), 30);
    const s32 left = 100;
    const std::vector<SDrawn> glyphs = draw(font, L"I\nII", recti(left, 0, left + 400, 100), true, false);
    ASSERT_EQ(glyphs.size(), 3u);
    const s32 start = left + ((400 - static_cast<s32>(font->getDimension(L"II").Width)) >> 1);
    const s32 bitmapLeft = reference.glyph(U'I').left;
    EXPECT_EQ(glyphs[0].position.X, start + bitmapLeft);
    EXPECT_EQ(glyphs[1].position.X, start + bitmapLeft);
    EXPECT_EQ(glyphs[2].position.X, start + bitmapLeft + reference.glyph(U'I').advance);
}

TEST_F(TextLayout, SpaceAdvancesButIsNotDrawn)
{
    CGUITTFont* font = open(fontfixtures::gameFont(), 26);
    ASSERT_NE(font, nullptr);
    fontfixtures::CReferenceFace reference(fontfixtures::gameFont(), 26);
    const std::vector<SDrawn> glyphs = draw(font, L"I I");
    ASSERT_EQ(glyphs.size(), 2u);
    EXPECT_EQ(glyphs[1].position.X - glyphs[0].position.X,
              reference.glyph(U'I').advance + reference.glyph(U' ').advance);
    EXPECT_EQ(font->getDimension(L"I I").Width,
              static_cast<u32>(2 * reference.glyph(U'I').advance + reference.glyph(U' ').advance));

    // The game's font kerns "A" against a space: the space's kerning counts in the drawing as in
    // the measuring, or centred texts would sit a pixel off.
    ASSERT_NE(reference.kerning(U'A', U' '), 0);
    const fontfixtures::SReferenceGlyph a = reference.glyph(U'A');
    const fontfixtures::SReferenceGlyph v = reference.glyph(U'V');
    const s32 spaced = a.advance + reference.kerning(U'A', U' ') + reference.glyph(U' ').advance +
                       reference.kerning(U' ', U'V');
    const std::vector<SDrawn> av = draw(font, L"A V");
    ASSERT_EQ(av.size(), 2u);
    EXPECT_EQ((av[1].position.X - v.left) - (av[0].position.X - a.left), spaced);
    EXPECT_EQ(font->getDimension(L"A V").Width, static_cast<u32>(spaced + v.advance));
}

// A character the face lacks draws its U+FFFD glyph where the face has one (the game's font and
// DejaVu), and nothing (with the fallback width) where it has none.
TEST_F(TextLayout, MissingCharacterFallsBackToTheReplacementGlyph)
{
    const u32 missing = 0x4E00; // a CJK ideograph: in none of the faces
    for (const std::string& path : {fontfixtures::gameFont(), fontfixtures::dejaVuFont()}) {
        SCOPED_TRACE(path);
        CGUITTFont* font = open(path, 30);
        ASSERT_NE(font, nullptr);
        fontfixtures::CReferenceFace reference(path, 30);
        ASSERT_EQ(reference.index(missing), 0u);
        const fontfixtures::SReferenceGlyph replacement = reference.glyph(0xFFFDu);
        ASSERT_NE(replacement.index, 0u);
        EXPECT_EQ(font->getGlyphIndexByChar(missing), replacement.index);
        const std::vector<SDrawn> glyphs = draw(font, std::wstring(1, static_cast<wchar_t>(missing)));
        ASSERT_EQ(glyphs.size(), 1u);
        EXPECT_EQ(glyphs[0].source.getWidth(), replacement.width);
        EXPECT_EQ(glyphs[0].source.getHeight(), replacement.rows);
        EXPECT_EQ(font->getDimension(std::wstring(1, static_cast<wchar_t>(missing)).c_str()).Width,
                  static_cast<u32>(replacement.advance));
    }

    CGUITTFont* lato = open(fontfixtures::sourceFont(), 30);
    ASSERT_NE(lato, nullptr);
    fontfixtures::CReferenceFace latoReference(fontfixtures::sourceFont(), 30);
    EXPECT_EQ(lato->getGlyphIndexByChar(missing), 0u);
    EXPECT_TRUE(draw(lato, std::wstring(1, static_cast<wchar_t>(missing))).empty());
    EXPECT_EQ(lato->getDimension(std::wstring(1, static_cast<wchar_t>(missing)).c_str()).Width,
              static_cast<u32>(latoReference.ascender()));
    EXPECT_EQ(lato->getDimension(L"\u0378").Width, static_cast<u32>(latoReference.ascender() / 2))
        << "below U+2000 a missing character takes half the ascender";
}

// The interface texts are UTF-16: a surrogate pair is one character, drawn and measured once.
TEST_F(TextLayout, SurrogatePairIsOneCharacter)
{
    const u32 doubleStruckA = 0x1D538;
    CGUITTFont* font = open(fontfixtures::dejaVuFont(), 34);
    ASSERT_NE(font, nullptr);
    fontfixtures::CReferenceFace reference(fontfixtures::dejaVuFont(), 34);
    const fontfixtures::SReferenceGlyph glyph = reference.glyph(doubleStruckA);
    ASSERT_NE(glyph.index, 0u);
    const std::wstring pair = {wchar_t(0xD835), wchar_t(0xDD38)};

    const std::vector<SDrawn> glyphs = draw(font, pair);
    ASSERT_EQ(glyphs.size(), 1u);
    EXPECT_EQ(glyphs[0].source.getWidth(), glyph.width);
    EXPECT_EQ(glyphs[0].source.getHeight(), glyph.rows);
    EXPECT_EQ(font->getDimension(pair.c_str()).Width, static_cast<u32>(glyph.advance));
    // The same character held whole in a 32-bit wide character measures the same.
    EXPECT_EQ(font->getDimension(std::wstring(1, wchar_t(doubleStruckA)).c_str()).Width, static_cast<u32>(glyph.advance));
    EXPECT_EQ(font->getCharacterFromPos((pair + L"A").c_str(), glyph.advance + 1), 1);

    EXPECT_EQ(CGUITTFont::toUtf16(std::wstring(1, wchar_t(doubleStruckA)).c_str()), u"\xD835\xDD38");
    struct Case {
        std::u16string units;
        std::vector<u32> codePoints;
    };
    const Case cases[] = {{u"\xD835\xDD38", {0x1D538}},          {u"\xD800\xDC00", {0x10000}},
                          {u"\xDBFF\xDFFF", {0x10FFFF}},         {u"A\xD835", {'A', 0}},
                          {u"\xD835" u"A", {0xD835, 'A'}},       {u"\xDD38" u"A", {0xDD38, 'A'}}};
    for (const Case& c : cases) {
        std::vector<u32> read;
        for (size_t i = 0; i < c.units.size();)
            read.push_back(CGUITTFont::nextCodePoint(c.units, i));
        EXPECT_EQ(read, c.codePoints);
    }
}

TEST_F(TextLayout, CharacterFromPosition)
{
    CGUITTFont* font = open(fontfixtures::gameFont(), 26);
    ASSERT_NE(font, nullptr);
    fontfixtures::CReferenceFace reference(fontfixtures::gameFont(), 26);
    const s32 advance = reference.glyph(U'I').advance;
    EXPECT_EQ(font->getCharacterFromPos(L"IIW", 1), 0);
    EXPECT_EQ(font->getCharacterFromPos(L"IIW", advance), 0);
    EXPECT_EQ(font->getCharacterFromPos(L"IIW", advance + 1), 1);
    EXPECT_EQ(font->getCharacterFromPos(L"IIW", 2 * advance + reference.glyph(U'W').advance + 1), -1);
}

// The text as scene nodes: a quad per drawn glyph, one glyph pixel to a unit, lines one ascender
// apart downwards, each line centred on the origin when asked.
TEST_F(TextLayout, TextSceneNodesHoldAQuadPerGlyph)
{
    CGUITTFont* font = open(fontfixtures::gameFont(), 26);
    ASSERT_NE(font, nullptr);
    fontfixtures::CReferenceFace reference(fontfixtures::gameFont(), 26);
    const fontfixtures::SReferenceGlyph a = reference.glyph(U'A');
    const fontfixtures::SReferenceGlyph v = reference.glyph(U'V');
    const fontfixtures::SReferenceGlyph w = reference.glyph(U'W');
    ASSERT_EQ(font->getGlyphPageCount(), 1u) << "the preload fits one page at this size";
    irr::scene::ISceneManager* scene = engine->getSceneManager();
    for (bool center : {false, true}) {
        irr::core::array<irr::scene::ISceneNode*> nodes =
            font->addTextSceneNode(L"A V\r\nW", scene, nullptr, kWhite, center);
        ASSERT_EQ(nodes.size(), 1u);
        ASSERT_EQ(nodes[0]->getType(), irr::scene::ESNT_MESH);
        irr::scene::IMesh* mesh = static_cast<irr::scene::IMeshSceneNode*>(nodes[0])->getMesh();
        ASSERT_EQ(mesh->getMeshBufferCount(), 3u) << "the space has no quad";
        const irr::core::aabbox3df boxA = mesh->getMeshBuffer(0)->getBoundingBox();
        const irr::core::aabbox3df boxV = mesh->getMeshBuffer(1)->getBoundingBox();
        const irr::core::aabbox3df boxW = mesh->getMeshBuffer(2)->getBoundingBox();
        const float lineA = center ? -static_cast<float>(font->getDimension(L"A V").Width / 2) : 0.0f;
        const float lineW = center ? -static_cast<float>(font->getDimension(L"W").Width / 2) : 0.0f;
        EXPECT_FLOAT_EQ(boxA.MinEdge.X, lineA + a.left);
        EXPECT_FLOAT_EQ(boxA.getExtent().X, a.width);
        EXPECT_FLOAT_EQ(boxA.MaxEdge.Y, -(reference.ascender() - a.top));
        EXPECT_FLOAT_EQ(boxA.getExtent().Y, a.rows);
        EXPECT_FLOAT_EQ(boxV.MinEdge.X,
                        lineA + a.advance + reference.kerning(U'A', U' ') + reference.glyph(U' ').advance +
                            reference.kerning(U' ', U'V') + v.left);
        EXPECT_FLOAT_EQ(boxW.MinEdge.X, lineW + w.left);
        EXPECT_FLOAT_EQ(boxW.MaxEdge.Y, -(2 * reference.ascender() - w.top));
        EXPECT_EQ(mesh->getMeshBuffer(0)->getMaterial().getTexture(0), font->getPageTextureByIndex(0));
        for (irr::u32 i = 0; i < nodes.size(); ++i)
            nodes[i]->remove();
    }
}

TEST_F(TextLayout, OneCharacterSize)
{
    CGUITTFont* font = open(fontfixtures::gameFont(), 76);
    ASSERT_NE(font, nullptr);
    fontfixtures::CReferenceFace reference(fontfixtures::gameFont(), 76);
    const fontfixtures::SReferenceGlyph w = reference.glyph(U'W');
    EXPECT_EQ(w.width, 81);
    EXPECT_EQ(font->getWidthFromCharacter(L'W'),
              irr::core::dimension2du(static_cast<u32>(w.advance), static_cast<u32>(reference.ascender() - w.top + w.rows)));
}

} // namespace
