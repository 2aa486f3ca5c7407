#include "effects/CDepth_CB.h"

#include "core/CGameEngine.h"
#include "platform/IShaderConstantServices.h"

using namespace irr;

CDepth_CB::CDepth_CB(CGameEngine* engine)
    : wvpId(-1), diffuseTextureId(-1), firstCall(true), engine(engine)
{
}

void CDepth_CB::setConstants(IShaderConstantServices* services)
{
    if (firstCall) {
        wvpId = services->getVertexShaderConstantID("WVP");
        diffuseTextureId = services->getPixelShaderConstantID("DiffuseTexture");
        firstCall = false;
    }
    video::IVideoDriver* driver = engine->getVideoDriver();
    const core::matrix4 wvp = worldViewProjection(driver);
    services->setVertexShaderConstant(wvpId, wvp.pointer(), 16);
    const s32 unit = 0;
    services->setPixelShaderConstant(diffuseTextureId, &unit, 1);
}
