#pragma once
#include <irrlicht.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

#include "font/CGUITTGlyphPage.h"
#include "font/SGUITTGlyph.h"

namespace irr {
namespace gui {

// The game's TrueType font: glyphs rendered by FreeType on demand into shared page textures, drawn
// with one batched call per page. Texts are walked as UTF-16, as the interface texts are stored.
class CGUITTFont : public IGUIFont {
public:
    // A loaded font (reference count 1, owned by the caller), or null.
    static CGUITTFont* createTTFont(IrrlichtDevice* device, const io::path& filename, u32 size,
                                    bool antialias = true, bool transparency = true);
    // The same without a device, so without a log.
    static CGUITTFont* createTTFont(IGUIEnvironment* env, const io::path& filename, u32 size,
                                    bool antialias = true, bool transparency = true);

    explicit CGUITTFont(IGUIEnvironment* env);
    ~CGUITTFont() override;
    CGUITTFont(const CGUITTFont&) = delete;
    CGUITTFont& operator=(const CGUITTFont&) = delete;

    bool load(const io::path& filename, u32 size, bool antialias, bool transparency);

    void draw(const core::stringw& text, const core::rect<s32>& position, video::SColor color,
              bool hcenter = false, bool vcenter = false, const core::rect<s32>* clip = 0) override;
    core::dimension2d<u32> getDimension(const wchar_t* text) const override;
    s32 getCharacterFromPos(const wchar_t* text, s32 pixel_x) const override;
    EGUI_FONT_TYPE getType() const override { return EGFT_CUSTOM; }
    void setKerningWidth(s32 kerning) override;
    void setKerningHeight(s32 kerning) override;
    s32 getKerningWidth(const wchar_t* thisLetter = 0, const wchar_t* previousLetter = 0) const override;
    s32 getKerningHeight() const override;
    void setInvisibleCharacters(const wchar_t* s) override;

    virtual void setBatchLoadSize(u32 batch);
    virtual void setMaxPageTextureSize(const core::dimension2du& limit);
    virtual u32 getFontSizeSlot() const;
    virtual bool getTransparency() const;
    virtual bool getFontAutoHinting() const;
    virtual bool getFontHinting() const;
    virtual bool getMonochrome() const;
    virtual void setTransparency(bool flag);
    virtual void setMonochrome(bool flag);
    virtual void setFontHinting(bool enable, bool enableAutoHinting = true);
    virtual core::dimension2d<u32> getWidthFromCharacter(wchar_t c) const;
    virtual core::dimension2d<u32> getDimensionU(const std::u16string& text) const;
    virtual s32 getCharacterFromPosU(const std::u16string& text, s32 pixel_x) const;
    virtual s32 getKerningWidthU(u32 thisLetter, u32 previousLetter) const;
    virtual void setInvisibleCharactersU(const std::u16string& s);
    // A new image of one character's glyph as it stands in its page, or null (no glyph, or a
    // texture that cannot be read, as on the null driver).
    virtual video::IImage* createImageFromChar(u32 c);
    virtual video::ITexture* getPageTextureByIndex(u32 i) const;
    // The text as scene nodes under `parent`, one per glyph page with a quad per glyph, one unit
    // to a glyph pixel, +y up; the first line's top starts at the parent's origin, each line
    // centred on it with `center`. The scene manager owns the nodes.
    virtual core::array<scene::ISceneNode*> addTextSceneNode(const wchar_t* text, scene::ISceneManager* smgr,
                                                             scene::ISceneNode* parent = 0,
                                                             const video::SColor& color = video::SColor(255, 0, 0, 0),
                                                             bool center = false);

    const io::path& getFontFileName() const { return filename; }
    u32 getFontSize() const { return size; }

    // The glyph index to draw a code point with (U+FFFD when the face lacks it), its glyph loaded;
    // 0 when there is none.
    u32 getGlyphIndexByChar(u32 c) const;
    u32 getGlyphIndexByChar(wchar_t c) const { return getGlyphIndexByChar(static_cast<u32>(c)); }
    core::vector2di getKerning(u32 thisLetter, u32 previousLetter) const;
    void updateLoadFlags();
    void updateGlyphPages() const;
    void resetGlyphPages();

    CGUITTGlyphPage* getLastGlyphPage() const;
    CGUITTGlyphPage* createGlyphPage(u8 pixelMode) const;
    u32 getGlyphPageCount() const { return pages.size(); }
    const CGUITTGlyphPage* getGlyphPage(u32 i) const { return i < pages.size() ? pages[i] : nullptr; }
    // The record of a FreeType glyph index, null for 0 or out of range.
    const SGUITTGlyph* getGlyph(u32 index) const;
    // The square page texture wanted for a pixel size, kept within the limit.
    static core::dimension2du pageTextureSize(u32 pixelSize, const core::dimension2du& limit);

    // UTF-16 units of a wide text; characters above U+FFFF become surrogate pairs.
    static std::u16string toUtf16(const wchar_t* text);
    static void toUtf16(const wchar_t* text, std::u16string& out);
    // The code point at `i`, joining a surrogate pair; moves `i` past it.
    static u32 nextCodePoint(const std::u16string& text, size_t& i);

private:
    static CGUITTFont* create(IGUIEnvironment* env, IrrlichtDevice* device, const io::path& filename, u32 size,
                              bool antialias, bool transparency);
    s32 ascender() const;
    s32 charAdvance(u32 c, u32 glyphIndex) const;
    s32 charHeight(u32 c) const;
    bool isInvisible(u32 c) const;
    void loadGlyph(u32 glyphIndex) const;

    bool monochrome;
    bool transparency;
    bool hinting;
    bool autoHinting;
    u32 size;
    u32 batchSize;
    core::dimension2du pageTextureLimit;
    IrrlichtDevice* device;
    IGUIEnvironment* environment;
    video::IVideoDriver* driver;
    io::path filename;
    FT_Face face;
    FT_Size_Metrics metrics;
    FT_Int32 loadFlags;
    // Glyphs and pages come into being while a text is measured or drawn.
    mutable core::array<CGUITTGlyphPage*> pages;
    mutable core::array<SGUITTGlyph> glyphs;
    s32 extraKerningX;
    s32 extraKerningY;
    core::stringw invisibleChars;
    core::array<u32> usedPages;
    // The text being drawn or measured, kept so that a frame's texts reuse one buffer.
    mutable std::u16string units;
};

} // namespace gui
} // namespace irr
