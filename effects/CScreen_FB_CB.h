#pragma once
#include <irrlicht.h>

#include "effects/CShaderCallback.h"

// A render target filtered onto the whole current target (the blurs), with the size of the
// texture it reads.
class CScreen_FB_CB : public CShaderCallback {
public:
    CScreen_FB_CB(CGameEngine* engine, bool offsetOnOpenGL);
    void setConstants(IShaderConstantServices* services) override;
    void setTextureSize(irr::u32 width, irr::u32 height);

private:
    irr::s32 texelOffsetId;
    irr::s32 yuvId;
    irr::s32 textureSizeId;
    irr::s32 screenMapId;
    irr::video::E_DRIVER_TYPE offsetDriver;
    irr::u32 textureSize[2];
    bool firstCall;
    CGameEngine* engine;
};
