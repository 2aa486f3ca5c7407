#pragma once
#include <irrlicht.h>

#include "effects/CShaderCallback.h"

// A render target copied onto the whole current target.
class CScreen_CB : public CShaderCallback {
public:
    CScreen_CB(CGameEngine* engine, bool offsetOnOpenGL);
    void setConstants(IShaderConstantServices* services) override;

private:
    irr::s32 texelOffsetId;
    irr::s32 yuvId;
    irr::s32 screenMapId;
    irr::video::E_DRIVER_TYPE offsetDriver;
    bool firstCall;
    CGameEngine* engine;
};
