#pragma once
#include <irrlicht.h>
#include <string>

#include "menu/CGuiButtonArea.h"

class CGameEngine;
namespace irr {
namespace gui {
class CGUITTFont;
}
}

// A text button or label drawn with a TrueType font, in one colour while the mouse is outside and
// another while it is over it (a label passes the same colour twice). The rectangle and the font
// size are in thousandths of the screen size; the race display uses it as a label too.
class CGuiTextButton {
public:
    CGuiTextButton(std::wstring text, std::string fontPath, irr::f32 fontSize, bool vcenter,
                   bool hcenter, irr::video::SColor color, irr::video::SColor hoverColor,
                   irr::f32 left, irr::f32 right, irr::f32 top, irr::f32 bottom, bool needRelease,
                   CGameEngine* engine);
    ~CGuiTextButton();

    // Draws the text; true on the frame a click on it is seen.
    bool update();

    void setText(std::wstring text);
    std::wstring getText();
    void setColor(irr::video::SColor color);
    irr::video::SColor getColor();
    void setHoverColor(irr::video::SColor color);
    irr::video::SColor getHoverColor();

    // Null when the font could not be made: the text is then not drawn, the button still works.
    irr::gui::CGUITTFont* getFont() const { return font; }
    irr::f32 getLeft() const { return area.left; }
    irr::f32 getRight() const { return area.right; }
    irr::f32 getTop() const { return area.top; }
    irr::f32 getBottom() const { return area.bottom; }
    bool getHCenter() const { return hcenter; }
    bool getVCenter() const { return vcenter; }

private:
    std::wstring text;
    irr::gui::CGUITTFont* font;
    bool vcenter;
    bool hcenter;
    irr::video::SColor color;
    irr::video::SColor hoverColor;
    CGuiButtonArea area;
    // The text as the font takes it, made when the text changes rather than every frame.
    irr::core::stringw shown;
};
