#include "core/GameControllerEvent.h"

#include <cstring>
#include <type_traits>

GameControllerEvent::GameControllerEvent()
    : leftMousePressed(false), rightMousePressed(false), middleMousePressed(false)
{
    for (bool& down : keyDown)
        down = false;
    for (bool& pressed : keyPressed)
        pressed = false;
}

GameControllerEvent::~GameControllerEvent()
{
}

void GameControllerEvent::startFrame()
{
    leftMousePressed = false;
    rightMousePressed = false;
    middleMousePressed = false;
    for (bool& pressed : keyPressed)
        pressed = false;
}

bool GameControllerEvent::OnEvent(const irr::SEvent& event)
{
    if (event.EventType == irr::EET_KEY_INPUT_EVENT) {
        // The engine's key codes stop below 255, but a keyboard may report more (KEY_KEY_CODES_COUNT).
        // Read as its raw number: a code past the engine's list is no valid enum value.
        std::underlying_type_t<irr::EKEY_CODE> code;
        std::memcpy(&code, &event.KeyInput.Key, sizeof code);
        if (code < KEY_FLAG_COUNT) {
            keyDown[code] = event.KeyInput.PressedDown;
            if (event.KeyInput.PressedDown)
                keyPressed[code] = true;
        }
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

bool GameControllerEvent::isKeyDown(irr::s32 code) const
{
    return code >= 0 && code < KEY_FLAG_COUNT && (keyDown[code] || keyPressed[code]);
}
