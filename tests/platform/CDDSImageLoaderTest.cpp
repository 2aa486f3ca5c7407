// The DDS loader against hand-made files (exact block and mask decoding), files from ImageMagick,
// and broken files.
#include "DDSTestLoader.h"
#include "support/TestSupport.h"
#include "platform/CDDSImageLoader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const uint32_t kFourCC = 0x4, kRGB = 0x40, kAlpha = 0x1;

struct SPixelFormat {
    uint32_t flags;
    const char* fourCC;
    uint32_t bits;
    uint32_t masks[4]; // red, green, blue, alpha
};

const SPixelFormat kDXT1 = {kFourCC, "DXT1", 0, {0, 0, 0, 0}};
const SPixelFormat kARGB = {kRGB | kAlpha, "", 32, {0xff0000, 0xff00, 0xff, 0xff000000}};

void putU32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out += char(v >> (8 * i));
}

std::string header(uint32_t width, uint32_t height, const SPixelFormat& format, uint32_t headerSize = 124)
{
    std::string h = "DDS ";
    putU32(h, headerSize);
    putU32(h, 0x1007);
    putU32(h, height);
    putU32(h, width);
    for (int i = 0; i < 14; ++i) // pitch, depth, mip count, reserved
        putU32(h, 0);
    putU32(h, 32);
    putU32(h, format.flags);
    std::string code = std::string(format.fourCC) + std::string(4, '\0');
    h += code.substr(0, 4);
    putU32(h, format.bits);
    for (uint32_t mask : format.masks)
        putU32(h, mask);
    putU32(h, 0x1000);
    for (int i = 0; i < 4; ++i)
        putU32(h, 0);
    return h;
}

std::string bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values)
        out += char(v);
    return out;
}

// Sixteen texels with each row [a, b, c, d].
std::array<uint32_t, 16> rows(uint32_t a, uint32_t b, uint32_t c, uint32_t d)
{
    std::array<uint32_t, 16> out;
    for (int i = 0; i < 16; ++i)
        out[i] = (i % 4 == 0) ? a : (i % 4 == 1) ? b : (i % 4 == 2) ? c : d;
    return out;
}

std::array<uint32_t, 16> withAlpha(std::array<uint32_t, 16> colours, const std::array<uint32_t, 16>& alpha)
{
    for (int i = 0; i < 16; ++i)
        colours[i] = (colours[i] & 0xffffff) | alpha[i] << 24;
    return colours;
}

std::string alpha3BitIndices(int a0, int a1, int (*index)(int))
{
    std::string out = bytes({a0, a1});
    uint64_t bits = 0;
    for (int i = 0; i < 16; ++i)
        bits |= uint64_t(index(i)) << (3 * i);
    for (int i = 0; i < 6; ++i)
        out += char(bits >> (8 * i));
    return out;
}

struct SBlockCase {
    const char* name;
    const char* fourCC;
    std::string block;
    std::array<uint32_t, 16> expected;
};

// Red 0xF800 and blue 0x001F as the end colours, every row using indices 0, 1, 2, 3 (0xE4).
const std::string kRedThenBlue = bytes({0x00, 0xF8, 0x1F, 0x00, 0xE4, 0xE4, 0xE4, 0xE4});
const std::string kBlueThenRed = bytes({0x1F, 0x00, 0x00, 0xF8, 0xE4, 0xE4, 0xE4, 0xE4});
const std::string kAllGreen = bytes({0xE0, 0x07, 0xE0, 0x07, 0, 0, 0, 0});

std::array<uint32_t, 16> ramp(int scale)
{
    std::array<uint32_t, 16> out;
    for (int i = 0; i < 16; ++i)
        out[i] = uint32_t(i * scale);
    return out;
}

const SBlockCase kBlocks[] = {
    {"DXT1 four colours", "DXT1", kRedThenBlue, rows(0xffff0000, 0xff0000ff, 0xffaa0055, 0xff5500aa)},
    {"DXT1 three colours and transparent", "DXT1", kBlueThenRed,
     rows(0xff0000ff, 0xffff0000, 0xff800080, 0x00000000)},
    {"DXT3 explicit alpha, always four colours", "DXT3",
     bytes({0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE}) + kBlueThenRed,
     withAlpha(rows(0x0000ff, 0xff0000, 0x5500aa, 0xaa0055), ramp(17))},
    {"DXT5 eight alpha steps", "DXT5", alpha3BitIndices(255, 0, [](int i) { return i % 8; }) + kAllGreen,
     withAlpha(rows(0x00ff00, 0x00ff00, 0x00ff00, 0x00ff00),
               {255, 0, 219, 182, 146, 109, 73, 36, 255, 0, 219, 182, 146, 109, 73, 36})},
    {"DXT5 six alpha steps with 0 and 255", "DXT5",
     alpha3BitIndices(40, 240, [](int i) { return i % 8; }) + kAllGreen,
     withAlpha(rows(0x00ff00, 0x00ff00, 0x00ff00, 0x00ff00),
               {40, 240, 80, 120, 160, 200, 0, 255, 40, 240, 80, 120, 160, 200, 0, 255})},
};

TEST(DDSImageLoader, DecodesHandMadeBlocksExactly)
{
    testsupport::CScratchDir dir;
    CDDSTestLoader loader;
    for (const SBlockCase& c : kBlocks) {
        dir.write("block.dds", header(4, 4, {kFourCC, c.fourCC, 0, {0, 0, 0, 0}}) + c.block);
        const SDecodedImage image = loader.load(dir.file("block.dds"));
        ASSERT_TRUE(image.loaded) << c.name << "\n" << image.output;
        EXPECT_EQ(image.output, "") << c.name;
        ASSERT_EQ(image.width, 4u);
        ASSERT_EQ(image.height, 4u);
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(image.argb[i], c.expected[i]) << c.name << ", texel " << i;
    }
}

// 6 x 5 pixels take 2 x 2 blocks; the parts of the right and bottom blocks that hang over the
// edge are dropped, and each visible pixel comes from its own block.
TEST(DDSImageLoader, KeepsVisiblePixelsOfEdgeBlocks)
{
    const int colours565[4] = {0xF800, 0x07E0, 0x001F, 0xFFFF};
    const uint32_t expected[4] = {0xffff0000, 0xff00ff00, 0xff0000ff, 0xffffffff};
    std::string file = header(6, 5, kDXT1);
    for (int c : colours565)
        file += bytes({c & 0xff, c >> 8, c & 0xff, c >> 8, 0, 0, 0, 0});
    testsupport::CScratchDir dir;
    dir.write("edge.dds", file);
    const SDecodedImage image = CDDSTestLoader().load(dir.file("edge.dds"));
    ASSERT_TRUE(image.loaded) << image.output;
    ASSERT_EQ(image.width, 6u);
    ASSERT_EQ(image.height, 5u);
    for (uint32_t y = 0; y < 5; ++y)
        for (uint32_t x = 0; x < 6; ++x)
            EXPECT_EQ(image.at(x, y), expected[(y / 4) * 2 + x / 4]) << x << ", " << y;
}

struct SMaskCase {
    const char* name;
    SPixelFormat format;
    std::string pixels; // two pixels, one row
    uint32_t expected[2];
};

const SMaskCase kMasks[] = {
    {"A8R8G8B8", kARGB, bytes({0x33, 0x22, 0x11, 0x80, 0x01, 0x02, 0x03, 0xff}), {0x80112233, 0xff030201}},
    {"X8R8G8B8: alpha mask without the alpha flag", {kRGB, "", 32, {0xff0000, 0xff00, 0xff, 0xff000000}},
     bytes({0x33, 0x22, 0x11, 0x00, 0x01, 0x02, 0x03, 0x00}), {0xff112233, 0xff030201}},
    {"A8B8G8R8", {kRGB | kAlpha, "", 32, {0xff, 0xff00, 0xff0000, 0xff000000}},
     bytes({0x11, 0x22, 0x33, 0x44, 0x01, 0x02, 0x03, 0x04}), {0x44112233, 0x04010203}},
    {"R8G8B8", {kRGB, "", 24, {0xff0000, 0xff00, 0xff, 0}}, bytes({0x33, 0x22, 0x11, 0x03, 0x02, 0x01}),
     {0xff112233, 0xff010203}},
    {"B8G8R8", {kRGB, "", 24, {0xff, 0xff00, 0xff0000, 0}}, bytes({0x11, 0x22, 0x33, 0x01, 0x02, 0x03}),
     {0xff112233, 0xff010203}},
    {"A2R10G10B10: wide channels scaled to 8 bits",
     {kRGB | kAlpha, "", 32, {0x3ff00000, 0x000ffc00, 0x000003ff, 0xc0000000}},
     bytes({0x00, 0x02, 0xf0, 0x7f, 0, 0, 0, 0}), {0x55ff0080, 0x00000000}},
};

TEST(DDSImageLoader, ReadsChannelMasksOfUncompressedFiles)
{
    testsupport::CScratchDir dir;
    CDDSTestLoader loader;
    for (const SMaskCase& c : kMasks) {
        dir.write("plain.dds", header(2, 1, c.format) + c.pixels);
        const SDecodedImage image = loader.load(dir.file("plain.dds"));
        ASSERT_TRUE(image.loaded) << c.name << "\n" << image.output;
        ASSERT_EQ(image.argb.size(), 2u) << c.name;
        EXPECT_EQ(image.argb[0], c.expected[0]) << c.name;
        EXPECT_EQ(image.argb[1], c.expected[1]) << c.name;
    }
}

TEST(DDSImageLoader, ClaimsDdsExtensionInAnyCase)
{
    const CDDSImageLoader loader(nullptr);
    EXPECT_TRUE(loader.isALoadableFileExtension("data/2d/sky/up.dds"));
    EXPECT_TRUE(loader.isALoadableFileExtension("UP.DDS"));
    EXPECT_TRUE(loader.isALoadableFileExtension("sky.Dds"));
    EXPECT_FALSE(loader.isALoadableFileExtension("splash01.jpg"));
    EXPECT_FALSE(loader.isALoadableFileExtension("up.ddsx"));
    EXPECT_FALSE(loader.isALoadableFileExtension("sky.dds/readme"));
    EXPECT_FALSE(loader.isALoadableFileExtension("dds"));
}

// ImageMagick's encoders are a second opinion on what DDS files in the wild hold.
struct SForeignCase {
    const char* compression;
    bool alpha;
    int tolerance; // largest channel difference allowed
};

const SForeignCase kForeign[] = {
    {"none", true, 0},
    {"none", false, 0},
    {"dxt1", false, 12},
    {"dxt5", true, 12},
};

uint32_t sourcePixel(uint32_t x, uint32_t y, bool alpha)
{
    const uint32_t r = 40 + x * 3, g = 200 - y * 3, b = 90 + (x + y);
    const uint32_t a = alpha ? 255 - y * 4 : 255;
    return a << 24 | r << 16 | g << 8 | b;
}

TEST(DDSImageLoader, ReadsImageMagickFiles)
{
    const uint32_t width = 61, height = 37; // odd sizes, several blocks, a mip chain behind the top
    testsupport::CScratchDir dir;
    CDDSTestLoader loader;
    for (const SForeignCase& c : kForeign) {
        std::string pam = "P7\nWIDTH " + std::to_string(width) + "\nHEIGHT " + std::to_string(height) +
                          "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x) {
                const uint32_t p = sourcePixel(x, y, c.alpha);
                pam += bytes({int(p >> 16 & 0xff), int(p >> 8 & 0xff), int(p & 0xff), int(p >> 24)});
            }
        dir.write("source.pam", pam);
        const std::string name = std::string("magick_") + c.compression + (c.alpha ? "_alpha" : "") + ".dds";
        const std::string command = "convert " + dir.file("source.pam") + (c.alpha ? "" : " -alpha off") +
                                    " -define dds:compression=" + c.compression + " " + dir.file(name);
        ASSERT_EQ(std::system(command.c_str()), 0) << command;

        const SDecodedImage image = loader.load(dir.file(name));
        ASSERT_TRUE(image.loaded) << name << "\n" << image.output;
        ASSERT_EQ(image.width, width) << name;
        ASSERT_EQ(image.height, height) << name;
        int worst = 0;
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x)
                worst = std::max(worst, channelDifference(image.at(x, y), sourcePixel(x, y, c.alpha)));
        EXPECT_LE(worst, c.tolerance) << name;
    }
}

struct SBrokenCase {
    const char* name;
    std::string file;
    const char* reason;
};

std::string garbage(size_t length)
{
    std::string out;
    uint32_t state = 12345;
    for (size_t i = 0; i < length; ++i) {
        state = state * 1103515245u + 12345u;
        out += char(state >> 16);
    }
    return out;
}

const SPixelFormat kRGB24 = {kRGB, "", 24, {0xff0000, 0xff00, 0xff, 0}};

const SBrokenCase kBroken[] = {
    {"empty file", "", "truncated header"},
    {"header cut short", header(4, 4, kDXT1).substr(0, 60), "truncated header"},
    {"bad magic", "DDX " + header(4, 4, kDXT1).substr(4) + std::string(8, '\0'), "bad magic"},
    {"garbage", garbage(300), "bad magic"},
    {"bad header size", header(4, 4, kDXT1, 100) + std::string(8, '\0'), "bad header size"},
    {"zero width", header(0, 4, kDXT1) + std::string(8, '\0'), "bad dimensions"},
    {"absurd height", header(4, 1000000, kDXT1) + std::string(8, '\0'), "bad dimensions"},
    {"byte count past 32 bits", header(65536, 65536, kARGB) + std::string(64, '\0'), "bad dimensions"},
    {"a gigabyte claimed, a few bytes there", header(16384, 16384, kARGB) + std::string(64, '\0'),
     "truncated data"},
    {"DXT1 blocks missing", header(8, 8, kDXT1) + std::string(24, '\0'), "truncated data"},
    {"DXT5 block cut short", header(4, 4, {kFourCC, "DXT5", 0, {0, 0, 0, 0}}) + std::string(15, '\0'),
     "truncated data"},
    {"24-bit row one byte short", header(5, 3, kRGB24) + std::string(5 * 3 * 3 - 1, '\0'), "truncated data"},
    {"unsupported compression", header(4, 4, {kFourCC, "ATI2", 0, {0, 0, 0, 0}}) + std::string(16, '\0'),
     "unsupported compression 'ATI2'"},
    {"16-bit pixels", header(2, 2, {kRGB, "", 16, {0xf800, 0x7e0, 0x1f, 0}}) + std::string(8, '\0'),
     "unsupported pixel format"},
    {"no pixel format flags", header(2, 2, {0, "", 32, {0, 0, 0, 0}}) + std::string(16, '\0'),
     "unsupported pixel format"},
    {"mask wider than the pixel", header(2, 2, {kRGB | kAlpha, "", 24, {0xff0000, 0xff00, 0xff, 0xff000000}}) +
                                      std::string(12, '\0'),
     "bad channel masks"},
};

TEST(DDSImageLoader, RejectsBrokenFilesWithOneWarning)
{
    testsupport::CScratchDir dir;
    CDDSTestLoader loader;
    for (const SBrokenCase& c : kBroken) {
        dir.write("broken.dds", c.file);
        const SDecodedImage image = loader.load(dir.file("broken.dds"));
        EXPECT_FALSE(image.loaded) << c.name;
        const std::string prefix = "Warning: Could not load DDS image " + dir.file("broken.dds") + ": ";
        EXPECT_EQ(image.output.rfind(prefix, 0), 0u) << c.name << "\n" << image.output;
        EXPECT_NE(image.output.find(c.reason), std::string::npos) << c.name << "\n" << image.output;
        EXPECT_EQ(std::count(image.output.begin(), image.output.end(), '\n'), 1) << c.name << "\n" << image.output;
        EXPECT_EQ(image.output.back(), '\n') << c.name;
    }
}

} // namespace
