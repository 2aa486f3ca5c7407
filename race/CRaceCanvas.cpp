#include "race/CRaceCanvas.h"

#include "core/CGameEngine.h"
#include "effects/CScreenQuadEntity.h"
#include "menu/CGuiTextButton.h"

using namespace irr;

CRaceCanvas::CRaceCanvas(CGameEngine* engine) : engine(engine) {}

CRaceCanvas::~CRaceCanvas() {}

void CRaceCanvas::drawText(gui::IGUIFont* font, const core::stringw& text, const core::recti& box,
                           video::SColor colour, bool hcenter, bool vcenter)
{
    if (font)
        font->draw(text, box, colour, hcenter, vcenter, nullptr);
}

void CRaceCanvas::drawImage(video::ITexture* texture, const core::position2di& position,
                            const core::recti& sourceRect)
{
    if (CScreenQuadEntity* quad = engine->getScreenQuad())
        quad->renderWith(texture, true, position, sourceRect, video::EMT_TRANSPARENT_ALPHA_CHANNEL);
}

void CRaceCanvas::drawRectangle(video::SColor colour, const core::recti& box)
{
    engine->getVideoDriver()->draw2DRectangle(colour, box, nullptr);
}

// A label's click is of no use in a race.
void CRaceCanvas::drawLabel(CGuiTextButton* label)
{
    if (label)
        label->update();
}
