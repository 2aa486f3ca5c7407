#pragma once
#include <irrlicht.h>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace irr {
namespace gui {

class CGUITTFont;

// One glyph of a font's face: where it sits in its glyph page and how it is placed on a line.
struct SGUITTGlyph {
    SGUITTGlyph();
    SGUITTGlyph(const SGUITTGlyph& other);
    SGUITTGlyph& operator=(const SGUITTGlyph& other);
    ~SGUITTGlyph();

    // Renders the glyph and gives it a slot in the font's last glyph page; it stays unloaded when
    // FreeType fails or no page has room.
    void load(u32 index, FT_Face face, video::IVideoDriver* driver, u32 size, FT_Int32 flags);
    void unload();
    // The bitmap as white pixels with its coverage as alpha, in an image at least one pixel wider
    // and higher than the bitmap.
    static video::IImage* createGlyphImage(const FT_Bitmap& bits, video::IVideoDriver* driver);

    bool isLoaded;
    u32 glyphPage;
    core::rect<s32> sourceRect;
    core::vector2di offset;
    FT_Vector advance;
    // The rendered bitmap until it is pasted into the page texture.
    video::IImage* surface;
    CGUITTFont* parent;
};

} // namespace gui
} // namespace irr
