#include "platform/CDDSImageLoader.h"

#include <IImage.h>
#include <IReadFile.h>
#include <IVideoDriver.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using irr::u32;

namespace {

const u32 kHeaderBytes = 128;      // "DDS " and the 124-byte surface description
const u32 kMaxSide = 16384;        // beyond anything a card of ours can take: a corrupt header
const u32 kPixelFormatFourCC = 0x4;
const u32 kPixelFormatAlpha = 0x1; // the alpha mask is meaningful
const u32 kPixelFormatRGB = 0x40;

enum EDDSLayout { EDL_DXT1, EDL_DXT3, EDL_DXT5, EDL_MASKED };

struct SDDSSurface {
    EDDSLayout layout = EDL_MASKED;
    u32 width = 0;
    u32 height = 0;
    u32 bytesPerPixel = 0;        // plain layouts only
    u32 masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha; alpha 0 means opaque
    uint64_t dataSize = 0;        // bytes of the top mip level
};

u32 readU32(const uint8_t* p)
{
    return u32(p[0]) | u32(p[1]) << 8 | u32(p[2]) << 16 | u32(p[3]) << 24;
}

std::string format(const char* pattern, unsigned long long a, unsigned long long b = 0)
{
    char text[160];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

std::string fourCCText(u32 code)
{
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const char c = char((code >> (8 * i)) & 0xff);
        text += (c >= 32 && c < 127) ? c : '?';
    }
    return text;
}

bool masksFit(const SDDSSurface& s)
{
    const uint64_t usable = (uint64_t(1) << (8 * s.bytesPerPixel)) - 1;
    for (u32 mask : s.masks)
        if (mask & ~usable)
            return false;
    return (s.masks[0] | s.masks[1] | s.masks[2]) != 0;
}

// Reads the header at the file's position and checks that the top mip level is all there, so
// that decoding afterwards never runs past the end of the file.
bool readSurface(irr::io::IReadFile* file, SDDSSurface& s, std::string& reason)
{
    uint8_t h[kHeaderBytes];
    const irr::s32 got = file->read(h, kHeaderBytes);
    if (got >= 4 && std::memcmp(h, "DDS ", 4) != 0) {
        reason = "not a DDS file (bad magic)";
        return false;
    }
    if (got < irr::s32(kHeaderBytes)) {
        reason = format("truncated header (%llu of %llu bytes)", got < 0 ? 0 : got, kHeaderBytes);
        return false;
    }
    if (readU32(h + 4) != 124) {
        reason = format("bad header size %llu", readU32(h + 4));
        return false;
    }
    if (readU32(h + 76) != 32) {
        reason = format("bad pixel format size %llu", readU32(h + 76));
        return false;
    }
    s.height = readU32(h + 12);
    s.width = readU32(h + 16);
    if (s.width == 0 || s.height == 0 || s.width > kMaxSide || s.height > kMaxSide) {
        reason = format("bad dimensions %llu x %llu", s.width, s.height);
        return false;
    }

    const u32 flags = readU32(h + 80);
    const uint64_t blocks = uint64_t((s.width + 3) / 4) * ((s.height + 3) / 4);
    if (flags & kPixelFormatFourCC) {
        const u32 code = readU32(h + 84);
        if (std::memcmp(h + 84, "DXT1", 4) == 0) {
            s.layout = EDL_DXT1;
            s.dataSize = blocks * 8;
        } else if (std::memcmp(h + 84, "DXT3", 4) == 0) {
            s.layout = EDL_DXT3;
            s.dataSize = blocks * 16;
        } else if (std::memcmp(h + 84, "DXT5", 4) == 0) {
            s.layout = EDL_DXT5;
            s.dataSize = blocks * 16;
        } else {
            reason = "unsupported compression '" + fourCCText(code) + "'";
            return false;
        }
    } else if (flags & kPixelFormatRGB) {
        const u32 bits = readU32(h + 88);
        if (bits != 24 && bits != 32) {
            reason = format("unsupported pixel format (%llu-bit)", bits);
            return false;
        }
        s.layout = EDL_MASKED;
        s.bytesPerPixel = bits / 8;
        for (int i = 0; i < 3; ++i)
            s.masks[i] = readU32(h + 92 + 4 * i);
        s.masks[3] = (flags & kPixelFormatAlpha) ? readU32(h + 104) : 0;
        if (!masksFit(s)) {
            reason = "bad channel masks";
            return false;
        }
        s.dataSize = uint64_t(s.width) * s.height * s.bytesPerPixel;
    } else {
        reason = format("unsupported pixel format (flags 0x%llx)", flags);
        return false;
    }

    const long pos = file->getPos();
    const long size = file->getSize();
    const uint64_t available = (pos >= 0 && size > pos) ? uint64_t(size - pos) : 0;
    if (s.dataSize > available) {
        reason = format("truncated data (%llu of %llu bytes)", available, s.dataSize);
        return false;
    }
    return true;
}

u32 expand565(u32 c)
{
    const u32 r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    return 0xff000000u | ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

// Per channel (wa * a + wb * b) / (wa + wb), rounded; alpha stays opaque.
u32 blend(u32 a, u32 b, u32 wa, u32 wb)
{
    u32 out = 0xff000000u;
    const u32 w = wa + wb;
    for (int shift = 0; shift < 24; shift += 8) {
        const u32 ca = (a >> shift) & 0xff, cb = (b >> shift) & 0xff;
        out |= ((wa * ca + wb * cb + w / 2) / w) << shift;
    }
    return out;
}

// DXT3 and DXT5 always use the four-colour mode; only DXT1 reads the end-colour order as
// a switch to three colours and a transparent black.
void decodeColours(const uint8_t* block, bool punchThrough, u32 out[16])
{
    const u32 c0 = u32(block[0]) | u32(block[1]) << 8;
    const u32 c1 = u32(block[2]) | u32(block[3]) << 8;
    u32 palette[4] = {expand565(c0), expand565(c1), 0, 0};
    if (c0 > c1 || !punchThrough) {
        palette[2] = blend(palette[0], palette[1], 2, 1);
        palette[3] = blend(palette[0], palette[1], 1, 2);
    } else {
        palette[2] = blend(palette[0], palette[1], 1, 1);
        palette[3] = 0;
    }
    const u32 indices = readU32(block + 4);
    for (int i = 0; i < 16; ++i)
        out[i] = palette[(indices >> (2 * i)) & 3];
}

void applyExplicitAlpha(const uint8_t* block, u32 out[16])
{
    for (int i = 0; i < 16; ++i) {
        const u32 a = (block[i / 2] >> (4 * (i & 1))) & 15;
        out[i] = (out[i] & 0x00ffffffu) | (a * 17) << 24;
    }
}

void applyInterpolatedAlpha(const uint8_t* block, u32 out[16])
{
    const u32 a0 = block[0], a1 = block[1];
    u32 palette[8] = {a0, a1, 0, 0, 0, 0, 0, 255};
    if (a0 > a1) {
        for (u32 i = 1; i < 7; ++i)
            palette[i + 1] = ((7 - i) * a0 + i * a1 + 3) / 7;
    } else {
        for (u32 i = 1; i < 5; ++i)
            palette[i + 1] = ((5 - i) * a0 + i * a1 + 2) / 5;
        palette[6] = 0;
    }
    uint64_t bits = 0;
    for (int i = 0; i < 6; ++i)
        bits |= uint64_t(block[2 + i]) << (8 * i);
    for (int i = 0; i < 16; ++i)
        out[i] = (out[i] & 0x00ffffffu) | palette[(bits >> (3 * i)) & 7] << 24;
}

void decodeBlocks(const SDDSSurface& s, const uint8_t* data, u32* pixels, u32 pitchPixels)
{
    const u32 blockBytes = s.layout == EDL_DXT1 ? 8 : 16;
    const u32 blocksWide = (s.width + 3) / 4;
    const u32 blocksHigh = (s.height + 3) / 4;
    u32 texels[16];
    for (u32 by = 0; by < blocksHigh; ++by) {
        for (u32 bx = 0; bx < blocksWide; ++bx) {
            const uint8_t* block = data + (uint64_t(by) * blocksWide + bx) * blockBytes;
            if (s.layout == EDL_DXT1) {
                decodeColours(block, true, texels);
            } else {
                decodeColours(block + 8, false, texels);
                if (s.layout == EDL_DXT3)
                    applyExplicitAlpha(block, texels);
                else
                    applyInterpolatedAlpha(block, texels);
            }
            // Blocks on the right and bottom edge may hang over the image: keep what shows.
            for (u32 y = 0; y < 4 && by * 4 + y < s.height; ++y)
                for (u32 x = 0; x < 4 && bx * 4 + x < s.width; ++x)
                    pixels[uint64_t(by * 4 + y) * pitchPixels + bx * 4 + x] = texels[y * 4 + x];
        }
    }
}

u32 channelTo8(u32 value, u32 mask)
{
    if (!mask)
        return 255;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    const uint64_t top = mask >> shift;
    const uint64_t v = (value & mask) >> shift;
    return u32((v * 255 + top / 2) / top);
}

void decodeMasked(const SDDSSurface& s, const uint8_t* data, u32* pixels, u32 pitchPixels)
{
    const uint8_t* p = data;
    for (u32 y = 0; y < s.height; ++y) {
        u32* row = pixels + uint64_t(y) * pitchPixels;
        for (u32 x = 0; x < s.width; ++x, p += s.bytesPerPixel) {
            u32 v = 0;
            for (u32 i = 0; i < s.bytesPerPixel; ++i)
                v |= u32(p[i]) << (8 * i);
            row[x] = channelTo8(v, s.masks[3]) << 24 | channelTo8(v, s.masks[0]) << 16 |
                     channelTo8(v, s.masks[1]) << 8 | channelTo8(v, s.masks[2]);
        }
    }
}

irr::video::IImage* fail(irr::io::IReadFile* file, const std::string& reason)
{
    std::printf("Warning: Could not load DDS image %s: %s\n", file->getFileName().c_str(), reason.c_str());
    return nullptr;
}

} // namespace

CDDSImageLoader::CDDSImageLoader(irr::video::IVideoDriver* driver) : Driver(driver) {}

bool CDDSImageLoader::isALoadableFileExtension(const irr::io::path& filename) const
{
    const irr::s32 dot = filename.findLast('.');
    if (dot < 0)
        return false;
    irr::io::path extension = filename.subString(dot, filename.size() - dot);
    extension.make_lower();
    return extension == ".dds";
}

// The driver offers a file to every loader by content after a failed load by extension; saying
// no to a broken file here keeps its warning to the one line that loadImage already printed.
bool CDDSImageLoader::isALoadableFileFormat(irr::io::IReadFile* file) const
{
    if (!file)
        return false;
    SDDSSurface surface;
    std::string reason;
    return readSurface(file, surface, reason);
}

irr::video::IImage* CDDSImageLoader::loadImage(irr::io::IReadFile* file) const
{
    if (!file)
        return nullptr;
    SDDSSurface s;
    std::string reason;
    if (!readSurface(file, s, reason))
        return fail(file, reason);

    std::vector<uint8_t> data(s.dataSize);
    if (file->read(data.data(), u32(s.dataSize)) != irr::s32(s.dataSize))
        return fail(file, "read error");

    irr::video::IImage* image =
        Driver->createImage(irr::video::ECF_A8R8G8B8, irr::core::dimension2d<u32>(s.width, s.height));
    if (!image)
        return fail(file, "no image could be made");
    u32* pixels = static_cast<u32*>(image->lock());
    if (!pixels) {
        image->drop();
        return fail(file, "no image could be made");
    }
    const u32 pitchPixels = image->getPitch() / 4;
    if (s.layout == EDL_MASKED)
        decodeMasked(s, data.data(), pixels, pitchPixels);
    else
        decodeBlocks(s, data.data(), pixels, pitchPixels);
    image->unlock();
    return image;
}
