// The game's font in the run folder: a real TrueType face with a glyph for every character of the
// interface texts, so no text falls back to the replacement glyph, and with that glyph for the
// characters of other texts.
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <fstream>
#include <iterator>
#include <string>

namespace {

// Code points of a UTF-8 text; a malformed byte counts as itself, so it shows up as missing.
std::u32string decodeUtf8(const std::string& bytes)
{
    std::u32string out;
    for (size_t i = 0; i < bytes.size();) {
        const unsigned char lead = bytes[i];
        const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
        char32_t c = extra ? lead & (0x3F >> extra) : lead;
        for (int k = 1; k <= extra && i + k < bytes.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
        out.push_back(c);
        i += extra + 1;
    }
    return out;
}

TEST(GameFont, IsRenamedLatoBlackWithEveryCharacterOfTheTexts)
{
    FT_Library library = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    FT_Face face = nullptr;
    const std::string path = std::string(SANDVOLT_RUN_DIR) + "/data/fonts/komika_axis.ttf";
    ASSERT_EQ(FT_New_Face(library, path.c_str(), 0, &face), 0) << path;
    // A modified Lato may not carry the name.
    EXPECT_STREQ(face->family_name, "Sandvolt Sans");
    EXPECT_STREQ(face->style_name, "Black");
    EXPECT_TRUE(FT_IS_SCALABLE(face));
    EXPECT_NE(FT_Get_Char_Index(face, 0xFFFD), 0u);

    std::ifstream in(std::string(SANDVOLT_RUN_DIR) + "/data/translation.lang", std::ios::binary);
    const std::string texts((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(texts.empty());
    for (char32_t c : decodeUtf8(texts)) {
        if (c == '\n' || c == '\r' || c == '"')
            continue;
        EXPECT_NE(FT_Get_Char_Index(face, c), 0u) << "U+" << std::hex << uint32_t(c);
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

} // namespace
