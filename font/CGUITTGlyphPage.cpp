#include "font/CGUITTGlyphPage.h"

#include "font/SGUITTGlyph.h"

#include <cstring>

namespace irr {
namespace gui {

CGUITTGlyphPage::CGUITTGlyphPage(video::IVideoDriver* videoDriver, const io::path& textureName,
                                 const core::dimension2du& size, const core::dimension2du& pitch)
    : texture(nullptr), availableSlots(0), usedSlots(0), dirty(false), driver(videoDriver),
      name(textureName), textureSize(size),
      slotPitch(core::max_(pitch.Width, 1u), core::max_(pitch.Height, 1u))
{
    availableSlots = getSlotCount();
    taken.assign(availableSlots, false);
}

CGUITTGlyphPage::~CGUITTGlyphPage()
{
    if (!texture)
        return;
    if (driver)
        driver->removeTexture(texture);
    else
        texture->drop();
}

bool CGUITTGlyphPage::createPageTexture(u8 pixelMode, const core::dimension2du& size)
{
    if (texture || !driver)
        return false;
    // Glyphs are drawn pixel for pixel: mip-maps would only blur them and cost memory.
    const bool mipMaps = driver->getTextureCreationFlag(video::ETCF_CREATE_MIP_MAPS);
    driver->setTextureCreationFlag(video::ETCF_CREATE_MIP_MAPS, false);
    texture = driver->addTexture(size, name,
                                 pixelMode == FT_PIXEL_MODE_MONO ? video::ECF_A1R5G5B5 : video::ECF_A8R8G8B8);
    driver->setTextureCreationFlag(video::ETCF_CREATE_MIP_MAPS, mipMaps);
    if (!texture)
        return false;
    // A new texture holds whatever its memory held: clear it, so that only glyphs are in it.
    if (void* pixels = texture->lock(video::ETLM_WRITE_ONLY, 0)) {
        std::memset(pixels, 0, texture->getPitch() * texture->getOriginalSize().Height);
        texture->unlock();
    }
    return true;
}

bool CGUITTGlyphPage::blockIsFree(u32 first, u32 columns, u32 rows) const
{
    const u32 perRow = textureSize.Width / slotPitch.Width;
    for (u32 y = 0; y < rows; ++y) {
        for (u32 x = 0; x < columns; ++x) {
            if (taken[first + y * perRow + x])
                return false;
        }
    }
    return true;
}

bool CGUITTGlyphPage::takeSlots(const core::dimension2du& bitmap, core::vector2di& origin, core::dimension2du& room)
{
    if (availableSlots == 0)
        return false;
    const u32 perRow = textureSize.Width / slotPitch.Width;
    const u32 perColumn = textureSize.Height / slotPitch.Height;
    // A glyph larger than the whole page is cut to it.
    const u32 columns = core::clamp((bitmap.Width + slotPitch.Width - 1) / slotPitch.Width, 1u, perRow);
    const u32 rows = core::clamp((bitmap.Height + slotPitch.Height - 1) / slotPitch.Height, 1u, perColumn);
    u32 first = usedSlots;
    while (first < taken.size() &&
           (first % perRow + columns > perRow || first / perRow + rows > perColumn || !blockIsFree(first, columns, rows)))
        ++first;
    if (first >= taken.size())
        return false;

    for (u32 y = 0; y < rows; ++y) {
        for (u32 x = 0; x < columns; ++x)
            taken[first + y * perRow + x] = true;
    }
    availableSlots -= columns * rows;
    while (usedSlots < taken.size() && taken[usedSlots])
        ++usedSlots;
    origin.X = static_cast<s32>((first % perRow) * slotPitch.Width);
    origin.Y = static_cast<s32>((first / perRow) * slotPitch.Height);
    room = core::dimension2du(columns * slotPitch.Width, rows * slotPitch.Height);
    dirty = true;
    return true;
}

void CGUITTGlyphPage::paste()
{
    if (!dirty || !texture)
        return;
    // A lost texture, or the null driver's, has no memory to write: the glyphs stay pending.
    void* pixels = texture->lock(video::ETLM_READ_WRITE, 0);
    if (!pixels)
        return;
    video::IImage* target = driver->createImageFromData(texture->getColorFormat(), texture->getOriginalSize(),
                                                        pixels, true, false);
    for (u32 i = 0; i < glyphsToPaste.size(); ++i) {
        SGUITTGlyph* glyph = glyphsToPaste[i];
        if (!glyph->isLoaded || !glyph->surface)
            continue;
        // Only the bitmap: the rest of the glyph image is padding that would cover the
        // neighbouring slots.
        const core::rect<s32> bitmap(0, 0, glyph->sourceRect.getWidth(), glyph->sourceRect.getHeight());
        glyph->surface->copyTo(target, glyph->sourceRect.UpperLeftCorner, bitmap);
        glyph->surface->drop();
        glyph->surface = nullptr;
    }
    target->drop();
    texture->unlock();
    glyphsToPaste.clear();
    dirty = false;
}

} // namespace gui
} // namespace irr
