#include "effects/CVSM_FB_CB.h"

#include "core/CGameEngine.h"
#include "platform/IShaderConstantServices.h"

using namespace irr;

CVSM_FB_CB::CVSM_FB_CB(CGameEngine* engine, scene::ICameraSceneNode* mainCamera,
                       scene::ICameraSceneNode* lightCamera)
    : wvpId(-1), wvpsId(-1), wId(-1), sId(-1), farId(-1), nearId(-1), textureSizeId(-1),
      cameraPositionId(-1), shadowMapId(-1), textureSize{0, 0}, firstCall(true),
      mainCamera(mainCamera), lightCamera(lightCamera), engine(engine)
{
}

void CVSM_FB_CB::setTextureSize(u32 width, u32 height)
{
    textureSize[0] = width;
    textureSize[1] = height;
}

void CVSM_FB_CB::setConstants(IShaderConstantServices* services)
{
    if (firstCall) {
        wvpId = services->getVertexShaderConstantID("WVP");
        wvpsId = services->getVertexShaderConstantID("WVPS");
        wId = services->getVertexShaderConstantID("W");
        sId = services->getVertexShaderConstantID("S");
        farId = services->getPixelShaderConstantID("Far");
        nearId = services->getPixelShaderConstantID("Near");
        textureSizeId = services->getPixelShaderConstantID("TextureSize");
        cameraPositionId = services->getPixelShaderConstantID("CameraPosition");
        shadowMapId = services->getPixelShaderConstantID("ShadowMap");
        firstCall = false;
    }
    video::IVideoDriver* driver = engine->getVideoDriver();
    const core::matrix4& world = driver->getTransform(video::ETS_WORLD);
    const core::matrix4 wvp = worldViewProjection(driver);
    services->setVertexShaderConstant(wvpId, wvp.pointer(), 16);

    core::matrix4 wvps = lightCamera->getProjectionMatrix();
    wvps *= lightCamera->getViewMatrix();
    wvps *= world;
    services->setVertexShaderConstant(wvpsId, wvps.pointer(), 16);
    services->setVertexShaderConstant(wId, world.pointer(), 16);

    // From the light's clip space to shadow-map coordinates, centred on the map's texels.
    const bool openGL = driver->getDriverType() == video::EDT_OPENGL;
    const f32 halfTexel = 0.5f / static_cast<f32>(textureSize[0]);
    core::matrix4 bias(core::matrix4::EM4CONST_NOTHING);
    bias.makeIdentity();
    bias[0] = 0.5f;
    bias[5] = openGL ? 0.5f : -0.5f;
    bias[12] = bias[13] = openGL ? 0.5f + halfTexel : 0.5f - halfTexel;
    core::matrix4 s = bias;
    s *= wvps;
    services->setVertexShaderConstant(sId, s.pointer(), 16);

    const f32 size[2] = {static_cast<f32>(textureSize[0]), static_cast<f32>(textureSize[1])};
    services->setPixelShaderConstant(textureSizeId, size, 2);
    const core::vector3df eye = mainCamera->getPosition();
    const f32 position[3] = {eye.X, eye.Y, eye.Z};
    services->setPixelShaderConstant(cameraPositionId, position, 3);
    const f32 farValue = lightCamera->getFarValue();
    services->setPixelShaderConstant(farId, &farValue, 1);
    const f32 nearValue = lightCamera->getNearValue();
    services->setPixelShaderConstant(nearId, &nearValue, 1);
    const s32 unit = 4;
    services->setPixelShaderConstant(shadowMapId, &unit, 1);
}
