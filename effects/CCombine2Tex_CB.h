#pragma once
#include <irrlicht.h>

#include "effects/CShaderCallback.h"

// Two render targets combined onto the whole current target (the bloom).
class CCombine2Tex_CB : public CShaderCallback {
public:
    CCombine2Tex_CB(CGameEngine* engine, bool offsetOnOpenGL);
    void setConstants(IShaderConstantServices* services) override;

private:
    irr::s32 texelOffsetId;
    irr::s32 yuvId;
    irr::s32 firstMapId;
    irr::s32 secondMapId;
    irr::video::E_DRIVER_TYPE offsetDriver;
    bool firstCall;
    CGameEngine* engine;
};
