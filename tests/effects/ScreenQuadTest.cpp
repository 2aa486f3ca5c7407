// The screen quad on OpenGL (run under a private Xvfb): a texture drawn at a pixel position, cut
// to a rectangle of it and clipped at the edges of the target but never scaled, and the whole
// target covered for a screen pass; read back from a render target texture.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "core/CGameEngine.h"
#include "effects/CScreenQuadEntity.h"
#include "support/TestSupport.h"

using namespace irr;

namespace {

const s32 kWidth = 320;
const s32 kHeight = 240;
const u32 kBlack = 0xFF000000;
const u32 kRed = 0xFFFF0000;
const u32 kGreen = 0xFF00FF00;
const u32 kBlue = 0xFF0000FF;

class ScreenQuad : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(engine->getDevice(), nullptr) << "no OpenGL window (is DISPLAY set?)";
        quad = engine->getScreenQuad();
        ASSERT_NE(quad, nullptr);
        // 64 x 64: the upper left quarter red, the upper right green, the lower half blue.
        video::IVideoDriver* driver = engine->getVideoDriver();
        video::IImage* image = driver->createImage(video::ECF_A8R8G8B8, core::dimension2du(64, 64));
        for (u32 y = 0; y < 64; ++y) {
            for (u32 x = 0; x < 64; ++x)
                image->setPixel(x, y, video::SColor(y >= 32 ? kBlue : x < 32 ? kRed : kGreen));
        }
        halves = driver->addTexture("halves", image);
        image->drop();
        ASSERT_NE(halves, nullptr);
    }

    // Runs `draw` into a 320 x 240 texture cleared to `clear` and keeps a copy of its pixels.
    void drawFrame(const std::function<void()>& draw, u32 clear = kBlack)
    {
        shot = testsupport::captureFrame(engine, core::dimension2du(kWidth, kHeight), video::SColor(clear), draw);
        ASSERT_EQ(shot.size(), static_cast<size_t>(kWidth * kHeight));
    }
    u32 at(s32 x, s32 y) const { return shot[y * kWidth + x] | 0xFF000000; }
    // The pixels that are not black, as a rectangle.
    core::rect<s32> litArea() const
    {
        core::rect<s32> area(kWidth, kHeight, -1, -1);
        for (s32 y = 0; y < kHeight; ++y) {
            for (s32 x = 0; x < kWidth; ++x) {
                if (at(x, y) == kBlack)
                    continue;
                area.UpperLeftCorner.X = std::min(area.UpperLeftCorner.X, x);
                area.UpperLeftCorner.Y = std::min(area.UpperLeftCorner.Y, y);
                area.LowerRightCorner.X = std::max(area.LowerRightCorner.X, x + 1);
                area.LowerRightCorner.Y = std::max(area.LowerRightCorner.Y, y + 1);
            }
        }
        return area;
    }

    testsupport::CGLEngine glEngine{640, 480};
    CGameEngine* engine = glEngine.get();
    CScreenQuadEntity* quad = nullptr;
    video::ITexture* halves = nullptr;
    std::vector<u32> shot;
};

} // namespace

TEST_F(ScreenQuad, ATextureIsDrawnAtItsPixelPlaceCutToItsRectangleAndClipped)
{
    struct Case {
        const char* what;
        core::position2d<s32> position;
        core::rect<s32> source;
        core::rect<s32> covered;
    };
    const Case cases[] = {
        {"whole, in the middle", {100, 50}, {0, 0, 64, 64}, {100, 50, 164, 114}},
        {"a part of it", {10, 20}, {8, 4, 40, 24}, {10, 20, 42, 40}},
        {"over the top left corner", {-10, -5}, {0, 0, 64, 64}, {0, 0, 54, 59}},
        {"over the bottom right corner", {300, 200}, {0, 0, 64, 64}, {300, 200, 320, 240}},
        {"wholly outside", {400, 10}, {0, 0, 64, 64}, {320, 240, -1, -1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        drawFrame([&] { quad->renderWith(halves, false, c.position, c.source, video::EMT_SOLID); });
        EXPECT_EQ(litArea(), c.covered);
    }

    // One pixel of the texture to one of the target: the quarters meet 32 pixels in.
    drawFrame([&] { quad->renderWith(halves, false, {100, 50}, {0, 0, 64, 64}, video::EMT_SOLID); });
    EXPECT_EQ(at(100, 80), kRed);
    EXPECT_EQ(at(130, 80), kRed);
    EXPECT_EQ(at(133, 80), kGreen);
    EXPECT_EQ(at(161, 80), kGreen);
    EXPECT_EQ(at(100, 79), kRed);
    EXPECT_EQ(at(100, 84), kBlue);
    // Cut at the left and the top: what shows starts 10 and 20 pixels into the texture.
    drawFrame([&] { quad->renderWith(halves, false, {-10, -20}, {0, 0, 64, 64}, video::EMT_SOLID); });
    EXPECT_EQ(at(20, 5), kRed);
    EXPECT_EQ(at(23, 5), kGreen);
    EXPECT_EQ(at(5, 10), kRed);
    EXPECT_EQ(at(5, 13), kBlue);
}

TEST_F(ScreenQuad, DrawingATextureLeavesTheQuadAsItWas)
{
    video::SMaterial& material = quad->getMaterial(0);
    const video::E_MATERIAL_TYPE type = material.MaterialType;
    const core::position2d<s32> position = quad->getImagePosition();
    const core::rect<s32> source = quad->getSourceRect();
    const bool whole = quad->isWholeTexture();
    drawFrame([&] { quad->renderWith(halves, !whole, {5, 6}, {1, 2, 3, 4}, video::EMT_TRANSPARENT_ALPHA_CHANNEL); });
    EXPECT_EQ(material.getTexture(0), nullptr);
    EXPECT_EQ(material.MaterialType, type);
    EXPECT_EQ(quad->getImagePosition(), position);
    EXPECT_EQ(quad->getSourceRect(), source);
    EXPECT_EQ(quad->isWholeTexture(), whole);
    // A rectangle turned inside out or no texture draws nothing.
    drawFrame([&] {
        quad->renderWith(halves, false, {10, 10}, {40, 0, 20, 64}, video::EMT_SOLID);
        quad->renderWith(nullptr, false, {10, 10}, {0, 0, 64, 64}, video::EMT_SOLID);
    });
    EXPECT_EQ(litArea(), core::rect<s32>(kWidth, kHeight, -1, -1));
}

// A screen pass: the quad's own material over every pixel of the target, whatever its size (the
// pass's shader places the corners; here the view and projection are left out).
TEST_F(ScreenQuad, AScreenPassCoversTheWholeTarget)
{
    const u32 kGrey = 0xFF808080;
    video::SMaterial& material = quad->getMaterial(0);
    material.setTexture(0, halves);
    material.MaterialType = video::EMT_SOLID;
    video::IVideoDriver* driver = engine->getVideoDriver();
    drawFrame(
        [&] {
            driver->setTransform(video::ETS_VIEW, core::IdentityMatrix);
            driver->setTransform(video::ETS_PROJECTION, core::IdentityMatrix);
            quad->drawQuad();
        },
        kGrey);
    material.setTexture(0, nullptr);
    int untouched = 0;
    for (s32 y = 0; y < kHeight; ++y) {
        for (s32 x = 0; x < kWidth; ++x)
            untouched += at(x, y) == kGrey ? 1 : 0;
    }
    EXPECT_EQ(untouched, 0);
}
