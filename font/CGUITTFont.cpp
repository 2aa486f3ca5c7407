#include "font/CGUITTFont.h"

#include "font/SGUITTFace.h"
#include "platform/RegularFile.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace irr {
namespace gui {

namespace {

const u32 kFallbackChar = 0xFFFD;
const u32 kPreloadChars = 127;

void logLine(ILogger* logger, const core::stringc& message)
{
    if (logger)
        logger->log("CGUITTFont", message.c_str(), ELL_INFORMATION);
}

} // namespace

CGUITTFont* CGUITTFont::createTTFont(IrrlichtDevice* device, const io::path& filename, u32 size,
                                     bool antialias, bool transparency)
{
    if (!device)
        return nullptr;
    return create(device->getGUIEnvironment(), device, filename, size, antialias, transparency);
}

CGUITTFont* CGUITTFont::createTTFont(IGUIEnvironment* env, const io::path& filename, u32 size, bool antialias,
                                     bool transparency)
{
    return create(env, nullptr, filename, size, antialias, transparency);
}

CGUITTFont* CGUITTFont::create(IGUIEnvironment* env, IrrlichtDevice* device, const io::path& filename, u32 size,
                               bool antialias, bool transparency)
{
    if (!SGUITTFace::libraryLoaded) {
        if (FT_Init_FreeType(&SGUITTFace::library) != 0)
            return nullptr;
        SGUITTFace::libraryLoaded = true;
    }
    CGUITTFont* font = new CGUITTFont(env);
    font->device = device;
    if (!font->load(filename, size, antialias, transparency)) {
        font->drop();
        return nullptr;
    }
    return font;
}

CGUITTFont::CGUITTFont(IGUIEnvironment* env)
    : monochrome(false), transparency(true), hinting(true), autoHinting(true), size(0), batchSize(1),
      pageTextureLimit(0, 0), device(nullptr), environment(env), driver(nullptr), face(nullptr), metrics(),
      loadFlags(FT_LOAD_RENDER), extraKerningX(0), extraKerningY(0), invisibleChars(L" ")
{
    if (environment)
        driver = environment->getVideoDriver();
    if (driver)
        driver->grab();
}

CGUITTFont::~CGUITTFont()
{
    resetGlyphPages();
    pages.clear();
    glyphs.clear();
    auto found = SGUITTFace::faces.find(filename);
    if (found != SGUITTFace::faces.end() && face) {
        // drop() says when it freed the face; reading the count afterwards would touch freed memory.
        if (found->second->drop())
            SGUITTFace::faces.erase(found);
    }
    if (SGUITTFace::faces.empty() && SGUITTFace::libraryLoaded) {
        FT_Done_FreeType(SGUITTFace::library);
        SGUITTFace::library = nullptr;
        SGUITTFace::libraryLoaded = false;
    }
    if (driver)
        driver->drop();
}

bool CGUITTFont::load(const io::path& file, u32 pixelSize, bool antialias, bool transparent)
{
    if (!environment || !driver || pixelSize == 0 || file.size() == 0 || face)
        return false;
    ILogger* logger = device ? device->getLogger() : nullptr;

    filename = file;
    size = pixelSize;
    monochrome = !antialias;
    transparency = transparent;
    updateLoadFlags();

    core::stringc message = "Creating new font: ";
    message += core::stringc(file);
    message += " ";
    message += size;
    message += antialias ? "pt +antialias " : "pt -antialias ";
    message += transparent ? "+transparency" : "-transparency";
    logLine(logger, message);

    SGUITTFace* shared = nullptr;
    auto found = SGUITTFace::faces.find(filename);
    if (found != SGUITTFace::faces.end()) {
        shared = found->second;
        shared->grab();
    } else {
        shared = new SGUITTFace();
        SGUITTFace::faces[filename] = shared;
        auto fail = [&](const char* why) {
            logLine(logger, why);
            SGUITTFace::faces.erase(filename);
            shared->drop();
            return false;
        };
        std::string bytes;
        const SFileOpen read = readRegularFile(filename.c_str(), kFontFileLimit, bytes);
        if (read.result != EFileOpen::Opened) {
            if (read.result == EFileOpen::Refused)
                std::printf("Warning: font file %s could not be read (%s)\n", filename.c_str(),
                            read.problem.c_str());
            return fail("Failed to open the file.");
        }
        shared->fileSize = static_cast<FT_Long>(bytes.size());
        shared->fileData = new FT_Byte[bytes.empty() ? 1 : bytes.size()];
        std::memcpy(shared->fileData, bytes.data(), bytes.size());
        if (FT_New_Memory_Face(SGUITTFace::library, shared->fileData, shared->fileSize, 0, &shared->face) != 0) {
            shared->face = nullptr;
            return fail("FT_New_Memory_Face failed.");
        }
    }

    face = shared->face;
    FT_Set_Pixel_Sizes(face, 0, size);
    if (face->size)
        metrics = face->size->metrics;

    SGUITTGlyph blank;
    blank.parent = this;
    glyphs.clear();
    glyphs.reallocate(static_cast<u32>(face->num_glyphs));
    for (FT_Long i = 0; i < face->num_glyphs; ++i)
        glyphs.push_back(blank);

    const u32 batch = batchSize;
    batchSize = kPreloadChars;
    getGlyphIndexByChar(0u);
    batchSize = batch;
    return true;
}

void CGUITTFont::updateLoadFlags()
{
    loadFlags = FT_LOAD_RENDER;
    if (!hinting)
        loadFlags |= FT_LOAD_NO_HINTING;
    if (!autoHinting)
        loadFlags |= FT_LOAD_NO_AUTOHINT;
    if (monochrome)
        loadFlags |= FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME | FT_LOAD_NO_HINTING;
}

// --- glyphs and pages ---

const SGUITTGlyph* CGUITTFont::getGlyph(u32 index) const
{
    return index > 0 && index <= glyphs.size() ? &glyphs[index - 1] : nullptr;
}

void CGUITTFont::loadGlyph(u32 glyphIndex) const
{
    if (glyphIndex == 0 || glyphIndex > glyphs.size())
        return;
    SGUITTGlyph& glyph = glyphs[glyphIndex - 1];
    if (!glyph.isLoaded)
        glyph.load(glyphIndex, face, driver, size, loadFlags);
}

u32 CGUITTFont::getGlyphIndexByChar(u32 c) const
{
    if (!face)
        return 0;
    u32 index = FT_Get_Char_Index(face, c);
    if (index == 0)
        index = FT_Get_Char_Index(face, kFallbackChar);
    if (index != 0 && index <= glyphs.size() && glyphs[index - 1].isLoaded)
        return index;

    const u32 half = batchSize / 2;
    const u64 start = c > half ? c - half : 0;
    for (u64 ch = start; ch < start + batchSize && ch <= 0xFFFFFFFFu; ++ch)
        loadGlyph(FT_Get_Char_Index(face, static_cast<FT_ULong>(ch)));
    // The batch runs around the missing character, not around U+FFFD standing in for it.
    loadGlyph(index);
    return index <= glyphs.size() ? index : 0;
}

CGUITTGlyphPage* CGUITTFont::getLastGlyphPage() const
{
    if (pages.empty())
        return nullptr;
    CGUITTGlyphPage* page = pages.getLast();
    return page->availableSlots > 0 ? page : nullptr;
}

core::dimension2du CGUITTFont::pageTextureSize(u32 pixelSize, const core::dimension2du& limit)
{
    u32 wanted = 4096;
    if (pixelSize <= 21)
        wanted = 256;
    else if (pixelSize <= 42)
        wanted = 512;
    else if (pixelSize <= 84)
        wanted = 1024;
    else if (pixelSize <= 168)
        wanted = 2048;
    if (wanted > limit.Width || wanted > limit.Height)
        return limit;
    return core::dimension2du(wanted, wanted);
}

CGUITTGlyphPage* CGUITTFont::createGlyphPage(u8 pixelMode) const
{
    if (!driver || !face)
        return nullptr;
    io::path name = "TTFontGlyphPage_";
    name += face->family_name ? face->family_name : "";
    name += ".";
    name += face->style_name ? face->style_name : "";
    name += ".";
    name += size;
    name += "_";
    name += pages.size();

    core::dimension2du limit = pageTextureLimit;
    if (limit.Width == 0 || limit.Height == 0)
        limit = driver->getMaxTextureSize();
    if (limit.Width == 0 || limit.Height == 0)
        limit = core::dimension2du(1024, 1024);
    const core::dimension2du textureSize = pageTextureSize(size, limit);

    CGUITTGlyphPage* page = new CGUITTGlyphPage(driver, name, textureSize, core::dimension2du(size, size));
    // A page without a slot would be followed by another one for every glyph asked for.
    if (page->getSlotCount() == 0 || !page->createPageTexture(pixelMode, textureSize)) {
        delete page;
        return nullptr;
    }
    pages.push_back(page);
    return page;
}

void CGUITTFont::updateGlyphPages() const
{
    for (u32 i = 0; i < pages.size(); ++i)
        pages[i]->paste();
}

void CGUITTFont::resetGlyphPages()
{
    for (u32 i = 0; i < glyphs.size(); ++i)
        glyphs[i].unload();
    for (u32 i = 0; i < pages.size(); ++i)
        delete pages[i];
    pages.clear();
    updateLoadFlags();
}

video::ITexture* CGUITTFont::getPageTextureByIndex(u32 i) const
{
    return i < pages.size() ? pages[i]->texture : nullptr;
}

// --- the interface's settings ---

void CGUITTFont::setKerningWidth(s32 kerning) { extraKerningX = kerning; }
void CGUITTFont::setKerningHeight(s32 kerning) { extraKerningY = kerning; }
s32 CGUITTFont::getKerningHeight() const { return extraKerningY; }
void CGUITTFont::setBatchLoadSize(u32 batch) { batchSize = batch; }
void CGUITTFont::setMaxPageTextureSize(const core::dimension2du& limit) { pageTextureLimit = limit; }
u32 CGUITTFont::getFontSizeSlot() const { return size; }
bool CGUITTFont::getTransparency() const { return transparency; }
bool CGUITTFont::getFontAutoHinting() const { return autoHinting; }
bool CGUITTFont::getFontHinting() const { return hinting; }
bool CGUITTFont::getMonochrome() const { return monochrome; }

void CGUITTFont::setTransparency(bool flag)
{
    transparency = flag;
    resetGlyphPages();
}

void CGUITTFont::setMonochrome(bool flag)
{
    monochrome = flag;
    resetGlyphPages();
}

void CGUITTFont::setFontHinting(bool enable, bool enableAutoHinting)
{
    hinting = enable;
    autoHinting = enableAutoHinting;
    resetGlyphPages();
}

void CGUITTFont::setInvisibleCharacters(const wchar_t* s)
{
    setInvisibleCharactersU(toUtf16(s));
}

void CGUITTFont::setInvisibleCharactersU(const std::u16string& s)
{
    invisibleChars = L"";
    for (size_t i = 0; i < s.size();)
        invisibleChars.append(static_cast<wchar_t>(nextCodePoint(s, i)));
}

bool CGUITTFont::isInvisible(u32 c) const
{
    return invisibleChars.findFirst(static_cast<wchar_t>(c)) >= 0;
}

// --- text ---

std::u16string CGUITTFont::toUtf16(const wchar_t* text)
{
    std::u16string out;
    toUtf16(text, out);
    return out;
}

void CGUITTFont::toUtf16(const wchar_t* text, std::u16string& out)
{
    out.clear();
    if (!text)
        return;
    for (; *text; ++text) {
        const u32 c = static_cast<u32>(*text);
        if (c > 0xFFFF && c <= 0x10FFFF) {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c > 0xFFFF ? kFallbackChar : c));
        }
    }
}

u32 CGUITTFont::nextCodePoint(const std::u16string& text, size_t& i)
{
    const u32 unit = text[i++];
    if (unit < 0xD800 || unit > 0xDBFF)
        return unit;
    if (i >= text.size())
        return 0;
    const u32 low = text[i];
    if (low < 0xDC00 || low > 0xDFFF)
        return unit;
    ++i;
    return ((((unit >> 6) & 0x1F) + 1) << 16) + ((unit & 0x3F) << 10) + (low & 0x3FF);
}

s32 CGUITTFont::ascender() const
{
    return static_cast<s32>(metrics.ascender / 64);
}

s32 CGUITTFont::charAdvance(u32 c, u32 glyphIndex) const
{
    const SGUITTGlyph* glyph = getGlyph(glyphIndex);
    if (glyph && glyph->isLoaded)
        return static_cast<s32>(glyph->advance.x / 64);
    return c < 0x2000 ? ascender() / 2 : ascender();
}

s32 CGUITTFont::charHeight(u32 c) const
{
    const SGUITTGlyph* glyph = getGlyph(getGlyphIndexByChar(c));
    if (glyph && glyph->isLoaded)
        return ascender() - glyph->offset.Y + glyph->sourceRect.getHeight();
    return c < 0x2000 ? ascender() / 2 : ascender();
}

core::vector2di CGUITTFont::getKerning(u32 thisLetter, u32 previousLetter) const
{
    if (!face || thisLetter == 0 || previousLetter == 0)
        return core::vector2di(0, 0);
    // The face is shared with the file's other sizes; setting the size is not free, so only when
    // another size was set last.
    if (!face->size || face->size->metrics.x_ppem != size || face->size->metrics.y_ppem != size)
        FT_Set_Pixel_Sizes(face, 0, size);
    core::vector2di result(extraKerningX, extraKerningY);
    if (!FT_HAS_KERNING(face))
        return result;
    FT_Vector kerning;
    if (FT_Get_Kerning(face, getGlyphIndexByChar(previousLetter), getGlyphIndexByChar(thisLetter), FT_KERNING_DEFAULT,
                       &kerning) != 0)
        return result;
    if (FT_IS_SCALABLE(face)) {
        result.X += static_cast<s32>(kerning.x / 64);
        result.Y += static_cast<s32>(kerning.y / 64);
    } else {
        result.X += static_cast<s32>(kerning.x);
        result.Y += static_cast<s32>(kerning.y);
    }
    return result;
}

s32 CGUITTFont::getKerningWidth(const wchar_t* thisLetter, const wchar_t* previousLetter) const
{
    if (!face)
        return extraKerningX;
    if (!thisLetter || !previousLetter)
        return 0;
    return getKerningWidthU(static_cast<u32>(*thisLetter), static_cast<u32>(*previousLetter));
}

s32 CGUITTFont::getKerningWidthU(u32 thisLetter, u32 previousLetter) const
{
    return getKerning(thisLetter, previousLetter).X;
}

core::dimension2d<u32> CGUITTFont::getWidthFromCharacter(wchar_t c) const
{
    const u32 code = static_cast<u32>(c);
    return core::dimension2d<u32>(static_cast<u32>(charAdvance(code, getGlyphIndexByChar(code))),
                                  static_cast<u32>(charHeight(code)));
}

core::dimension2d<u32> CGUITTFont::getDimension(const wchar_t* text) const
{
    toUtf16(text, units);
    return getDimensionU(units);
}

core::dimension2d<u32> CGUITTFont::getDimensionU(const std::u16string& text) const
{
    const s32 lineHeight = core::max_(charHeight('g'), charHeight('j'), charHeight('_')) + 1;
    s32 width = 0;
    s32 height = lineHeight;
    s32 lineWidth = 0;
    u32 previous = 0;
    for (size_t i = 0; i < text.size();) {
        const u32 c = nextCodePoint(text, i);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i < text.size() && text[i] == u'\n')
                ++i;
            height += lineHeight;
            width = core::max_(width, lineWidth);
            lineWidth = 0;
            previous = 0;
            continue;
        }
        lineWidth += getKerning(c, previous).X + charAdvance(c, getGlyphIndexByChar(c));
        previous = c;
    }
    width = core::max_(width, lineWidth);
    return core::dimension2d<u32>(static_cast<u32>(core::max_(width, 0)), static_cast<u32>(core::max_(height, 0)));
}

s32 CGUITTFont::getCharacterFromPos(const wchar_t* text, s32 pixel_x) const
{
    return getCharacterFromPosU(toUtf16(text), pixel_x);
}

s32 CGUITTFont::getCharacterFromPosU(const std::u16string& text, s32 pixel_x) const
{
    s32 x = 0;
    s32 index = 0;
    u32 previous = 0;
    for (size_t i = 0; i < text.size(); ++index) {
        const u32 c = nextCodePoint(text, i);
        x += getKerning(c, previous).X + charAdvance(c, getGlyphIndexByChar(c));
        if (x >= pixel_x)
            return index;
        previous = c;
    }
    return -1;
}

void CGUITTFont::draw(const core::stringw& text, const core::rect<s32>& position, video::SColor color, bool hcenter,
                      bool vcenter, const core::rect<s32>* clip)
{
    if (!driver || !face)
        return;
    for (u32 i = 0; i < pages.size(); ++i) {
        pages[i]->renderPositions.set_used(0);
        pages[i]->renderSourceRects.set_used(0);
    }
    usedPages.set_used(0);

    toUtf16(text.c_str(), units);
    core::vector2di offset = position.UpperLeftCorner;
    s32 centreX = 0;
    if (hcenter || vcenter) {
        const core::dimension2d<u32> extent = getDimensionU(units);
        if (hcenter)
            centreX = (position.getWidth() - static_cast<s32>(extent.Width)) >> 1;
        if (vcenter)
            offset.Y += (position.getHeight() - static_cast<s32>(extent.Height)) >> 1;
    }
    offset.X += centreX;

    u32 previous = 0;
    for (size_t i = 0; i < units.size();) {
        const u32 c = nextCodePoint(units, i);
        // Line breaks come first: a face without a glyph for them still breaks the line, as the
        // measuring does.
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i < units.size() && units[i] == u'\n')
                ++i;
            previous = 0;
            offset.Y += ascender();
            offset.X = position.UpperLeftCorner.X + centreX;
            continue;
        }
        const u32 index = getGlyphIndexByChar(c);
        offset += getKerning(c, previous);
        const SGUITTGlyph* glyph = getGlyph(index);
        if (glyph && glyph->isLoaded && !isInvisible(c)) {
            CGUITTGlyphPage* page = pages[glyph->glyphPage];
            page->renderPositions.push_back(
                core::vector2di(offset.X + glyph->offset.X, offset.Y + ascender() - glyph->offset.Y));
            page->renderSourceRects.push_back(glyph->sourceRect);
            if (usedPages.linear_search(glyph->glyphPage) < 0)
                usedPages.push_back(glyph->glyphPage);
        }
        offset.X += charAdvance(c, index);
        previous = c;
    }

    updateGlyphPages();

    if (!transparency)
        color.setAlpha(255);
    usedPages.sort();
    for (u32 i = 0; i < usedPages.size(); ++i) {
        CGUITTGlyphPage* page = pages[usedPages[i]];
        if (page->texture)
            driver->draw2DImageBatch(page->texture, page->renderPositions, page->renderSourceRects, clip, color, true);
    }
}

core::array<scene::ISceneNode*> CGUITTFont::addTextSceneNode(const wchar_t* text, scene::ISceneManager* smgr,
                                                             scene::ISceneNode* parent, const video::SColor& color,
                                                             bool center)
{
    core::array<scene::ISceneNode*> nodes;
    if (!smgr || !face || !text)
        return nodes;
    // One unit quad for every text of the run; each glyph takes a scaled copy of it.
    static scene::SMeshBuffer* unitQuad = nullptr;
    if (!unitQuad) {
        unitQuad = new scene::SMeshBuffer();
        const video::SColor white(255, 255, 255, 255);
        unitQuad->Vertices.push_back(video::S3DVertex(0, 0, 0, 0, 0, -1, white, 0, 0));
        unitQuad->Vertices.push_back(video::S3DVertex(1, 0, 0, 0, 0, -1, white, 1, 0));
        unitQuad->Vertices.push_back(video::S3DVertex(1, -1, 0, 0, 0, -1, white, 1, 1));
        unitQuad->Vertices.push_back(video::S3DVertex(0, -1, 0, 0, 0, -1, white, 0, 1));
        const u16 indices[] = {0, 1, 2, 0, 2, 3};
        for (u16 i : indices)
            unitQuad->Indices.push_back(i);
    }

    std::u16string line;
    const std::u16string all = toUtf16(text);
    core::array<scene::SMesh*> meshes;
    s32 top = 0;
    for (size_t start = 0; start <= all.size();) {
        size_t end = start;
        while (end < all.size() && all[end] != u'\r' && all[end] != u'\n')
            ++end;
        line.assign(all, start, end - start);
        s32 penX = center ? -static_cast<s32>(getDimensionU(line).Width / 2) : 0;
        u32 previous = 0;
        for (size_t i = 0; i < line.size();) {
            const u32 c = nextCodePoint(line, i);
            const u32 index = getGlyphIndexByChar(c);
            penX += getKerning(c, previous).X;
            const SGUITTGlyph* glyph = getGlyph(index);
            if (glyph && glyph->isLoaded && !isInvisible(c) && glyph->sourceRect.getArea() > 0) {
                if (meshes.size() < pages.size()) {
                    const u32 old = meshes.size();
                    meshes.set_used(pages.size());
                    for (u32 m = old; m < meshes.size(); ++m)
                        meshes[m] = nullptr;
                }
                if (!meshes[glyph->glyphPage])
                    meshes[glyph->glyphPage] = new scene::SMesh();
                const core::dimension2du& pageSize = pages[glyph->glyphPage]->getTextureSize();
                const f32 w = static_cast<f32>(glyph->sourceRect.getWidth());
                const f32 h = static_cast<f32>(glyph->sourceRect.getHeight());
                const f32 x = static_cast<f32>(penX + glyph->offset.X);
                const f32 y = static_cast<f32>(top - (ascender() - glyph->offset.Y));
                const f32 u0 = glyph->sourceRect.UpperLeftCorner.X / static_cast<f32>(pageSize.Width);
                const f32 v0 = glyph->sourceRect.UpperLeftCorner.Y / static_cast<f32>(pageSize.Height);
                const f32 u1 = glyph->sourceRect.LowerRightCorner.X / static_cast<f32>(pageSize.Width);
                const f32 v1 = glyph->sourceRect.LowerRightCorner.Y / static_cast<f32>(pageSize.Height);
                scene::SMeshBuffer* quad = new scene::SMeshBuffer();
                quad->Indices = unitQuad->Indices;
                for (u32 v = 0; v < unitQuad->Vertices.size(); ++v) {
                    video::S3DVertex vertex = unitQuad->Vertices[v];
                    vertex.Pos = core::vector3df(x + vertex.Pos.X * w, y + vertex.Pos.Y * h, 0);
                    vertex.TCoords = core::vector2df(vertex.TCoords.X ? u1 : u0, vertex.TCoords.Y ? v1 : v0);
                    vertex.Color = color;
                    quad->Vertices.push_back(vertex);
                }
                quad->Material.setTexture(0, pages[glyph->glyphPage]->texture);
                quad->Material.MaterialType = video::EMT_TRANSPARENT_ALPHA_CHANNEL;
                quad->Material.Lighting = false;
                quad->Material.BackfaceCulling = false;
                quad->recalculateBoundingBox();
                meshes[glyph->glyphPage]->addMeshBuffer(quad);
                quad->drop();
            }
            penX += charAdvance(c, index);
            previous = c;
        }
        if (end >= all.size())
            break;
        start = end + (all[end] == u'\r' && end + 1 < all.size() && all[end + 1] == u'\n' ? 2 : 1);
        top -= ascender();
    }
    updateGlyphPages();

    for (u32 i = 0; i < meshes.size(); ++i) {
        if (!meshes[i])
            continue;
        meshes[i]->recalculateBoundingBox();
        nodes.push_back(smgr->addMeshSceneNode(meshes[i], parent));
        meshes[i]->drop();
    }
    return nodes;
}

video::IImage* CGUITTFont::createImageFromChar(u32 c)
{
    const SGUITTGlyph* glyph = getGlyph(getGlyphIndexByChar(c));
    if (!glyph || !glyph->isLoaded || !driver)
        return nullptr;
    updateGlyphPages();
    video::ITexture* texture = pages[glyph->glyphPage]->texture;
    if (!texture || glyph->sourceRect.getWidth() <= 0 || glyph->sourceRect.getHeight() <= 0)
        return nullptr;
    void* pixels = texture->lock(video::ETLM_READ_ONLY, 0);
    if (!pixels)
        return nullptr;
    video::IImage* pageImage =
        driver->createImageFromData(texture->getColorFormat(), texture->getOriginalSize(), pixels, true, false);
    video::IImage* image = driver->createImage(
        texture->getColorFormat(),
        core::dimension2du(static_cast<u32>(glyph->sourceRect.getWidth()), static_cast<u32>(glyph->sourceRect.getHeight())));
    pageImage->copyTo(image, core::vector2di(0, 0), glyph->sourceRect);
    pageImage->drop();
    texture->unlock();
    return image;
}

} // namespace gui
} // namespace irr
