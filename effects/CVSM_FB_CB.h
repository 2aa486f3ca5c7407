#pragma once
#include <irrlicht.h>

#include "effects/CShaderCallback.h"

// The ground's shadow term: the ground seen from the player's camera and from the light camera,
// with the shadow map's size and the light camera's depth range.
class CVSM_FB_CB : public CShaderCallback {
public:
    CVSM_FB_CB(CGameEngine* engine, irr::scene::ICameraSceneNode* mainCamera,
               irr::scene::ICameraSceneNode* lightCamera);
    void setConstants(IShaderConstantServices* services) override;
    void setTextureSize(irr::u32 width, irr::u32 height);

private:
    irr::s32 wvpId;
    irr::s32 wvpsId;
    irr::s32 wId;
    irr::s32 sId;
    irr::s32 farId;
    irr::s32 nearId;
    irr::s32 textureSizeId;
    irr::s32 cameraPositionId;
    irr::s32 shadowMapId;
    irr::u32 textureSize[2];
    bool firstCall;
    irr::scene::ICameraSceneNode* mainCamera;
    irr::scene::ICameraSceneNode* lightCamera;
    CGameEngine* engine;
};
