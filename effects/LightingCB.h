#pragma once
#include <irrlicht.h>

#include "effects/CShaderCallback.h"

// Per-pixel sunlight for the scenery, the cars and the ground's lit pass.
class LightingCB : public CShaderCallback {
public:
    explicit LightingCB(CGameEngine* engine);
    void setConstants(IShaderConstantServices* services) override;

private:
    irr::s32 wvpId;
    irr::s32 tWId;
    irr::s32 iWId;
    irr::s32 lightPositionId;
    irr::s32 eyePositionId;
    irr::s32 diffuseTextureId;
    bool firstCall;
    CGameEngine* engine;
};
