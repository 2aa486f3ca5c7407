// The race display on the OpenGL driver (run under a private Xvfb): its images are made without
// mip maps, and what the race draws on the screen lands where it was asked to, read back from a
// texture of the screen's size.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <vector>

#include "core/CGameEngine.h"
#include "core/SGameSettings.h"
#include "font/CGUITTFont.h"
#include "menu/CGuiTextButton.h"
#include "race/CRace.h"
#include "race/CRaceCanvas.h"
#include "support/TestSupport.h"

using namespace irr;

namespace {

const char* const kFont = "data/fonts/komika_axis.ttf";

class RaceDisplayOnScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(engine->getDevice(), nullptr) << "no OpenGL window (is DISPLAY set?)";
        for (const char* image : {"place01.png", "place02.png", "place03.png", "other.png"})
            testsupport::writeImage(engine, dir.file(std::string("data/2d/others/") + image));
        std::filesystem::create_directory_symlink(std::string(SANDVOLT_RUN_DIR) + "/data/fonts",
                                                  dir.file("data/fonts"));
    }

    // Runs `draw` into a screen-sized texture cleared to `background` and keeps its pixels.
    void drawFrame(video::SColor background, const std::function<void()>& draw)
    {
        video::IVideoDriver* driver = engine->getVideoDriver();
        shot = testsupport::captureFrame(engine, core::dimension2du(1024, 768), background, [&] {
            driver->setMaterial(driver->getMaterial2D());
            draw();
        });
        ASSERT_EQ(shot.size(), 1024u * 768u);
    }

    u32 at(s32 x, s32 y) const { return shot[y * 1024 + x] & 0x00FFFFFF; }
    // Pixels of the box that are not the background.
    int litIn(const core::recti& box, u32 background) const
    {
        int lit = 0;
        for (s32 y = box.UpperLeftCorner.Y; y < box.LowerRightCorner.Y; ++y) {
            for (s32 x = box.UpperLeftCorner.X; x < box.LowerRightCorner.X; ++x)
                lit += at(x, y) != background;
        }
        return lit;
    }

    testsupport::CGLEngine glEngine{1024, 768};
    CGameEngine* engine = glEngine.get();
    SGameSettings& settings = glEngine.settings;
    testsupport::CScratchDir dir;
    testsupport::CWorkingDir cwd{dir.path()};
    std::vector<u32> shot;
};

} // namespace

TEST_F(RaceDisplayOnScreen, PlaceImagesAreMadeWithoutMipMaps)
{
    video::IVideoDriver* driver = engine->getVideoDriver();
    CRace race(engine, &settings, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(driver->getTextureCreationFlag(video::ETCF_CREATE_MIP_MAPS)) << "switched back on";
    for (const char* image : {"data/2d/others/place01.png", "data/2d/others/place02.png",
                              "data/2d/others/place03.png"}) {
        video::ITexture* texture = driver->getTexture(image);
        ASSERT_NE(texture, nullptr) << image;
        EXPECT_FALSE(texture->hasMipMaps()) << image;
    }
    video::ITexture* later = driver->getTexture("data/2d/others/other.png");
    ASSERT_NE(later, nullptr);
    EXPECT_TRUE(later->hasMipMaps()) << "an image made afterwards has them";
}

// Red, green and blue quarters and a see-through one at the lower right.
video::ITexture* quarters(CGameEngine* engine, const std::string& path)
{
    video::IVideoDriver* driver = engine->getVideoDriver();
    video::IImage* image = driver->createImage(video::ECF_A8R8G8B8, core::dimension2d<u32>(2, 2));
    image->setPixel(0, 0, video::SColor(255, 255, 0, 0));
    image->setPixel(1, 0, video::SColor(255, 0, 255, 0));
    image->setPixel(0, 1, video::SColor(255, 0, 0, 255));
    image->setPixel(1, 1, video::SColor(0, 255, 255, 255));
    driver->writeImageToFile(image, path.c_str());
    image->drop();
    // Made as the race makes its place images.
    driver->setTextureCreationFlag(video::ETCF_CREATE_MIP_MAPS, false);
    video::ITexture* texture = driver->getTexture(path.c_str());
    driver->setTextureCreationFlag(video::ETCF_CREATE_MIP_MAPS, true);
    return texture;
}

// Two colours that differ by no more than a filter's rounding in any channel.
bool near(u32 a, u32 b)
{
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (d > 8 || d < -8)
            return false;
    }
    return true;
}

TEST_F(RaceDisplayOnScreen, ImagesFillTheirBoxWholeBlendedByTheirAlpha)
{
    video::ITexture* place = quarters(engine, dir.file("quarters.png"));
    ASSERT_NE(place, nullptr);
    CRaceCanvas canvas(engine);
    drawFrame(video::SColor(0xFF000000), [&] {
        canvas.drawImage(place, core::position2di(384, 192), core::recti(0, 0, 256, 384));
    });
    struct SProbe {
        s32 x, y;
        bool lit;
    };
    const SProbe probes[] = {{383, 300, false}, {384, 300, true}, {639, 300, true}, {640, 300, false},
                             {500, 191, false}, {500, 192, true}, {500, 575, true}, {500, 576, false}};
    for (const SProbe& p : probes)
        EXPECT_EQ(at(p.x, p.y) != 0, p.lit) << p.x << "," << p.y;
    // Each quarter of the box shows a quarter of the image.
    EXPECT_TRUE(near(at(448, 288), 0xFF0000u)) << std::hex << at(448, 288);
    EXPECT_TRUE(near(at(576, 288), 0x00FF00u)) << std::hex << at(576, 288);
    EXPECT_TRUE(near(at(448, 480), 0x0000FFu)) << std::hex << at(448, 480);
    EXPECT_TRUE(near(at(576, 480), 0x000000u)) << "the see-through quarter shows what lies behind";
}

TEST_F(RaceDisplayOnScreen, TheOverlayDarkensByItsAlpha)
{
    CRaceCanvas canvas(engine);
    drawFrame(video::SColor(0xFFFFFFFF), [&] {
        canvas.drawRectangle(video::SColor(232, 0, 0, 0), core::recti(0, 0, 1024, 384));
    });
    const u32 darkened = at(500, 100);
    EXPECT_NEAR(static_cast<int>(darkened & 0xFF), 23, 2) << std::hex << darkened;
    EXPECT_EQ(at(500, 600), 0xFFFFFFu) << "below the rectangle";
}

TEST_F(RaceDisplayOnScreen, TextsAndLabelsLandInTheirBoxes)
{
    CRaceCanvas canvas(engine);
    gui::CGUITTFont* font = engine->getFont(kFont, 27);
    ASSERT_NE(font, nullptr);
    CGuiTextButton label(L"Champion!", kFont, 55.0f, true, true, video::SColor(0xFFD69900),
                         video::SColor(0xFFD69900), 300.0f, 700.0f, 400.0f, 480.0f, true, engine);
    engine->getDevice()->getCursorControl()->setPosition(5, 5);
    const core::recti textBox(20, 84, 256, 122);
    const core::recti labelBox(307, 307, 716, 368);
    drawFrame(video::SColor(0xFF000000), [&] {
        canvas.drawText(font, L"Lap 1 / 3", textBox, video::SColor(0xFFF2C601), false, true);
        canvas.drawLabel(&label);
        canvas.drawText(nullptr, L"no font, no text", core::recti(20, 600, 400, 700),
                        video::SColor(0xFFFFFFFF), false, true);
    });
    EXPECT_GT(litIn(textBox, 0), 100);
    EXPECT_GT(litIn(core::recti(20, 84, 45, 122), 0), 0) << "the text starts at the box's left edge";
    EXPECT_GT(litIn(labelBox, 0), 100);
    EXPECT_EQ(litIn(core::recti(0, 0, 1024, 768), 0), litIn(textBox, 0) + litIn(labelBox, 0))
        << "nothing outside the two boxes";
}
