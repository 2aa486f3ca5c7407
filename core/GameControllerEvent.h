#pragma once
#include <irrlicht.h>

// The game's event receiver: which keys are held, and whether a mouse button was pressed by the
// latest event. Everything else reads a copy through CGameEngine::getInput.
class GameControllerEvent : public irr::IEventReceiver {
public:
    enum { KEY_FLAG_COUNT = 255 };

    GameControllerEvent();
    virtual ~GameControllerEvent();
    virtual bool OnEvent(const irr::SEvent& event);

    bool isLeftMousePressed() const;
    bool isRightMousePressed() const;
    bool isMiddleMousePressed() const;

    bool keyDown[KEY_FLAG_COUNT];
    bool leftMousePressed;
    bool rightMousePressed;
    bool middleMousePressed;
};
