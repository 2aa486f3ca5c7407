#include "effects/CCombine2Tex_CB.h"

#include "core/CGameEngine.h"
#include "platform/IShaderConstantServices.h"

using namespace irr;

CCombine2Tex_CB::CCombine2Tex_CB(CGameEngine* engine, bool offsetOnOpenGL)
    : texelOffsetId(-1), yuvId(-1), firstMapId(-1), secondMapId(-1),
      offsetDriver(offsetDriverFor(offsetOnOpenGL)), firstCall(true), engine(engine)
{
}

void CCombine2Tex_CB::setConstants(IShaderConstantServices* services)
{
    if (firstCall) {
        texelOffsetId = services->getVertexShaderConstantID("TexelOffset");
        yuvId = services->getVertexShaderConstantID("YUV");
        firstMapId = services->getPixelShaderConstantID("FirstMap");
        secondMapId = services->getPixelShaderConstantID("SecondMap");
        firstCall = false;
    }
    setScreenPlacement(services, engine->getVideoDriver(), offsetDriver, texelOffsetId, yuvId);
    const s32 units[2] = {0, 1};
    services->setPixelShaderConstant(firstMapId, &units[0], 1);
    services->setPixelShaderConstant(secondMapId, &units[1], 1);
}
