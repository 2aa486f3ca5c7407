#include "effects/CSplatting3Tex_CB.h"

#include "core/CGameEngine.h"
#include "platform/IShaderConstantServices.h"

using namespace irr;

namespace {

// Metres per repeat of each detail texture.
const f32 kResolution[3] = {16.0f, 25.0f, 25.0f};
// How the projections along the three axes are mixed on slopes (the share below which an axis
// drops out, the sharpness of that mix), and how sharp the seams between detail textures are:
// a seam is 1 / 23 of the splat map's range wide.
const f32 kBlending[3] = {0.2f, 7.0f, 23.0f};

} // namespace

CSplatting3Tex_CB::CSplatting3Tex_CB(CGameEngine* engine)
    : resolutionId(-1), wvpId(-1), wId(-1), blendingId(-1), s0Id(-1), c00Id(-1), c01Id(-1),
      c02Id(-1), firstCall(true), engine(engine)
{
}

void CSplatting3Tex_CB::setConstants(IShaderConstantServices* services)
{
    if (firstCall) {
        resolutionId = services->getVertexShaderConstantID("Resolution");
        wvpId = services->getVertexShaderConstantID("WVP");
        wId = services->getVertexShaderConstantID("W");
        blendingId = services->getPixelShaderConstantID("Blending");
        s0Id = services->getPixelShaderConstantID("S0");
        c00Id = services->getPixelShaderConstantID("C00");
        c01Id = services->getPixelShaderConstantID("C01");
        c02Id = services->getPixelShaderConstantID("C02");
        firstCall = false;
    }
    video::IVideoDriver* driver = engine->getVideoDriver();
    const core::matrix4& world = driver->getTransform(video::ETS_WORLD);
    const core::matrix4 wvp = worldViewProjection(driver);
    services->setVertexShaderConstant(wvpId, wvp.pointer(), 16);
    services->setVertexShaderConstant(wId, world.pointer(), 16);
    services->setVertexShaderConstant(resolutionId, kResolution, 3);
    services->setPixelShaderConstant(blendingId, kBlending, 3);
    const s32 units[4] = {0, 1, 2, 3};
    services->setPixelShaderConstant(s0Id, &units[0], 1);
    services->setPixelShaderConstant(c00Id, &units[1], 1);
    services->setPixelShaderConstant(c01Id, &units[2], 1);
    services->setPixelShaderConstant(c02Id, &units[3], 1);
}
