#pragma once
#include <irrlicht.h>
#include <string>

#include "menu/CGuiButtonArea.h"

class CGameEngine;

// A menu button drawn from two images: one while the mouse is outside, one while it is over the
// button. Its rectangle is in thousandths of the screen width (left, right) and height (top, bottom).
class CGuiImageButton {
public:
    CGuiImageButton(std::string normalPath, std::string hoverPath, irr::f32 left, irr::f32 right,
                    irr::f32 top, irr::f32 bottom, bool needRelease, CGameEngine* engine);

    // Draws the button; true on the frame a click on it is seen.
    bool update();
    void release();

    // The rectangle in pixels, as placed.
    irr::f32 getLeft() const { return area.left; }
    irr::f32 getRight() const { return area.right; }
    irr::f32 getTop() const { return area.top; }
    irr::f32 getBottom() const { return area.bottom; }

private:
    irr::video::ITexture* normalTexture;
    irr::video::ITexture* hoverTexture;
    CGuiButtonArea area;
};
