#include "effects/CShaderCallback.h"

#include "platform/CShaderConstantAdapter.h"

using namespace irr;

void CShaderCallback::OnSetConstants(video::IMaterialRendererServices* services, s32)
{
    CShaderConstantAdapter constants(services);
    setConstants(&constants);
}

void CShaderCallback::OnSetMaterial(const video::SMaterial&)
{
}

void CShaderCallback::texelOffset(video::IVideoDriver* driver, video::E_DRIVER_TYPE offsetDriver, f32 out[2])
{
    out[0] = 0.0f;
    out[1] = 0.0f;
    if (driver->getDriverType() != offsetDriver)
        return;
    const core::dimension2d<u32> size = driver->getCurrentRenderTargetSize();
    out[0] = -1.0f / static_cast<f32>(size.Width);
    out[1] = 1.0f / static_cast<f32>(size.Height);
}

void CShaderCallback::pictureFlip(video::IVideoDriver* driver, s32 out[2])
{
    const bool direct3D = driver->getDriverType() == video::EDT_DIRECT3D9;
    out[0] = direct3D ? 1 : -1;
    out[1] = direct3D ? 0 : 1;
}

video::E_DRIVER_TYPE CShaderCallback::offsetDriverFor(bool offsetOnOpenGL)
{
    return offsetOnOpenGL ? video::EDT_OPENGL : video::EDT_DIRECT3D9;
}

void CShaderCallback::setScreenPlacement(IShaderConstantServices* services, video::IVideoDriver* driver,
                                         video::E_DRIVER_TYPE offsetDriver, s32 texelOffsetId, s32 yuvId)
{
    f32 offset[2];
    texelOffset(driver, offsetDriver, offset);
    services->setVertexShaderConstant(texelOffsetId, offset, 2);
    s32 flip[2];
    pictureFlip(driver, flip);
    services->setVertexShaderConstant(yuvId, flip, 2);
}

core::matrix4 CShaderCallback::worldViewProjection(video::IVideoDriver* driver)
{
    core::matrix4 wvp = driver->getTransform(video::ETS_PROJECTION);
    wvp *= driver->getTransform(video::ETS_VIEW);
    wvp *= driver->getTransform(video::ETS_WORLD);
    return wvp;
}
