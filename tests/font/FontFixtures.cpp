#include "FontFixtures.h"

#include <stdexcept>

namespace fontfixtures {

std::string gameFont()
{
    return std::string(SANDVOLT_RUN_DIR) + "/data/fonts/komika_axis.ttf";
}

std::string sourceFont()
{
    return "/usr/share/fonts/truetype/lato/Lato-Black.ttf";
}

std::string dejaVuFont()
{
    return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
}

CReferenceFace::CReferenceFace(const std::string& path, irr::u32 size) : library(nullptr), face(nullptr)
{
    if (FT_Init_FreeType(&library) != 0)
        throw std::runtime_error("FreeType did not start");
    if (FT_New_Face(library, path.c_str(), 0, &face) != 0)
        throw std::runtime_error("no font at " + path);
    FT_Set_Pixel_Sizes(face, 0, size);
}

CReferenceFace::~CReferenceFace()
{
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

FT_UInt CReferenceFace::index(irr::u32 c) const
{
    return FT_Get_Char_Index(face, c);
}

SReferenceGlyph CReferenceFace::glyph(irr::u32 c) const
{
    return glyphByIndex(index(c));
}

SReferenceGlyph CReferenceFace::glyphByIndex(FT_UInt glyphIndex) const
{
    SReferenceGlyph out;
    out.index = glyphIndex;
    if (FT_Load_Glyph(face, glyphIndex, FT_LOAD_RENDER) != 0)
        throw std::runtime_error("FreeType could not render a glyph");
    const FT_GlyphSlot slot = face->glyph;
    out.width = static_cast<int>(slot->bitmap.width);
    out.rows = static_cast<int>(slot->bitmap.rows);
    out.left = slot->bitmap_left;
    out.top = slot->bitmap_top;
    out.advance = static_cast<int>(slot->advance.x / 64);
    const int top = slot->bitmap.num_grays > 1 ? slot->bitmap.num_grays - 1 : 1;
    for (int y = 0; y < out.rows; ++y) {
        for (int x = 0; x < out.width; ++x)
            out.coverage.push_back(static_cast<unsigned char>(slot->bitmap.buffer[y * slot->bitmap.pitch + x] * 255 / top));
    }
    return out;
}

int CReferenceFace::kerning(irr::u32 previous, irr::u32 c) const
{
    FT_Vector k{0, 0};
    FT_Get_Kerning(face, index(previous), index(c), FT_KERNING_DEFAULT, &k);
    return static_cast<int>(k.x / 64);
}

int CReferenceFace::ascender() const
{
    return static_cast<int>(face->size->metrics.ascender / 64);
}

} // namespace fontfixtures
