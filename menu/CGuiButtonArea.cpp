#include "menu/CGuiButtonArea.h"

#include "core/CGameEngine.h"

using namespace irr;

CGuiButtonArea::CGuiButtonArea(f32 left, f32 right, f32 top, f32 bottom, bool needRelease,
                               CGameEngine* engine)
    : engine(engine), needRelease(needRelease), armed(false)
{
    const core::dimension2d<u32> screen = engine->getVideoDriver()->getScreenSize();
    const f32 sx = static_cast<f32>(screen.Width * 0.001);
    const f32 sy = static_cast<f32>(screen.Height * 0.001);
    this->left = left * sx;
    this->right = right * sx;
    this->top = top * sy;
    this->bottom = bottom * sy;
}

void CGuiButtonArea::update(bool& inside, bool& clicked)
{
    const core::position2d<s32> mouse = engine->getDevice()->getCursorControl()->getPosition();
    const f32 mx = static_cast<f32>(mouse.X);
    const f32 my = static_cast<f32>(mouse.Y);
    // A mouse exactly on an edge is outside: two buttons that touch never both light up.
    inside = left < mx && mx < right && top < my && my < bottom;
    clicked = false;
    if (!inside) {
        if (needRelease)
            armed = false;
        return;
    }
    // A press only counts once the button has been seen up over this button: the press that
    // opened a screen, or one dragged in from outside, is no click here.
    if (needRelease) {
        if (!engine->getInput().isLeftMousePressed())
            armed = true;
    } else {
        armed = true;
    }
    if (armed && engine->getInput().isLeftMousePressed()) {
        armed = false;
        clicked = true;
        engine->clickTaken();
    }
}

core::rect<s32> CGuiButtonArea::pixels() const
{
    return core::rect<s32>(static_cast<s32>(left), static_cast<s32>(top), static_cast<s32>(right),
                           static_cast<s32>(bottom));
}
