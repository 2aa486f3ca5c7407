#pragma once
#include <irrlicht.h>

// The game's event receiver: which keys are held, and which keys and mouse buttons were pressed
// since the frame began. A press is kept until the frame that reads it, so a tap whose press and
// release fall between two frames, or a click followed by a mouse move, still counts once.
// Everything else reads a copy through CGameEngine::getInput.
class GameControllerEvent : public irr::IEventReceiver {
public:
    enum { KEY_FLAG_COUNT = 255 };

    GameControllerEvent();
    virtual ~GameControllerEvent();
    virtual bool OnEvent(const irr::SEvent& event);
    // Forgets the presses of the frame before; the engine calls it before the device delivers a
    // frame's events.
    void startFrame();

    bool isLeftMousePressed() const;
    bool isRightMousePressed() const;
    bool isMiddleMousePressed() const;
    // Held now, or pressed since the frame began. False for a code past the flags.
    bool isKeyDown(irr::s32 code) const;

    bool keyDown[KEY_FLAG_COUNT];
    bool leftMousePressed;
    bool rightMousePressed;
    bool middleMousePressed;
    bool keyPressed[KEY_FLAG_COUNT];
};
