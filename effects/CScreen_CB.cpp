#include "effects/CScreen_CB.h"

#include "core/CGameEngine.h"
#include "platform/IShaderConstantServices.h"

using namespace irr;

CScreen_CB::CScreen_CB(CGameEngine* engine, bool offsetOnOpenGL)
    : texelOffsetId(-1), yuvId(-1), screenMapId(-1), offsetDriver(offsetDriverFor(offsetOnOpenGL)),
      firstCall(true), engine(engine)
{
}

void CScreen_CB::setConstants(IShaderConstantServices* services)
{
    if (firstCall) {
        texelOffsetId = services->getVertexShaderConstantID("TexelOffset");
        yuvId = services->getVertexShaderConstantID("YUV");
        screenMapId = services->getPixelShaderConstantID("ScreenMap");
        firstCall = false;
    }
    setScreenPlacement(services, engine->getVideoDriver(), offsetDriver, texelOffsetId, yuvId);
    const s32 unit = 0;
    services->setPixelShaderConstant(screenMapId, &unit, 1);
}
