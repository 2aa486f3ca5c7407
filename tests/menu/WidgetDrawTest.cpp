// The menu widgets on the OpenGL driver (run under a private Xvfb): the pixels an image button and
// the cursor cover, read back from a texture of the screen's size.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "core/CGameEngine.h"
#include "core/SGameSettings.h"
#include "menu/CGuiCursor.h"
#include "menu/CGuiImageButton.h"
#include "support/TestSupport.h"

using namespace irr;

namespace {

const video::SColor kBlack(255, 0, 0, 0);

class WidgetDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(engine->getDevice(), nullptr) << "no OpenGL window (is DISPLAY set?)";
        image = dir.file("art.png");
        testsupport::writeImage(engine, image);
    }

    // Runs `draw` into a screen-sized texture and keeps a copy of its pixels.
    void drawFrame(const std::function<void()>& draw)
    {
        shot = testsupport::captureFrame(engine, core::dimension2du(1024, 768), kBlack, draw);
        ASSERT_EQ(shot.size(), 1024u * 768u);
    }

    bool lit(s32 x, s32 y) const { return (shot[y * 1024 + x] & 0x00FFFFFF) != 0; }

    testsupport::CGLEngine glEngine{1024, 768};
    CGameEngine* engine = glEngine.get();
    testsupport::CScratchDir dir;
    std::string image;
    std::vector<u32> shot;
};

} // namespace

TEST_F(WidgetDrawing, AnImageButtonCoversItsRectangleCutToWholePixels)
{
    // 204.8 to 819.2 across and 353.28 to 410.88 down: drawn over 204 to 819 and 353 to 410.
    CGuiImageButton button(image, image, 200, 800, 460, 535, true, engine);
    engine->getDevice()->getCursorControl()->setPosition(5, 5);
    drawFrame([&] { button.update(); });
    struct Probe { s32 x, y; bool lit; };
    const Probe probes[] = {{203, 380, false}, {204, 380, true},  {818, 380, true}, {819, 380, false},
                            {500, 352, false}, {500, 353, true},  {500, 409, true}, {500, 410, false}};
    for (const Probe& p : probes)
        EXPECT_EQ(lit(p.x, p.y), p.lit) << p.x << "," << p.y;
    EXPECT_EQ(shot[380 * 1024 + 500], 0xFFC86432u) << "the image's own colour, stretched";
}

TEST_F(WidgetDrawing, TheCursorIs35PixelsSquareAtTheMouse)
{
    CGuiCursor cursor(image.c_str(), engine);
    engine->getDevice()->getCursorControl()->setPosition(100, 200);
    drawFrame([&] { cursor.draw(); });
    struct Probe { s32 x, y; bool lit; };
    const Probe probes[] = {{99, 210, false}, {100, 210, true}, {134, 210, true}, {135, 210, false},
                            {110, 199, false}, {110, 200, true}, {110, 234, true}, {110, 235, false}};
    for (const Probe& p : probes)
        EXPECT_EQ(lit(p.x, p.y), p.lit) << p.x << "," << p.y;
}

TEST_F(WidgetDrawing, MissingArtDrawsNothing)
{
    std::unique_ptr<CGuiImageButton> button;
    std::unique_ptr<CGuiCursor> cursor;
    testsupport::captureStdout([&] {
        button.reset(new CGuiImageButton("none.png", "none.png", 200, 800, 460, 535, true, engine));
        cursor.reset(new CGuiCursor("none.png", engine));
    });
    engine->getDevice()->getCursorControl()->setPosition(500, 380);
    drawFrame([&] {
        button->update();
        cursor->draw();
    });
    for (s32 y = 0; y < 768; y += 7) {
        for (s32 x = 0; x < 1024; x += 7)
            ASSERT_FALSE(lit(x, y)) << x << "," << y;
    }
}
