#include "effects/LightingCB.h"

#include "core/CGameEngine.h"
#include "platform/IShaderConstantServices.h"

using namespace irr;

namespace {

// Where the sun stands, the same for every mission.
const f32 kLightPosition[3] = {0.0f, 700.0f, 120.0f};

} // namespace

LightingCB::LightingCB(CGameEngine* engine)
    : wvpId(-1), tWId(-1), iWId(-1), lightPositionId(-1), eyePositionId(-1), diffuseTextureId(-1),
      firstCall(true), engine(engine)
{
}

void LightingCB::setConstants(IShaderConstantServices* services)
{
    if (firstCall) {
        wvpId = services->getVertexShaderConstantID("WVP");
        tWId = services->getVertexShaderConstantID("tW");
        iWId = services->getVertexShaderConstantID("iW");
        lightPositionId = services->getPixelShaderConstantID("lightPosition");
        eyePositionId = services->getPixelShaderConstantID("eyePosition");
        diffuseTextureId = services->getPixelShaderConstantID("DiffuseTexture");
        firstCall = false;
    }
    video::IVideoDriver* driver = engine->getVideoDriver();
    const core::matrix4& world = driver->getTransform(video::ETS_WORLD);
    const core::matrix4 wvp = worldViewProjection(driver);
    services->setVertexShaderConstant(wvpId, wvp.pointer(), 16);

    // The normals' matrix; a flattened object keeps its own.
    core::matrix4 inverse(core::matrix4::EM4CONST_NOTHING);
    if (!world.getInverse(inverse))
        inverse = world;
    const core::matrix4 inverseTransposed = inverse.getTransposed();
    services->setVertexShaderConstant(iWId, inverseTransposed.pointer(), 16);
    const core::matrix4 transposed = world.getTransposed();
    services->setVertexShaderConstant(tWId, transposed.pointer(), 16);

    scene::ICameraSceneNode* camera = engine->getSceneManager()->getActiveCamera();
    const core::vector3df eye = camera ? camera->getAbsolutePosition() : core::vector3df(0, 0, 0);
    const f32 eyePosition[3] = {eye.X, eye.Y, eye.Z};
    services->setPixelShaderConstant(eyePositionId, eyePosition, 3);
    services->setPixelShaderConstant(lightPositionId, kLightPosition, 3);
    const s32 unit = 0;
    services->setPixelShaderConstant(diffuseTextureId, &unit, 1);
}
