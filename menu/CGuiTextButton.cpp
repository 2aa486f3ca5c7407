#include "menu/CGuiTextButton.h"

#include <utility>

#include "core/CGameEngine.h"
#include "font/CGUITTFont.h"

using namespace irr;

namespace {

// Font sizes follow the screen height, so the menus read the same at every resolution.
u32 pixelSize(CGameEngine* engine, f32 fontSize)
{
    const f32 sy = static_cast<f32>(engine->getVideoDriver()->getScreenSize().Height * 0.001);
    const f32 size = sy * fontSize;
    return size > 0.0f ? static_cast<u32>(size) : 0u;
}

} // namespace

CGuiTextButton::CGuiTextButton(std::wstring text, std::string fontPath, f32 fontSize, bool vcenter,
                               bool hcenter, video::SColor color, video::SColor hoverColor, f32 left,
                               f32 right, f32 top, f32 bottom, bool needRelease, CGameEngine* engine)
    : text(std::move(text)), font(engine->getFont(fontPath, pixelSize(engine, fontSize))),
      vcenter(vcenter), hcenter(hcenter), color(color), hoverColor(hoverColor),
      area(left, right, top, bottom, needRelease, engine), shown(this->text.c_str())
{
}

CGuiTextButton::~CGuiTextButton() = default;

bool CGuiTextButton::update()
{
    bool inside = false;
    bool clicked = false;
    area.update(inside, clicked);
    if (font)
        font->draw(shown, area.pixels(), inside ? hoverColor : color, hcenter, vcenter, nullptr);
    return clicked;
}

void CGuiTextButton::setText(std::wstring value)
{
    if (value == text)
        return;
    text = std::move(value);
    shown = text.c_str();
}

std::wstring CGuiTextButton::getText() { return text; }
void CGuiTextButton::setColor(video::SColor value) { color = value; }
video::SColor CGuiTextButton::getColor() { return color; }
void CGuiTextButton::setHoverColor(video::SColor value) { hoverColor = value; }
video::SColor CGuiTextButton::getHoverColor() { return hoverColor; }
