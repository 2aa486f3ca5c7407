// Our DDS writer, read back through the game's loader.
#include "DDSTestLoader.h"
#include "support/TestSupport.h"
#include "tools/dds/CDDSWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

std::vector<uint32_t> picture(uint32_t width, uint32_t height, uint32_t (*pixel)(uint32_t, uint32_t))
{
    std::vector<uint32_t> out;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            out.push_back(pixel(x, y));
    return out;
}

// Smooth colour and alpha, the kind of content the game's generators write.
uint32_t smooth(uint32_t x, uint32_t y)
{
    const uint32_t r = 30 + x * 4, g = 220 - y * 5, b = 100 + 2 * (x + y);
    const uint32_t a = 250 - y * 11;
    return a << 24 | r << 16 | g << 8 | b;
}

struct SRoundTripCase {
    const char* name;
    EDDSFormat format;
    int tolerance;     // largest channel difference allowed, alpha included
    size_t fileBytes;  // 13 x 7 pixels: 4 x 2 blocks
    bool keepsAlpha;
};

const SRoundTripCase kRoundTrips[] = {
    {"A8R8G8B8", EDF_A8R8G8B8, 0, 128 + 13 * 7 * 4, true},
    {"R8G8B8", EDF_R8G8B8, 0, 128 + 13 * 7 * 3, false},
    // Red runs across and green down a block: no one line of four colours holds both exactly.
    {"DXT1", EDF_DXT1, 10, 128 + 8 * 8, false},
    {"DXT5", EDF_DXT5, 10, 128 + 8 * 16, true},
};

TEST(DDSWriter, RoundTripsThroughTheLoader)
{
    const uint32_t width = 13, height = 7;
    const std::vector<uint32_t> source = picture(width, height, smooth);
    testsupport::CScratchDir dir;
    CDDSTestLoader loader;
    for (const SRoundTripCase& c : kRoundTrips) {
        std::vector<uint32_t> expected = source;
        if (!c.keepsAlpha)
            for (uint32_t& p : expected)
                p |= 0xff000000u;
        // DXT1 reads alpha below 128 as a hole: give it opaque pixels to compare colours.
        const std::vector<uint32_t>& input = c.format == EDF_DXT1 ? expected : source;
        ASSERT_TRUE(CDDSWriter::write(dir.file("out.dds"), input, width, height, c.format)) << c.name;
        EXPECT_EQ(dir.read("out.dds").size(), c.fileBytes) << c.name;

        const SDecodedImage image = loader.load(dir.file("out.dds"));
        ASSERT_TRUE(image.loaded) << c.name << "\n" << image.output;
        EXPECT_EQ(image.output, "") << c.name;
        ASSERT_EQ(image.width, width);
        ASSERT_EQ(image.height, height);
        int worst = 0;
        for (size_t i = 0; i < expected.size(); ++i)
            worst = std::max(worst, channelDifference(image.argb[i], expected[i]));
        EXPECT_LE(worst, c.tolerance) << c.name;
    }
}

// A sky changes by a level or two across a block: ends rounded to the same 5:6:5 colour would turn
// that into visible bands, so the in-between palette steps must be used.
TEST(DDSWriter, SlowGradientStaysSmoothInDxt1)
{
    const uint32_t size = 64;
    const std::vector<uint32_t> source = picture(size, size, [](uint32_t x, uint32_t y) {
        const uint32_t r = 150 + x / 8, g = 90 + y / 16, b = 200 - (x + y) / 16;
        return 0xff000000u | r << 16 | g << 8 | b;
    });
    testsupport::CScratchDir dir;
    ASSERT_TRUE(CDDSWriter::write(dir.file("sky.dds"), source, size, size, EDF_DXT1));
    const SDecodedImage image = CDDSTestLoader().load(dir.file("sky.dds"));
    ASSERT_TRUE(image.loaded) << image.output;
    int worst = 0;
    for (size_t i = 0; i < source.size(); ++i)
        worst = std::max(worst, channelDifference(image.argb[i], source[i]));
    EXPECT_LE(worst, 2);
}

TEST(DDSWriter, Dxt1KeepsHolesWhereAlphaIsLow)
{
    const uint32_t width = 10, height = 6;
    const std::vector<uint32_t> source = picture(width, height, [](uint32_t x, uint32_t y) {
        const uint32_t alpha = ((x / 2 + y) % 3 == 0) ? 40 : 230;
        return alpha << 24 | (60 + x * 6) << 16 | (50 + x * 4) << 8 | 120u;
    });
    testsupport::CScratchDir dir;
    ASSERT_TRUE(CDDSWriter::write(dir.file("holes.dds"), source, width, height, EDF_DXT1));
    const SDecodedImage image = CDDSTestLoader().load(dir.file("holes.dds"));
    ASSERT_TRUE(image.loaded) << image.output;
    for (size_t i = 0; i < source.size(); ++i) {
        if (source[i] >> 24 < 128) {
            EXPECT_EQ(image.argb[i], 0u) << i;
        } else {
            EXPECT_EQ(image.argb[i] >> 24, 255u) << i;
            EXPECT_LE(channelDifference(image.argb[i], source[i] | 0xff000000u), 8) << i;
        }
    }
}

TEST(DDSWriter, RefusesBadPixelsAndUnwritablePaths)
{
    testsupport::CScratchDir dir;
    const std::vector<uint32_t> four(4, 0xff336699u);
    EXPECT_FALSE(CDDSWriter::write(dir.file("missing/folder/x.dds"), four, 2, 2, EDF_DXT1));
    EXPECT_FALSE(CDDSWriter::write(dir.file("short.dds"), four, 3, 2, EDF_A8R8G8B8));
    EXPECT_FALSE(CDDSWriter::write(dir.file("empty.dds"), {}, 0, 0, EDF_DXT5));
    EXPECT_FALSE(CDDSWriter::write("/dev/full", four, 2, 2, EDF_A8R8G8B8));
    EXPECT_TRUE(CDDSWriter::write(dir.file("fine.dds"), four, 2, 2, EDF_DXT5));
}

} // namespace
