#pragma once
#include <irrlicht.h>

#include "effects/CShaderCallback.h"

// The ground's splatting: three detail textures mixed by the splat map.
class CSplatting3Tex_CB : public CShaderCallback {
public:
    explicit CSplatting3Tex_CB(CGameEngine* engine);
    void setConstants(IShaderConstantServices* services) override;

private:
    irr::s32 resolutionId;
    irr::s32 wvpId;
    irr::s32 wId;
    irr::s32 blendingId;
    irr::s32 s0Id;
    irr::s32 c00Id;
    irr::s32 c01Id;
    irr::s32 c02Id;
    bool firstCall;
    CGameEngine* engine;
};
