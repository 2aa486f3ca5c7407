#pragma once
#include <irrlicht.h>

class CGameEngine;
class IShaderConstantServices;

// What every constant callback of the race's shader materials shares: the engine library hands
// it the material renderer, the callback sets its constants through ids (looked up by name on
// its first call only), and the screen passes' texel offset and picture flip.
class CShaderCallback : public irr::video::IShaderConstantSetCallBack {
public:
    void OnSetConstants(irr::video::IMaterialRendererServices* services, irr::s32 userData) override;
    void OnSetMaterial(const irr::video::SMaterial& material) override;

    // One call of the engine library, through any constant services (the tests record them).
    virtual void setConstants(IShaderConstantServices* services) = 0;

protected:
    // Half a texel of the current render target on `offsetDriver` (Direct3D 9 samples texel
    // corners), none elsewhere.
    static void texelOffset(irr::video::IVideoDriver* driver, irr::video::E_DRIVER_TYPE offsetDriver,
                            irr::f32 out[2]);
    // v' = out[0] * v + out[1]: render targets sampled on OpenGL come out upside down.
    static void pictureFlip(irr::video::IVideoDriver* driver, irr::s32 out[2]);
    static irr::video::E_DRIVER_TYPE offsetDriverFor(bool offsetOnOpenGL);
    // A screen pass's vertex constants: the texel offset and the picture flip.
    static void setScreenPlacement(IShaderConstantServices* services, irr::video::IVideoDriver* driver,
                                   irr::video::E_DRIVER_TYPE offsetDriver, irr::s32 texelOffsetId,
                                   irr::s32 yuvId);
    // Projection x view x world of what the driver draws now.
    static irr::core::matrix4 worldViewProjection(irr::video::IVideoDriver* driver);
};
