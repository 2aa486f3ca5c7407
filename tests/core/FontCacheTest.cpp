// The engine object's fonts: one per file and pixel size, deleted with the engine.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/CGameEngine.h"
#include "font/CGUITTFont.h"
#include "font/SGUITTFace.h"
#include "support/TestSupport.h"

using irr::gui::CGUITTFont;
using irr::gui::SGUITTFace;

namespace {

std::string gameFont()
{
    return std::string(SANDVOLT_RUN_DIR) + "/data/fonts/komika_axis.ttf";
}

TEST(FontCache, SameFileAndSizeGiveTheSameFont)
{
    testsupport::CNullEngine engine;
    testsupport::CScratchDir scratch;
    std::filesystem::copy_file(gameFont(), scratch.file("font.ttf"));
    std::filesystem::copy_file(gameFont(), scratch.file("Font.ttf"));

    CGUITTFont* menu = engine->getFont(scratch.file("font.ttf"), 42);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(engine->getFont(scratch.file("font.ttf"), 42), menu);
    EXPECT_EQ(engine->findFont(scratch.file("font.ttf"), 42), menu);
    EXPECT_EQ(menu->getReferenceCount(), 1) << "the cache hands out its own reference";

    CGUITTFont* larger = engine->getFont(scratch.file("font.ttf"), 76);
    ASSERT_NE(larger, nullptr);
    EXPECT_NE(larger, menu);
    EXPECT_EQ(larger->getFontSize(), 76u);
    CGUITTFont* otherCase = engine->getFont(scratch.file("Font.ttf"), 42);
    ASSERT_NE(otherCase, nullptr);
    EXPECT_NE(otherCase, menu);
    EXPECT_EQ(engine->findFont(scratch.file("font.ttf") + "x", 42), nullptr);
    EXPECT_EQ(engine->findFont(scratch.file("font.ttf"), 26), nullptr);
}

TEST(FontCache, FailedFontIsNotKeptAndIsTriedAgain)
{
    testsupport::CNullEngine engine;
    testsupport::CScratchDir scratch;
    const std::string path = scratch.file("late.ttf");
    EXPECT_EQ(engine->getFont(path, 30), nullptr);
    EXPECT_EQ(engine->findFont(path, 30), nullptr);
    std::filesystem::copy_file(gameFont(), path);
    CGUITTFont* font = engine->getFont(path, 30);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(engine->findFont(path, 30), font);
}

// Shut-down deletes the fonts whatever holds them, before the device: their faces and FreeType go.
TEST(FontCache, EngineDeletesItsFontsAtShutDown)
{
    {
        testsupport::CNullEngine engine;
        CGUITTFont* font = engine->getFont(gameFont(), 26);
        ASSERT_NE(font, nullptr);
        font->grab();
        ASSERT_NE(engine->getFont("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 30), nullptr);
        EXPECT_EQ(SGUITTFace::faces.size(), 2u);
    }
    EXPECT_TRUE(SGUITTFace::faces.empty());
    EXPECT_FALSE(SGUITTFace::libraryLoaded);
}

} // namespace
