#include "menu/CGuiCursor.h"

#include "core/CGameEngine.h"
#include "effects/CScreenQuadEntity.h"
#include "menu/MenuImage.h"

using namespace irr;

CGuiCursor::CGuiCursor(const char* path, CGameEngine* engine)
    : texture(loadMenuImage(engine, path)), engine(engine)
{
}

void CGuiCursor::draw()
{
    const core::position2d<s32> mouse = engine->getDevice()->getCursorControl()->getPosition();
    if (!texture)
        return;
    engine->getScreenQuad()->renderWith(texture, true, mouse, core::rect<s32>(0, 0, 35, 35),
                                        video::EMT_TRANSPARENT_ALPHA_CHANNEL);
}

void CGuiCursor::release()
{
    if (texture)
        engine->getVideoDriver()->removeTexture(texture);
    texture = nullptr;
}
