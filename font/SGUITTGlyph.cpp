#include "font/SGUITTGlyph.h"

#include "font/CGUITTFont.h"
#include "font/CGUITTGlyphPage.h"

namespace irr {
namespace gui {

namespace {

u32 nextPowerOfTwo(u32 n)
{
    u32 p = 1;
    while (p < n)
        p <<= 1;
    return p;
}

} // namespace

SGUITTGlyph::SGUITTGlyph()
    : isLoaded(false), glyphPage(0), sourceRect(0, 0, 0, 0), offset(0, 0), advance{0, 0}, surface(nullptr),
      parent(nullptr)
{
}

SGUITTGlyph::SGUITTGlyph(const SGUITTGlyph& other)
    : isLoaded(other.isLoaded), glyphPage(other.glyphPage), sourceRect(other.sourceRect), offset(other.offset),
      advance(other.advance), surface(other.surface), parent(other.parent)
{
    if (surface)
        surface->grab();
}

SGUITTGlyph& SGUITTGlyph::operator=(const SGUITTGlyph& other)
{
    if (this == &other)
        return *this;
    if (other.surface)
        other.surface->grab();
    if (surface)
        surface->drop();
    isLoaded = other.isLoaded;
    glyphPage = other.glyphPage;
    sourceRect = other.sourceRect;
    offset = other.offset;
    advance = other.advance;
    surface = other.surface;
    parent = other.parent;
    return *this;
}

SGUITTGlyph::~SGUITTGlyph()
{
    if (surface)
        surface->drop();
}

void SGUITTGlyph::load(u32 index, FT_Face face, video::IVideoDriver* driver, u32 size, FT_Int32 flags)
{
    if (isLoaded || !parent)
        return;
    // The face is shared by every size of the font file.
    FT_Set_Pixel_Sizes(face, 0, size);
    if (FT_Load_Glyph(face, index, flags) != 0)
        return;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bits = slot->bitmap;

    // A glyph that finds no room in the last page starts a new one.
    const core::dimension2du bitmap(bits.width, bits.rows);
    core::vector2di origin;
    core::dimension2du room;
    CGUITTGlyphPage* page = parent->getLastGlyphPage();
    if (!page || !page->takeSlots(bitmap, origin, room)) {
        page = parent->createGlyphPage(bits.pixel_mode);
        if (!page || !page->takeSlots(bitmap, origin, room))
            return;
    }

    advance = slot->advance;
    offset = core::vector2di(slot->bitmap_left, slot->bitmap_top);
    glyphPage = parent->getGlyphPageCount() - 1;
    sourceRect = core::rect<s32>(origin, core::dimension2di(core::min_(bitmap.Width, room.Width),
                                                             core::min_(bitmap.Height, room.Height)));
    if (surface)
        surface->drop();
    surface = createGlyphImage(bits, driver);
    page->glyphsToPaste.push_back(this);
    isLoaded = true;
}

void SGUITTGlyph::unload()
{
    if (surface) {
        surface->drop();
        surface = nullptr;
    }
    isLoaded = false;
}

video::IImage* SGUITTGlyph::createGlyphImage(const FT_Bitmap& bits, video::IVideoDriver* driver)
{
    // A damaged font can ask for a glyph of any size: one larger than any page is not drawn
    // (its image size would wrap round and leave the copy below outside the image).
    const u32 kLargest = 4096;
    if (!driver || bits.width > kLargest || bits.rows > kLargest || !bits.buffer)
        return nullptr;
    core::dimension2du size(bits.width + 1, bits.rows + 1);
    video::IImage* image = nullptr;
    switch (bits.pixel_mode) {
    case FT_PIXEL_MODE_MONO: {
        size.Width = nextPowerOfTwo(size.Width);
        size.Height = nextPowerOfTwo(size.Height);
        size.Width = size.Height = core::max_(size.Width, size.Height);
        image = driver->createImage(video::ECF_A1R5G5B5, size);
        image->fill(video::SColor(0, 255, 255, 255));
        const u32 pitch = image->getPitch() / sizeof(u16);
        u16* row = static_cast<u16*>(image->lock());
        const u8* source = bits.buffer;
        for (u32 y = 0; y < bits.rows; ++y) {
            for (u32 x = 0; x < bits.width; ++x) {
                if (source[x / 8] & (0x80 >> (x % 8)))
                    row[x] = 0xFFFF;
            }
            source += bits.pitch;
            row += pitch;
        }
        image->unlock();
        break;
    }
    case FT_PIXEL_MODE_GRAY: {
        if (!driver->queryFeature(video::EVDF_TEXTURE_NPOT)) {
            size.Width = nextPowerOfTwo(size.Width);
            size.Height = nextPowerOfTwo(size.Height);
        }
        if (!driver->queryFeature(video::EVDF_TEXTURE_NSQUARE))
            size.Width = size.Height = core::max_(size.Width, size.Height);
        image = driver->createImage(video::ECF_A8R8G8B8, size);
        image->fill(video::SColor(0, 255, 255, 255));
        const u32 pitch = image->getPitch() / sizeof(u32);
        u32* row = static_cast<u32*>(image->lock());
        const u8* source = bits.buffer;
        // The top grey level is full coverage: 255, not 254.
        const u32 top = bits.num_grays > 1 ? bits.num_grays - 1 : 1;
        for (u32 y = 0; y < bits.rows; ++y) {
            for (u32 x = 0; x < bits.width; ++x)
                row[x] |= static_cast<u32>(core::min_(static_cast<u32>(source[x]) * 255 / top, 255u)) << 24;
            source += bits.pitch;
            row += pitch;
        }
        image->unlock();
        break;
    }
    default:
        // Colour bitmaps (emoji faces) are not drawn by the game's fonts.
        return nullptr;
    }
    return image;
}

} // namespace gui
} // namespace irr
