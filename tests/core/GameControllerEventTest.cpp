// The input receiver: keys are levels, mouse presses last until the next event of any kind.
#include <gtest/gtest.h>

#include "core/GameControllerEvent.h"

using namespace irr;

namespace {

SEvent keyEvent(unsigned code, bool down)
{
    SEvent event;
    event.EventType = EET_KEY_INPUT_EVENT;
    event.KeyInput.Key = static_cast<EKEY_CODE>(code);
    event.KeyInput.PressedDown = down;
    event.KeyInput.Char = 0;
    event.KeyInput.Shift = false;
    event.KeyInput.Control = false;
    return event;
}

SEvent mouseEvent(EMOUSE_INPUT_EVENT what)
{
    SEvent event;
    event.EventType = EET_MOUSE_INPUT_EVENT;
    event.MouseInput.Event = what;
    event.MouseInput.X = 10;
    event.MouseInput.Y = 20;
    event.MouseInput.Wheel = 0;
    event.MouseInput.ButtonStates = 0;
    event.MouseInput.Shift = false;
    event.MouseInput.Control = false;
    return event;
}

} // namespace

TEST(GameControllerEvent, KeysStayDownUntilReleased)
{
    GameControllerEvent input;
    EXPECT_TRUE(input.OnEvent(keyEvent(KEY_KEY_W, true)));
    EXPECT_TRUE(input.OnEvent(mouseEvent(EMIE_MOUSE_MOVED)));
    EXPECT_TRUE(input.keyDown[KEY_KEY_W]);
    const GameControllerEvent snapshot = input;
    input.OnEvent(keyEvent(KEY_KEY_W, false));
    EXPECT_FALSE(input.keyDown[KEY_KEY_W]);
    EXPECT_TRUE(snapshot.keyDown[KEY_KEY_W]); // a copy does not follow later events
}

TEST(GameControllerEvent, KeyCodesPastTheTableAreIgnored)
{
    GameControllerEvent input;
    const GameControllerEvent before = input;
    for (unsigned code : {255u, 256u, 300u, 0xFFFFu}) {
        EXPECT_TRUE(input.OnEvent(keyEvent(code, true))) << code;
    }
    for (int i = 0; i < GameControllerEvent::KEY_FLAG_COUNT; ++i)
        EXPECT_FALSE(input.keyDown[i]) << i;
    EXPECT_FALSE(input.leftMousePressed);
    EXPECT_EQ(before.leftMousePressed, input.leftMousePressed);
}

TEST(GameControllerEvent, MousePressLastsOneEvent)
{
    struct Case { EMOUSE_INPUT_EVENT press; bool left, right, middle; };
    const Case cases[] = {{EMIE_LMOUSE_PRESSED_DOWN, true, false, false},
                          {EMIE_RMOUSE_PRESSED_DOWN, false, true, false},
                          {EMIE_MMOUSE_PRESSED_DOWN, false, false, true}};
    for (const Case& c : cases) {
        GameControllerEvent input;
        input.OnEvent(mouseEvent(c.press));
        EXPECT_EQ(input.isLeftMousePressed(), c.left);
        EXPECT_EQ(input.isRightMousePressed(), c.right);
        EXPECT_EQ(input.isMiddleMousePressed(), c.middle);
        input.OnEvent(mouseEvent(EMIE_MOUSE_MOVED));
        EXPECT_FALSE(input.isLeftMousePressed() || input.isRightMousePressed() || input.isMiddleMousePressed());
    }

    GameControllerEvent input;
    input.OnEvent(mouseEvent(EMIE_LMOUSE_PRESSED_DOWN));
    EXPECT_TRUE(input.OnEvent(mouseEvent(EMIE_RMOUSE_LEFT_UP)));
    EXPECT_FALSE(input.isLeftMousePressed());
    input.OnEvent(mouseEvent(EMIE_LMOUSE_PRESSED_DOWN));
    input.OnEvent(keyEvent(KEY_KEY_A, true));
    EXPECT_FALSE(input.isLeftMousePressed());
}

TEST(GameControllerEvent, OtherEventsAreNotConsumedButClearThePress)
{
    GameControllerEvent input;
    input.OnEvent(mouseEvent(EMIE_LMOUSE_PRESSED_DOWN));
    SEvent log;
    log.EventType = EET_LOG_TEXT_EVENT;
    log.LogEvent.Text = "hello";
    log.LogEvent.Level = ELL_INFORMATION;
    EXPECT_FALSE(input.OnEvent(log));
    EXPECT_FALSE(input.isLeftMousePressed());
}

TEST(GameControllerEvent, DoubleAndTripleClicksKeepThePress)
{
    const EMOUSE_INPUT_EVENT series[] = {EMIE_LMOUSE_DOUBLE_CLICK, EMIE_LMOUSE_TRIPLE_CLICK,
                                         EMIE_RMOUSE_DOUBLE_CLICK, EMIE_RMOUSE_TRIPLE_CLICK,
                                         EMIE_MMOUSE_DOUBLE_CLICK, EMIE_MMOUSE_TRIPLE_CLICK};
    for (EMOUSE_INPUT_EVENT extra : series) {
        GameControllerEvent input;
        input.OnEvent(mouseEvent(EMIE_LMOUSE_PRESSED_DOWN));
        EXPECT_TRUE(input.OnEvent(mouseEvent(extra))) << extra;
        EXPECT_TRUE(input.isLeftMousePressed()) << extra;
        input.OnEvent(mouseEvent(EMIE_LMOUSE_LEFT_UP));
        EXPECT_FALSE(input.isLeftMousePressed()) << extra;
    }
}
