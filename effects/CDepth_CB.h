#pragma once
#include <irrlicht.h>

#include "effects/CShaderCallback.h"

// The shadow map's depth materials: the object seen from the light camera, and its texture for
// the alpha-tested variant.
class CDepth_CB : public CShaderCallback {
public:
    explicit CDepth_CB(CGameEngine* engine);
    void setConstants(IShaderConstantServices* services) override;

private:
    irr::s32 wvpId;
    irr::s32 diffuseTextureId;
    bool firstCall;
    CGameEngine* engine;
};
