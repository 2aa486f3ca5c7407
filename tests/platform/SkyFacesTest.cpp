// The six generated sky-box faces, as the engine's sky box shows them.
#include "DDSTestLoader.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

struct SVec {
    double x, y, z;
};

SVec operator+(SVec a, SVec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
SVec operator-(SVec a, SVec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
SVec operator*(SVec a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double dot(SVec a, SVec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The engine's sky box quads: per face, its file and four corners with their texture corner
// (false: the low texture coordinate, true: the high one), as the sky box node sets them up.
struct SCorner {
    SVec position;
    bool highU, highV;
};

struct SQuad {
    const char* file;
    SCorner corners[4];
};

const SQuad kQuads[6] = {
    {"front.dds", {{{-1, -1, -1}, 1, 1}, {{1, -1, -1}, 0, 1}, {{1, 1, -1}, 0, 0}, {{-1, 1, -1}, 1, 0}}},
    {"left.dds", {{{1, -1, -1}, 1, 1}, {{1, -1, 1}, 0, 1}, {{1, 1, 1}, 0, 0}, {{1, 1, -1}, 1, 0}}},
    {"back.dds", {{{1, -1, 1}, 1, 1}, {{-1, -1, 1}, 0, 1}, {{-1, 1, 1}, 0, 0}, {{1, 1, 1}, 1, 0}}},
    {"right.dds", {{{-1, -1, 1}, 1, 1}, {{-1, -1, -1}, 0, 1}, {{-1, 1, -1}, 0, 0}, {{-1, 1, 1}, 1, 0}}},
    {"up.dds", {{{1, 1, -1}, 1, 1}, {{1, 1, 1}, 0, 1}, {{-1, 1, 1}, 0, 0}, {{-1, 1, -1}, 1, 0}}},
    {"down.dds", {{{1, -1, 1}, 0, 0}, {{1, -1, -1}, 1, 0}, {{-1, -1, -1}, 1, 1}, {{-1, -1, 1}, 0, 1}}},
};

SVec corner(const SQuad& q, bool highU, bool highV)
{
    for (const SCorner& c : q.corners)
        if (c.highU == highU && c.highV == highV)
            return c.position;
    return {0, 0, 0};
}

struct SFace {
    SDecodedImage image;
    SVec origin, across, down; // cube position of texture corner (o, o) and the two edge vectors
    double inset = 0;          // the sky box's one-pixel margin in texture coordinates
};

class SkyFaces : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CDDSTestLoader loader;
        for (int i = 0; i < 6; ++i) {
            SFace& f = faces[i];
            f.image = loader.load(std::string(SANDVOLT_RUN_DIR) + "/data/2d/sky/" + kQuads[i].file);
            f.origin = corner(kQuads[i], false, false);
            f.across = corner(kQuads[i], true, false) - f.origin;
            f.down = corner(kQuads[i], false, true) - f.origin;
            f.inset = f.image.width ? 1.0 / (f.image.width * 1.5) : 0;
        }
    }

    // Texture coordinates of a point on the face's side of the cube.
    static void textureAt(const SFace& f, SVec p, double& u, double& v)
    {
        const SVec d = p - f.origin;
        const double span = 1 - 2 * f.inset;
        u = f.inset + span * dot(d, f.across) / dot(f.across, f.across);
        v = f.inset + span * dot(d, f.down) / dot(f.down, f.down);
    }

    // Bilinear filtering with clamped edges, as the card draws the sky box.
    static void sample(const SFace& f, double u, double v, double rgb[3])
    {
        const SDecodedImage& im = f.image;
        const double x = std::clamp(u * im.width - 0.5, 0.0, im.width - 1.0);
        const double y = std::clamp(v * im.height - 0.5, 0.0, im.height - 1.0);
        const uint32_t x0 = uint32_t(x), y0 = uint32_t(y);
        const uint32_t x1 = std::min(x0 + 1, im.width - 1), y1 = std::min(y0 + 1, im.height - 1);
        const double fx = x - x0, fy = y - y0;
        for (int k = 0; k < 3; ++k) {
            auto c = [&](uint32_t px, uint32_t py) { return double((im.at(px, py) >> (16 - 8 * k)) & 0xff); };
            rgb[k] = (c(x0, y0) * (1 - fx) + c(x1, y0) * fx) * (1 - fy) + (c(x0, y1) * (1 - fx) + c(x1, y1) * fx) * fy;
        }
    }

    static SFace faces[6];
};

SFace SkyFaces::faces[6];

TEST_F(SkyFaces, AreSquareOpaqueAndLoadQuietly)
{
    for (int i = 0; i < 6; ++i) {
        const SDecodedImage& im = faces[i].image;
        ASSERT_TRUE(im.loaded) << kQuads[i].file << "\n" << im.output;
        EXPECT_EQ(im.output, "") << kQuads[i].file;
        EXPECT_EQ(im.width, im.height) << kQuads[i].file;
        EXPECT_EQ(im.width, faces[0].image.width) << kQuads[i].file;
        EXPECT_TRUE(im.width >= 512 && (im.width & (im.width - 1)) == 0) << kQuads[i].file;
        EXPECT_TRUE(std::all_of(im.argb.begin(), im.argb.end(), [](uint32_t p) { return p >> 24 == 255; }))
            << kQuads[i].file;
    }
}

// Along every cube edge, what one face shows must be what its neighbour shows.
TEST_F(SkyFaces, MeetWithoutSeams)
{
    for (const SFace& f : faces)
        ASSERT_TRUE(f.image.loaded);
    const int steps = 256;
    double worst = 0, total = 0;
    int samples = 0;
    for (int i = 0; i < 6; ++i) {
        const SFace& f = faces[i];
        for (int edge = 0; edge < 4; ++edge) {
            for (int s = 0; s <= steps; ++s) {
                const double along = double(s) / steps;
                const double a = (edge % 2) ? along : double(edge / 2);
                const double b = (edge % 2) ? double(edge / 2) : along;
                const SVec p = f.origin + f.across * a + f.down * b;
                // The neighbour is the other face whose side of the cube holds the point.
                for (int j = 0; j < 6; ++j) {
                    if (j == i)
                        continue;
                    const SFace& g = faces[j];
                    const SVec normal = g.across.x == 0 && g.down.x == 0 ? SVec{1, 0, 0}
                                        : g.across.y == 0 && g.down.y == 0 ? SVec{0, 1, 0}
                                                                           : SVec{0, 0, 1};
                    if (std::fabs(dot(p - g.origin, normal)) > 1e-9)
                        continue;
                    double u, v, mine[3], theirs[3];
                    textureAt(f, p, u, v);
                    sample(f, u, v, mine);
                    textureAt(g, p, u, v);
                    sample(g, u, v, theirs);
                    for (int k = 0; k < 3; ++k) {
                        const double d = std::fabs(mine[k] - theirs[k]);
                        worst = std::max(worst, d);
                        total += d;
                        ++samples;
                    }
                }
            }
        }
    }
    ASSERT_GT(samples, 0);
    EXPECT_LE(worst, 12.0);
    EXPECT_LE(total / samples, 2.0);
}

// Seams alone would not see every face turned the same wrong way: the sky has to be above.
TEST_F(SkyFaces, ShowSkyAboveAndDustBelow)
{
    auto average = [](const SDecodedImage& im, uint32_t y0, uint32_t y1, int shift) {
        double sum = 0;
        for (uint32_t y = y0; y < y1; ++y)
            for (uint32_t x = 0; x < im.width; ++x)
                sum += (im.at(x, y) >> shift) & 0xff;
        return sum / (double(y1 - y0) * im.width);
    };
    for (int i = 0; i < 6; ++i) {
        const SDecodedImage& im = faces[i].image;
        ASSERT_TRUE(im.loaded);
        const uint32_t n = im.height;
        if (i == 4) {
            EXPECT_GT(average(im, 0, n, 0), average(im, 0, n, 16) + 60) << "up: blue";
        } else if (i == 5) {
            EXPECT_GT(average(im, 0, n, 16), average(im, 0, n, 0) + 30) << "down: dust";
        } else {
            EXPECT_GT(average(im, 0, n / 4, 0), average(im, 0, n / 4, 16) + 60) << kQuads[i].file << ": sky on top";
            EXPECT_GT(average(im, n * 3 / 4, n, 16), average(im, n * 3 / 4, n, 0) + 30)
                << kQuads[i].file << ": dust below";
        }
    }
}

TEST(SkyGenerator, WritesTheSameBytesEveryRun)
{
    testsupport::CScratchDir dir;
    ASSERT_EQ(std::system((std::string(SANDVOLT_SKYGEN) + " " + dir.path()).c_str()), 0);
    for (const char* name : {"back.dds", "front.dds", "right.dds", "left.dds", "down.dds", "up.dds"}) {
        const std::string fresh = dir.read(name);
        std::ifstream in(std::string(SANDVOLT_RUN_DIR) + "/data/2d/sky/" + name, std::ios::binary);
        const std::string built((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_FALSE(fresh.empty()) << name;
        EXPECT_TRUE(fresh == built) << name;
    }
}

} // namespace
