// The menu widgets on the real engine library (null driver): where they sit, when a press on them
// counts, and that missing art leaves them working.
#include <gtest/gtest.h>

#include <memory>

#include "support/TestSupport.h"
#include "core/CGameEngine.h"
#include "menu/CGuiCursor.h"
#include "menu/CGuiImageButton.h"
#include "menu/CGuiTextButton.h"

using namespace irr;
using testsupport::CNullEngine;

namespace {

const char* const kMissing = "data/2d/menu/no_such_image.png";

// A button on a 1000 x 1000 screen, where thousandths are whole pixels: 200 to 600 across, 150
// to 450 down.
struct ButtonFixture {
    CNullEngine engine{0, 1000, 1000};
    CGuiImageButton button{kMissing, kMissing, 200, 600, 150, 450, true, engine.get()};

    // One frame of a screen: the events posted since the last were the device's delivery, the
    // button looks at them, and the next turn of the device forgets the presses.
    bool frame()
    {
        const bool clicked = button.update();
        engine->run();
        return clicked;
    }
    void press() { engine.postMouse(EMIE_LMOUSE_PRESSED_DOWN); }
    void release() { engine.postMouse(EMIE_LMOUSE_LEFT_UP); }
};

} // namespace

TEST(MenuWidgets, PlacedInThousandthsOfTheScreenAndCutToWholePixels)
{
    // The edges in pixels, then the first and the last mouse pixel inside, across and down.
    struct Case { u32 width, height; f32 l, r, t, b; f32 pl, pr, pt, pb; s32 x0, x1, y0, y1; };
    const Case cases[] = {
        {1024, 768, 200, 800, 460, 535, 204.8f, 819.2f, 353.28f, 410.88f, 205, 819, 354, 410},
        {1280, 1024, 265, 490, 180, 400, 339.2f, 627.2f, 184.32f, 409.6f, 340, 627, 185, 409},
        {1280, 1024, 755, 980, 510, 730, 966.4f, 1254.4f, 522.24f, 747.52f, 967, 1254, 523, 747},
    };
    for (const Case& c : cases) {
        CNullEngine engine(0, c.width, c.height);
        CGuiImageButton button(kMissing, kMissing, c.l, c.r, c.t, c.b, true, engine.get());
        EXPECT_FLOAT_EQ(button.getLeft(), c.pl) << c.width;
        EXPECT_FLOAT_EQ(button.getRight(), c.pr) << c.width;
        EXPECT_FLOAT_EQ(button.getTop(), c.pt) << c.width;
        EXPECT_FLOAT_EQ(button.getBottom(), c.pb) << c.width;
        const s32 probes[][3] = {{c.x0, c.y0, 1}, {c.x1, c.y1, 1}, {c.x0 - 1, c.y0, 0},
                                 {c.x1 + 1, c.y1, 0}, {c.x0, c.y0 - 1, 0}, {c.x1, c.y1 + 1, 0}};
        for (const auto& at : probes) {
            engine.moveMouse(at[0], at[1]);
            button.update();
            engine.postMouse(EMIE_LMOUSE_PRESSED_DOWN);
            EXPECT_EQ(button.update(), at[2] == 1) << c.width << " at " << at[0] << "," << at[1];
            engine.postMouse(EMIE_LMOUSE_LEFT_UP);
            engine->run();
        }
    }
}

TEST(MenuWidgets, TheMouseOnAnEdgeIsOutside)
{
    struct Case { s32 x, y; bool inside; };
    const Case cases[] = {{200, 300, false}, {600, 300, false}, {400, 150, false}, {400, 450, false},
                          {201, 300, true},  {599, 300, true},  {400, 151, true},  {400, 449, true}};
    for (const Case& c : cases) {
        ButtonFixture f;
        f.engine.moveMouse(c.x, c.y);
        EXPECT_FALSE(f.frame());
        f.press();
        EXPECT_EQ(f.frame(), c.inside) << c.x << "," << c.y;
    }
}

TEST(MenuWidgets, APressCountsOnlyOnAnArmedButtonAndOnce)
{
    ButtonFixture f;
    f.engine.moveMouse(400, 300);
    // A press in the screen's first frame, before the button was seen without one: no click.
    f.press();
    EXPECT_FALSE(f.frame());
    EXPECT_FALSE(f.frame());
    f.release();
    EXPECT_FALSE(f.frame());
    f.press();
    EXPECT_TRUE(f.frame());
    // Held down: no repeat.
    EXPECT_FALSE(f.frame());
    EXPECT_FALSE(f.frame());
    // A quick second click whose release and press fall in one frame is a click of its own.
    f.release();
    f.press();
    EXPECT_TRUE(f.frame());
    f.release();
    EXPECT_FALSE(f.frame());
}

TEST(MenuWidgets, APressDraggedInIsNoClick)
{
    ButtonFixture f;
    f.engine.moveMouse(100, 100);
    EXPECT_FALSE(f.frame());
    f.press();
    EXPECT_FALSE(f.frame());
    f.engine.moveMouse(400, 300);
    EXPECT_FALSE(f.frame());
    // Leaving the button disarms it, even after it has seen the button up inside.
    f.release();
    EXPECT_FALSE(f.frame());
    f.engine.moveMouse(100, 100);
    EXPECT_FALSE(f.frame());
    f.press();
    f.engine.moveMouse(400, 300);
    EXPECT_FALSE(f.frame());
}

// A click is kept until the frame reads it, whatever the device delivers after the press in that
// frame: its release (a touchpad tap), a move of the mouse, the engine's double-click report, a key.
TEST(MenuWidgets, APressCountsOnceWhateverFollowsItInTheFrame)
{
    const EMOUSE_INPUT_EVENT followers[] = {EMIE_LMOUSE_LEFT_UP, EMIE_MOUSE_MOVED, EMIE_LMOUSE_DOUBLE_CLICK,
                                            EMIE_RMOUSE_LEFT_UP};
    for (EMOUSE_INPUT_EVENT follower : followers) {
        ButtonFixture f;
        f.engine.moveMouse(400, 300);
        EXPECT_FALSE(f.frame());
        f.press();
        f.engine.postMouse(follower);
        f.engine.postMouse(EMIE_MOUSE_MOVED);
        EXPECT_TRUE(f.frame()) << follower;
        EXPECT_FALSE(f.frame()) << follower;
    }
    ButtonFixture f;
    f.engine.moveMouse(400, 300);
    EXPECT_FALSE(f.frame());
    f.press();
    f.engine.postKey(KEY_KEY_A, true);
    EXPECT_TRUE(f.frame());
    EXPECT_FALSE(f.frame());
}

// A screen opened by a click holds the clicks for a double-click interval from it, on the stopped
// clock: the second click of a double click does not land on the new screen's button under the
// mouse; a click after the interval does. Without a click before, nothing is held.
TEST(MenuWidgets, AScreenOpenedByAClickTakesNoClickWithinTheDoubleClickInterval)
{
    struct Case { u32 secondPressMs; bool clicks; };
    const Case cases[] = {{1000, false}, {1150, false}, {1499, false}, {1500, true}, {2600, true}};
    for (const Case& c : cases) {
        ButtonFixture opening;
        opening.engine.setTime(1000);
        opening.engine.moveMouse(400, 300);
        EXPECT_FALSE(opening.frame());
        opening.press();
        opening.release();
        ASSERT_TRUE(opening.frame());
        // The next screen begins, with a button under the mouse.
        CGuiImageButton next(kMissing, kMissing, 200, 600, 150, 450, true, opening.engine.get());
        opening.engine->holdClicksAfterLastClick(500);
        EXPECT_FALSE(next.update());
        opening.engine->run();
        opening.engine.setTime(c.secondPressMs);
        opening.press();
        opening.release();
        EXPECT_EQ(next.update(), c.clicks) << c.secondPressMs;
    }

    ButtonFixture fresh;
    fresh.engine.setTime(200);
    fresh.engine->holdClicksAfterLastClick(500);
    fresh.engine.moveMouse(400, 300);
    EXPECT_FALSE(fresh.frame());
    fresh.press();
    EXPECT_TRUE(fresh.frame());
}

TEST(MenuWidgets, WithoutNeedReleaseAPressClicksAtOnce)
{
    CNullEngine engine(0, 800, 600);
    CGuiImageButton button(kMissing, kMissing, 250, 750, 250, 750, false, engine.get());
    engine.moveMouse(400, 300);
    engine.postMouse(EMIE_LMOUSE_PRESSED_DOWN);
    EXPECT_TRUE(button.update());
    engine->run();
    EXPECT_FALSE(button.update());
}

TEST(MenuWidgets, MissingImagesLeaveTheWidgetsWorkingAndSaySo)
{
    CNullEngine engine(0, 800, 600);
    std::unique_ptr<CGuiImageButton> button;
    std::unique_ptr<CGuiCursor> cursor;
    const std::string out = testsupport::captureStdout([&] {
        button.reset(new CGuiImageButton(kMissing, "", 250, 750, 250, 750, true, engine.get()));
        cursor.reset(new CGuiCursor(kMissing, engine.get()));
    });
    const std::vector<std::string> lines = testsupport::gameLines(out);
    ASSERT_EQ(lines.size(), 3u) << out;
    EXPECT_EQ(lines[0], std::string("Warning: Could not load the menu image \"") + kMissing +
                            "\"; it is not drawn");

    video::IVideoDriver* driver = engine->getVideoDriver();
    driver->beginScene(true, true, video::SColor(0xFF000000));
    engine.moveMouse(400, 300);
    EXPECT_FALSE(button->update());
    cursor->draw();
    engine.postMouse(EMIE_LMOUSE_PRESSED_DOWN);
    EXPECT_TRUE(button->update());
    cursor->draw();
    driver->endScene();
    // Released art is simply no longer drawn.
    button->release();
    cursor->release();
    button->update();
    cursor->draw();
}

TEST(MenuWidgets, TextSizesFollowTheScreenHeightCutToWholePixels)
{
    struct Case { u32 height; f32 size; u32 pixels; };
    const Case cases[] = {{768, 55, 42}, {768, 45, 34}, {600, 40, 24}, {1024, 45, 46}, {1080, 55, 59}};
    const std::string font = std::string(SANDVOLT_RUN_DIR) + "/data/fonts/komika_axis.ttf";
    for (const Case& c : cases) {
        CNullEngine engine(0, 1024, c.height);
        CGuiTextButton label(L"Back", font, c.size, true, true, video::SColor(0xFFD69900),
                             video::SColor(0xFFF2C601), 300, 700, 840, 920, true, engine.get());
        ASSERT_NE(label.getFont(), nullptr) << c.height << " " << c.size;
        EXPECT_EQ(label.getFont(), engine->findFont(font, c.pixels)) << c.height << " " << c.size;
    }
}

TEST(MenuWidgets, ATextButtonWithoutItsFontStillWorks)
{
    CNullEngine engine(0, 1000, 1000);
    CGuiTextButton button(L"Start", "data/fonts/none.ttf", 55, true, true, video::SColor(0xFFD69900),
                          video::SColor(0xFFF2C601), 200, 600, 150, 450, true, engine.get());
    EXPECT_EQ(button.getFont(), nullptr);
    video::IVideoDriver* driver = engine->getVideoDriver();
    driver->beginScene(true, true, video::SColor(0xFF000000));
    engine.moveMouse(400, 300);
    EXPECT_FALSE(button.update());
    engine.postMouse(EMIE_LMOUSE_PRESSED_DOWN);
    EXPECT_TRUE(button.update());
    driver->endScene();

    button.setText(L"Go");
    button.setColor(video::SColor(0x10203040));
    button.setHoverColor(video::SColor(0x50607080));
    EXPECT_EQ(button.getText(), L"Go");
    EXPECT_EQ(button.getColor(), video::SColor(0x10203040));
    EXPECT_EQ(button.getHoverColor(), video::SColor(0x50607080));
}
