#pragma once
#include <irrlicht.h>

class CGameEngine;
class CGuiTextButton;

// What the race display puts on the screen, one piece at a time: texts in a font, images through
// the engine's screen quad, plain rectangles and labels. The race draws on this one; another can
// take its place to see what a frame shows without a screen.
class CRaceCanvas {
public:
    explicit CRaceCanvas(CGameEngine* engine);
    virtual ~CRaceCanvas();

    CRaceCanvas(const CRaceCanvas&) = delete;
    CRaceCanvas& operator=(const CRaceCanvas&) = delete;

    // Nothing is drawn without a font: the text simply stays away.
    virtual void drawText(irr::gui::IGUIFont* font, const irr::core::stringw& text,
                          const irr::core::recti& box, irr::video::SColor colour, bool hcenter,
                          bool vcenter);
    // The whole texture fills the box of `sourceRect`'s size at `position`, blended by its alpha.
    virtual void drawImage(irr::video::ITexture* texture, const irr::core::position2di& position,
                           const irr::core::recti& sourceRect);
    virtual void drawRectangle(irr::video::SColor colour, const irr::core::recti& box);
    virtual void drawLabel(CGuiTextButton* label);

private:
    CGameEngine* engine;
};
