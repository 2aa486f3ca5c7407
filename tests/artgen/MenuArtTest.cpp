// The menu backgrounds, the main menu's buttons, the cursor and the place images, loaded from the
// run folder through the engine library the way the menus and the race display load them.
#include "core/CGameEngine.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <irrlicht.h>

#include <string>

namespace {

using irr::video::IImage;

enum EArt { EA_BACKGROUND, EA_BUTTON, EA_CURSOR, EA_PLACE };

struct SArtCase {
    const char* path;
    EArt kind;
};

const SArtCase kArt[] = {
    {"data/2d/menu/backgroundm.dds", EA_BACKGROUND}, {"data/2d/menu/backgrounda.dds", EA_BACKGROUND},
    {"data/2d/menu/backgroundl.dds", EA_BACKGROUND}, {"data/2d/menu/cursor.png", EA_CURSOR},
    {"data/2d/menu/start_no.png", EA_BUTTON},        {"data/2d/menu/start_yes.png", EA_BUTTON},
    {"data/2d/menu/continue_no.png", EA_BUTTON},     {"data/2d/menu/continue_yes.png", EA_BUTTON},
    {"data/2d/menu/break_no.png", EA_BUTTON},        {"data/2d/menu/break_yes.png", EA_BUTTON},
    {"data/2d/menu/options_no.png", EA_BUTTON},      {"data/2d/menu/options_yes.png", EA_BUTTON},
    {"data/2d/menu/credits_no.png", EA_BUTTON},      {"data/2d/menu/credits_yes.png", EA_BUTTON},
    {"data/2d/menu/exit_no.png", EA_BUTTON},         {"data/2d/menu/exit_yes.png", EA_BUTTON},
    {"data/2d/others/place01.png", EA_PLACE},        {"data/2d/others/place02.png", EA_PLACE},
    {"data/2d/others/place03.png", EA_PLACE},
};

const char* const kButtons[] = {"start", "continue", "break", "options", "credits", "exit"};

class MenuArt : public ::testing::Test {
protected:
    MenuArt() : runDir(SANDVOLT_RUN_DIR) {}

    IImage* load(const std::string& path)
    {
        return engine->getVideoDriver()->createImageFromFile(path.c_str());
    }

    static irr::u32 alpha(IImage* image, irr::u32 x, irr::u32 y) { return image->getPixel(x, y).getAlpha(); }

    testsupport::CWorkingDir runDir;
    testsupport::CNullEngine engine;
};

// What the game does (getTexture) must work and stay quiet; the pictures must fit the boxes they
// are stretched over: the whole screen, a button box of 600 x 75 thousandths of the screen (about
// 10.7:1 on a 4:3 screen, 14.2:1 on 16:9), a 35-pixel square, a quarter of the width by half the
// height of the screen.
TEST_F(MenuArt, LoadsQuietlyInTheShapesTheScreensStretchItTo)
{
    for (const SArtCase& c : kArt) {
        irr::video::ITexture* texture = nullptr;
        const std::string printed = testsupport::captureStdout([&] { texture = engine->getVideoDriver()->getTexture(c.path); });
        EXPECT_NE(texture, nullptr) << c.path;
        EXPECT_EQ(printed.find("Warning"), std::string::npos) << c.path << "\n" << printed;
        EXPECT_EQ(printed.find("Could not"), std::string::npos) << c.path << "\n" << printed;

        IImage* image = load(c.path);
        ASSERT_NE(image, nullptr) << c.path;
        const double w = image->getDimension().Width, h = image->getDimension().Height;
        switch (c.kind) {
        case EA_BACKGROUND:
            EXPECT_GE(w, 1280) << c.path;
            EXPECT_NEAR(w / h, 16.0 / 9.0, 0.05) << c.path;
            break;
        case EA_BUTTON:
            EXPECT_GE(w, 512) << c.path;
            EXPECT_GE(w / h, 10.6) << c.path;
            EXPECT_LE(w / h, 14.3) << c.path;
            break;
        case EA_CURSOR:
            EXPECT_EQ(w, h) << c.path;
            EXPECT_GE(w, 35) << c.path;
            break;
        case EA_PLACE:
            EXPECT_EQ(w, h) << c.path;
            EXPECT_GE(w, 256) << c.path;
            break;
        }
        image->drop();
    }
}

// Backgrounds cover the screen; everything laid over the game has see-through corners round an
// opaque middle. The cursor's picture starts at the mouse position, so the tip of the arrow has
// to be in its top-left corner.
TEST_F(MenuArt, IsOpaqueWhereItCoversAndClearAroundWhatItShows)
{
    for (const SArtCase& c : kArt) {
        IImage* image = load(c.path);
        ASSERT_NE(image, nullptr) << c.path;
        const irr::u32 w = image->getDimension().Width, h = image->getDimension().Height;
        if (c.kind == EA_BACKGROUND) {
            irr::u32 seeThrough = 0;
            for (irr::u32 y = 0; y < h; y += 3)
                for (irr::u32 x = 0; x < w; x += 3)
                    seeThrough += alpha(image, x, y) != 255;
            EXPECT_EQ(seeThrough, 0u) << c.path;
        } else {
            EXPECT_EQ(alpha(image, w - 1, 0), 0u) << c.path;
            EXPECT_EQ(alpha(image, 0, h - 1), 0u) << c.path;
            EXPECT_EQ(alpha(image, w - 1, h - 1), 0u) << c.path;
            if (c.kind == EA_CURSOR) {
                bool tip = false;
                for (irr::u32 y = 0; y < w / 8; ++y)
                    for (irr::u32 x = 0; x < w / 8; ++x)
                        tip = tip || alpha(image, x, y) == 255;
                EXPECT_TRUE(tip) << c.path << ": no arrow tip in the top-left corner";
                EXPECT_EQ(alpha(image, w / 4, h / 4), 255u) << c.path;
            } else {
                EXPECT_EQ(alpha(image, 0, 0), 0u) << c.path;
                EXPECT_GE(alpha(image, w / 2, h / 2), 200u) << c.path;
            }
        }
        image->drop();
    }
}

// The hover picture has to show visibly; each button has its own word.
TEST_F(MenuArt, ButtonsLightUpUnderTheMouseAndDifferFromEachOther)
{
    auto differingShare = [](IImage* a, IImage* b) {
        const irr::u32 w = a->getDimension().Width, h = a->getDimension().Height;
        irr::u32 differing = 0;
        for (irr::u32 y = 0; y < h; ++y)
            for (irr::u32 x = 0; x < w; ++x)
                differing += a->getPixel(x, y) != b->getPixel(x, y);
        return double(differing) / (double(w) * h);
    };
    std::vector<IImage*> normals;
    for (const char* name : kButtons) {
        IImage* normal = load(std::string("data/2d/menu/") + name + "_no.png");
        IImage* hover = load(std::string("data/2d/menu/") + name + "_yes.png");
        ASSERT_NE(normal, nullptr) << name;
        ASSERT_NE(hover, nullptr) << name;
        EXPECT_EQ(normal->getDimension(), hover->getDimension()) << name;
        if (normal->getDimension() == hover->getDimension()) {
            EXPECT_GT(differingShare(normal, hover), 0.2) << name;
        }
        hover->drop();
        normals.push_back(normal);
    }
    for (size_t i = 0; i < normals.size(); ++i)
        for (size_t j = i + 1; j < normals.size(); ++j)
            EXPECT_GT(differingShare(normals[i], normals[j]), 0.05) << kButtons[i] << " / " << kButtons[j];
    for (IImage* image : normals)
        image->drop();
}

} // namespace
