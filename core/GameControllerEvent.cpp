#include "core/GameControllerEvent.h"

#include <cstring>
#include <type_traits>

GameControllerEvent::GameControllerEvent()
    : leftMousePressed(false), rightMousePressed(false), middleMousePressed(false)
{
    for (bool& down : keyDown)
        down = false;
}

GameControllerEvent::~GameControllerEvent()
{
}

namespace {

// The engine posts these right behind the second (third) press of a quick series; they carry no
// press of their own, and letting them end the press before it was seen would lose the click.
bool isMultiClick(const irr::SEvent& event)
{
    if (event.EventType != irr::EET_MOUSE_INPUT_EVENT)
        return false;
    switch (event.MouseInput.Event) {
    case irr::EMIE_LMOUSE_DOUBLE_CLICK:
    case irr::EMIE_RMOUSE_DOUBLE_CLICK:
    case irr::EMIE_MMOUSE_DOUBLE_CLICK:
    case irr::EMIE_LMOUSE_TRIPLE_CLICK:
    case irr::EMIE_RMOUSE_TRIPLE_CLICK:
    case irr::EMIE_MMOUSE_TRIPLE_CLICK:
        return true;
    default:
        return false;
    }
}

} // namespace

bool GameControllerEvent::OnEvent(const irr::SEvent& event)
{
    if (isMultiClick(event))
        return true;
    // Mouse presses are momentary: any other event ends them.
    leftMousePressed = false;
    rightMousePressed = false;
    middleMousePressed = false;

    if (event.EventType == irr::EET_KEY_INPUT_EVENT) {
        // The engine's key codes stop below 255, but a keyboard may report more (KEY_KEY_CODES_COUNT).
        // Read as its raw number: a code past the engine's list is no valid enum value.
        std::underlying_type_t<irr::EKEY_CODE> code;
        std::memcpy(&code, &event.KeyInput.Key, sizeof code);
        if (code < KEY_FLAG_COUNT)
            keyDown[code] = event.KeyInput.PressedDown;
        return true;
    }
    if (event.EventType == irr::EET_MOUSE_INPUT_EVENT) {
        switch (event.MouseInput.Event) {
        case irr::EMIE_LMOUSE_PRESSED_DOWN: leftMousePressed = true; break;
        case irr::EMIE_RMOUSE_PRESSED_DOWN: rightMousePressed = true; break;
        case irr::EMIE_MMOUSE_PRESSED_DOWN: middleMousePressed = true; break;
        default: break;
        }
        return true;
    }
    return false;
}

bool GameControllerEvent::isLeftMousePressed() const { return leftMousePressed; }
bool GameControllerEvent::isRightMousePressed() const { return rightMousePressed; }
bool GameControllerEvent::isMiddleMousePressed() const { return middleMousePressed; }
