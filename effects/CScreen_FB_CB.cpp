#include "effects/CScreen_FB_CB.h"

#include "core/CGameEngine.h"
#include "platform/IShaderConstantServices.h"

using namespace irr;

CScreen_FB_CB::CScreen_FB_CB(CGameEngine* engine, bool offsetOnOpenGL)
    : texelOffsetId(-1), yuvId(-1), textureSizeId(-1), screenMapId(-1),
      offsetDriver(offsetDriverFor(offsetOnOpenGL)), textureSize{0, 0}, firstCall(true), engine(engine)
{
}

void CScreen_FB_CB::setTextureSize(u32 width, u32 height)
{
    textureSize[0] = width;
    textureSize[1] = height;
}

void CScreen_FB_CB::setConstants(IShaderConstantServices* services)
{
    if (firstCall) {
        texelOffsetId = services->getVertexShaderConstantID("TexelOffset");
        yuvId = services->getVertexShaderConstantID("YUV");
        textureSizeId = services->getPixelShaderConstantID("TextureSize");
        screenMapId = services->getPixelShaderConstantID("ScreenMap");
        firstCall = false;
    }
    setScreenPlacement(services, engine->getVideoDriver(), offsetDriver, texelOffsetId, yuvId);
    const f32 size[2] = {static_cast<f32>(textureSize[0]), static_cast<f32>(textureSize[1])};
    services->setPixelShaderConstant(textureSizeId, size, 2);
    const s32 unit = 0;
    services->setPixelShaderConstant(screenMapId, &unit, 1);
}
