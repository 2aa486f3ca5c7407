// The input receiver, fed real events through the null device as its run delivers them: keys are
// levels, and every press of a key or a mouse button is kept until the frame that reads it is over.
#include <gtest/gtest.h>

#include "core/CGameEngine.h"
#include "core/GameControllerEvent.h"
#include "support/TestSupport.h"

using namespace irr;
using testsupport::CNullEngine;

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

} // namespace

// Events posted before a read are that frame's delivery; engine->run() is the turn into the next.
TEST(GameControllerEvent, AKeyIsDownWhileHeldAndATapCountsForTheFrameThatReadsIt)
{
    CNullEngine engine;
    engine.postKey(KEY_KEY_W, true);
    engine.postMouse(EMIE_MOUSE_MOVED);
    EXPECT_TRUE(engine->getInput().keyDown[KEY_KEY_W]);
    EXPECT_TRUE(engine->getInput().isKeyDown(KEY_KEY_W));
    // Held across frames without another event.
    for (int frame = 0; frame < 3; ++frame) {
        ASSERT_TRUE(engine->run());
        EXPECT_TRUE(engine->getInput().isKeyDown(KEY_KEY_W)) << frame;
    }
    const GameControllerEvent snapshot = engine->getInput();
    engine.postKey(KEY_KEY_W, false);
    EXPECT_FALSE(engine->getInput().isKeyDown(KEY_KEY_W)) << "a press of an earlier frame is not kept";
    EXPECT_TRUE(snapshot.isKeyDown(KEY_KEY_W)) << "a copy does not follow later events";

    // Pressed and released between two frames: not held, but seen by every read of the frame,
    // and gone after it.
    engine->run();
    engine.postKey(KEY_ESCAPE, true);
    engine.postKey(KEY_ESCAPE, false);
    EXPECT_FALSE(engine->getInput().keyDown[KEY_ESCAPE]);
    EXPECT_TRUE(engine->getInput().isKeyDown(KEY_ESCAPE));
    EXPECT_TRUE(engine->getInput().isKeyDown(KEY_ESCAPE));
    engine->run();
    EXPECT_FALSE(engine->getInput().isKeyDown(KEY_ESCAPE));
}

TEST(GameControllerEvent, KeyCodesPastTheTableAreIgnored)
{
    GameControllerEvent input;
    for (unsigned code : {255u, 256u, 300u, 0xFFFFu}) {
        EXPECT_TRUE(input.OnEvent(keyEvent(code, true))) << code;
    }
    for (int i = 0; i < GameControllerEvent::KEY_FLAG_COUNT; ++i) {
        EXPECT_FALSE(input.keyDown[i]) << i;
        EXPECT_FALSE(input.isKeyDown(i)) << i;
    }
    for (s32 code : {-1, 255, 256})
        EXPECT_FALSE(input.isKeyDown(code)) << code;
    EXPECT_FALSE(input.leftMousePressed);
}

// A press counts in its frame whatever the device delivers after it: its release (a quick click
// or a touchpad tap), a move, another button's release, the double-click report, a key, a log
// line. The next frame no longer sees it.
TEST(GameControllerEvent, AMousePressIsKeptUntilTheFrameEnds)
{
    struct Case { EMOUSE_INPUT_EVENT press; EMOUSE_INPUT_EVENT release; bool left, right, middle; };
    const Case cases[] = {{EMIE_LMOUSE_PRESSED_DOWN, EMIE_LMOUSE_LEFT_UP, true, false, false},
                          {EMIE_RMOUSE_PRESSED_DOWN, EMIE_RMOUSE_LEFT_UP, false, true, false},
                          {EMIE_MMOUSE_PRESSED_DOWN, EMIE_MMOUSE_LEFT_UP, false, false, true}};
    const EMOUSE_INPUT_EVENT followers[] = {EMIE_MOUSE_MOVED, EMIE_RMOUSE_LEFT_UP, EMIE_LMOUSE_DOUBLE_CLICK,
                                            EMIE_LMOUSE_TRIPLE_CLICK, EMIE_MOUSE_WHEEL};
    for (const Case& c : cases) {
        CNullEngine engine;
        engine.postMouse(c.press);
        engine.postMouse(c.release);
        for (EMOUSE_INPUT_EVENT follower : followers)
            engine.postMouse(follower);
        engine.postKey(KEY_KEY_A, true);
        engine->getDevice()->getLogger()->log("a line of the log");
        const GameControllerEvent input = engine->getInput();
        EXPECT_EQ(input.isLeftMousePressed(), c.left) << c.press;
        EXPECT_EQ(input.isRightMousePressed(), c.right) << c.press;
        EXPECT_EQ(input.isMiddleMousePressed(), c.middle) << c.press;
        engine->run();
        const GameControllerEvent next = engine->getInput();
        EXPECT_FALSE(next.isLeftMousePressed() || next.isRightMousePressed() || next.isMiddleMousePressed())
            << c.press;
    }
}

TEST(GameControllerEvent, OtherEventsAreNotConsumed)
{
    GameControllerEvent input;
    SEvent log;
    log.EventType = EET_LOG_TEXT_EVENT;
    log.LogEvent.Text = "hello";
    log.LogEvent.Level = ELL_INFORMATION;
    EXPECT_FALSE(input.OnEvent(log));
}
