#pragma once
#include <irrlicht.h>

class CGameEngine;

// Where a button sits on the screen and when a press on it counts: the part the image and the
// text buttons share. Placed in thousandths of the screen size as it is when the button is built.
class CGuiButtonArea {
public:
    CGuiButtonArea(irr::f32 left, irr::f32 right, irr::f32 top, irr::f32 bottom, bool needRelease,
                   CGameEngine* engine);

    // Reads the mouse: whether it is inside now, and whether this frame's press is a click.
    void update(bool& inside, bool& clicked);
    // The rectangle in whole pixels, cut toward zero.
    irr::core::rect<irr::s32> pixels() const;

    irr::f32 left;
    irr::f32 right;
    irr::f32 top;
    irr::f32 bottom;
    CGameEngine* engine;
    bool needRelease;
    bool armed;
};
