#pragma once
#include <irrlicht.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <vector>

namespace irr {
namespace gui {

struct SGUITTGlyph;

// One texture of equal glyph slots, one slot to a glyph; the few glyphs larger than a slot take a
// block of neighbouring slots. The slot arithmetic runs on the size the page was asked for, never
// on the texture's: the null driver's textures are 0 x 0.
class CGUITTGlyphPage {
public:
    CGUITTGlyphPage(video::IVideoDriver* driver, const io::path& name, const core::dimension2du& size,
                    const core::dimension2du& slotPitch);
    ~CGUITTGlyphPage();
    CGUITTGlyphPage(const CGUITTGlyphPage&) = delete;
    CGUITTGlyphPage& operator=(const CGUITTGlyphPage&) = delete;

    bool createPageTexture(u8 pixelMode, const core::dimension2du& size);
    // Room for a glyph bitmap of this size: the next free slot, or the first free block of slots
    // that holds it (no larger than the page). Gives the room's upper-left corner and size; false
    // when the page has no such room.
    bool takeSlots(const core::dimension2du& bitmap, core::vector2di& origin, core::dimension2du& room);
    // Copies the bitmaps of the glyphs placed since the last paste into the texture.
    void paste();

    const core::dimension2du& getTextureSize() const { return textureSize; }
    const core::dimension2du& getSlotPitch() const { return slotPitch; }
    u32 getSlotCount() const { return (textureSize.Width / slotPitch.Width) * (textureSize.Height / slotPitch.Height); }

    video::ITexture* texture;
    u32 availableSlots;
    u32 usedSlots;
    bool dirty;
    core::array<core::vector2di> renderPositions;
    core::array<core::rect<s32>> renderSourceRects;
    core::array<SGUITTGlyph*> glyphsToPaste;
    video::IVideoDriver* driver;
    io::path name;

private:
    bool blockIsFree(u32 first, u32 columns, u32 rows) const;

    core::dimension2du textureSize;
    core::dimension2du slotPitch;
    // Which slots are taken, row by row; `usedSlots` is the first free one.
    std::vector<bool> taken;
};

} // namespace gui
} // namespace irr
