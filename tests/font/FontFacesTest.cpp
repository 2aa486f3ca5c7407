// Fonts of one file share one FreeType face; FreeType lives from the first face to the last.
#include "FontFixtures.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/CGameEngine.h"
#include "font/CGUITTFont.h"
#include "font/SGUITTFace.h"

using irr::gui::CGUITTFont;
using irr::gui::SGUITTFace;

namespace {

TEST(FontFaces, TwoSizesShareOneFaceAndTheSecondReadsNoFile)
{
    testsupport::CNullEngine engine;
    testsupport::CScratchDir scratch;
    const std::string path = scratch.file("game.ttf");
    std::filesystem::copy_file(fontfixtures::gameFont(), path);

    CGUITTFont* small = CGUITTFont::createTTFont(engine->getDevice(), path.c_str(), 26);
    ASSERT_NE(small, nullptr);
    // With the file gone, only the shared face can serve the second size.
    std::filesystem::remove(path);
    CGUITTFont* large = nullptr;
    const std::string out = testsupport::captureStdout(
        [&] { large = CGUITTFont::createTTFont(engine->getDevice(), path.c_str(), 42); });
    ASSERT_NE(large, nullptr) << out;
    EXPECT_NE(out.find("Creating new font: " + path + " 42pt +antialias +transparency"), std::string::npos) << out;
    ASSERT_EQ(SGUITTFace::faces.size(), 1u);
    EXPECT_EQ(SGUITTFace::faces.begin()->second->getReferenceCount(), 2);

    // The other size keeps working on the face: a character outside the preload still renders.
    small->drop();
    ASSERT_EQ(SGUITTFace::faces.size(), 1u);
    const irr::u32 eAcute = large->getGlyphIndexByChar(0xE9u);
    ASSERT_NE(large->getGlyph(eAcute), nullptr);
    EXPECT_TRUE(large->getGlyph(eAcute)->isLoaded);
    EXPECT_GT(large->getDimension(L"\u00e9").Width, 0u);
    large->drop();
    EXPECT_TRUE(SGUITTFace::faces.empty());
}

TEST(FontFaces, LastFontStopsFreeTypeAndTheNextStartsItAgain)
{
    testsupport::CNullEngine engine;
    EXPECT_FALSE(SGUITTFace::libraryLoaded);
    CGUITTFont* first = CGUITTFont::createTTFont(engine->getDevice(), fontfixtures::gameFont().c_str(), 30);
    CGUITTFont* second = CGUITTFont::createTTFont(engine->getDevice(), fontfixtures::dejaVuFont().c_str(), 30);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(SGUITTFace::libraryLoaded);
    first->drop();
    EXPECT_TRUE(SGUITTFace::libraryLoaded) << "a face is still in use";
    second->drop();
    EXPECT_FALSE(SGUITTFace::libraryLoaded);
    EXPECT_EQ(SGUITTFace::library, nullptr);

    CGUITTFont* again = CGUITTFont::createTTFont(engine->getDevice(), fontfixtures::gameFont().c_str(), 30);
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(SGUITTFace::libraryLoaded);
    EXPECT_GT(again->getDimension(L"Sandvolt").Width, 0u);
    again->drop();
    EXPECT_FALSE(SGUITTFace::libraryLoaded);
}

TEST(FontFaces, UnreadableFileLogsItsLineAndLeavesNoFace)
{
    testsupport::CNullEngine engine;
    testsupport::CScratchDir scratch;
    scratch.write("notes.ttf", "this is not a font\n");
    scratch.write("empty.ttf", "");
    struct Case {
        std::string path;
        const char* line;
    };
    const Case cases[] = {{scratch.file("missing.ttf"), "CGUITTFont: Failed to open the file."},
                          {scratch.file("notes.ttf"), "CGUITTFont: FT_New_Memory_Face failed."},
                          {scratch.file("empty.ttf"), "CGUITTFont: FT_New_Memory_Face failed."},
                          {scratch.path(), "CGUITTFont: Failed to open the file."}};
    for (const Case& c : cases) {
        CGUITTFont* font = reinterpret_cast<CGUITTFont*>(1);
        const std::string out = testsupport::captureStdout(
            [&] { font = CGUITTFont::createTTFont(engine->getDevice(), c.path.c_str(), 20); });
        EXPECT_EQ(font, nullptr) << c.path;
        EXPECT_NE(out.find("CGUITTFont: Creating new font: " + c.path + " 20pt +antialias +transparency"),
                  std::string::npos)
            << out;
        EXPECT_NE(out.find(c.line), std::string::npos) << out;
        EXPECT_TRUE(SGUITTFace::faces.empty()) << c.path;
        EXPECT_FALSE(SGUITTFace::libraryLoaded) << c.path;
    }
}

TEST(FontFaces, LoadRefusesWhatCannotBeAFont)
{
    testsupport::CNullEngine engine;
    EXPECT_EQ(CGUITTFont::createTTFont(engine->getDevice(), fontfixtures::gameFont().c_str(), 0), nullptr);
    EXPECT_EQ(CGUITTFont::createTTFont(engine->getDevice(), "", 20), nullptr);
    EXPECT_EQ(CGUITTFont::createTTFont(static_cast<irr::IrrlichtDevice*>(nullptr), fontfixtures::gameFont().c_str(), 20),
              nullptr);
    EXPECT_TRUE(SGUITTFace::faces.empty());
    EXPECT_FALSE(SGUITTFace::libraryLoaded);
}

} // namespace
