#include "menu/CGuiImageButton.h"

#include "core/CGameEngine.h"
#include "effects/CScreenQuadEntity.h"
#include "menu/MenuImage.h"

using namespace irr;

CGuiImageButton::CGuiImageButton(std::string normalPath, std::string hoverPath, f32 left, f32 right,
                                 f32 top, f32 bottom, bool needRelease, CGameEngine* engine)
    : normalTexture(loadMenuImage(engine, normalPath)), hoverTexture(loadMenuImage(engine, hoverPath)),
      area(left, right, top, bottom, needRelease, engine)
{
}

bool CGuiImageButton::update()
{
    bool inside = false;
    bool clicked = false;
    area.update(inside, clicked);
    if (video::ITexture* texture = inside ? hoverTexture : normalTexture) {
        // The whole image is stretched over the button: the rectangle only gives the size.
        const core::rect<s32> box = area.pixels();
        area.engine->getScreenQuad()->renderWith(texture, true, box.UpperLeftCorner, box,
                                                 video::EMT_TRANSPARENT_ALPHA_CHANNEL);
    }
    return clicked;
}

void CGuiImageButton::release()
{
    video::IVideoDriver* driver = area.engine->getVideoDriver();
    if (normalTexture)
        driver->removeTexture(normalTexture);
    if (hoverTexture && hoverTexture != normalTexture)
        driver->removeTexture(hoverTexture);
    normalTexture = nullptr;
    hoverTexture = nullptr;
}
