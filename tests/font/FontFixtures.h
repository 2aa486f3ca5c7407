#pragma once
// What the font tests compare the game's font with: FreeType's own rendering of the same file.
#include <irrlicht.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>
#include <vector>

namespace fontfixtures {

// The game's font as the build lays it into the run folder: kerning and a U+FFFD glyph, but no
// glyph for a line feed.
std::string gameFont();
// The font it is made from (Lato Black as Debian ships it): the same, without U+FFFD.
std::string sourceFont();
// DejaVu Sans: kerning, U+FFFD, and a few characters above U+FFFF.
std::string dejaVuFont();

// A glyph as FreeType renders it with the font's default load flags.
struct SReferenceGlyph {
    FT_UInt index = 0;
    int width = 0;
    int rows = 0;
    int left = 0;
    int top = 0;
    int advance = 0; // pixels
    std::vector<unsigned char> coverage; // rows x width, 0 to 255
    unsigned char at(int x, int y) const { return coverage[static_cast<size_t>(y * width + x)]; }
};

// A face opened on its own FreeType library, apart from the game's font and its shared faces.
class CReferenceFace {
public:
    CReferenceFace(const std::string& path, irr::u32 size);
    ~CReferenceFace();
    CReferenceFace(const CReferenceFace&) = delete;
    CReferenceFace& operator=(const CReferenceFace&) = delete;

    FT_UInt index(irr::u32 c) const;
    SReferenceGlyph glyph(irr::u32 c) const;
    SReferenceGlyph glyphByIndex(FT_UInt index) const;
    // Kerning of the pair in whole pixels, as the game reads it.
    int kerning(irr::u32 previous, irr::u32 c) const;
    int ascender() const;

private:
    FT_Library library;
    FT_Face face;
};

} // namespace fontfixtures
