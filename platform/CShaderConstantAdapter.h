#pragma once
#include <irrlicht.h>

#include "platform/IShaderConstantServices.h"

// Constant ids over the engine library's set-by-name interface. A GLSL uniform's location belongs
// to one program, so an id stands for a name, not a location: the same name gets the same id in
// every material, and setting an id sets that name in whichever program is bound. A name the
// bound program does not use is ignored, as the engine library ignores it.
class CShaderConstantAdapter : public IShaderConstantServices {
public:
    explicit CShaderConstantAdapter(irr::video::IMaterialRendererServices* services);

    irr::s32 getVertexShaderConstantID(const irr::c8* name) override;
    irr::s32 getPixelShaderConstantID(const irr::c8* name) override;
    void setVertexShaderConstant(irr::s32 id, const irr::f32* values, irr::s32 count) override;
    void setVertexShaderConstant(irr::s32 id, const irr::s32* values, irr::s32 count) override;
    void setPixelShaderConstant(irr::s32 id, const irr::f32* values, irr::s32 count) override;
    void setPixelShaderConstant(irr::s32 id, const irr::s32* values, irr::s32 count) override;
    irr::video::IVideoDriver* getVideoDriver() override;

    // The name behind an id; null for an id no lookup gave.
    static const irr::c8* nameOf(irr::s32 id);

private:
    static irr::s32 idOf(const irr::c8* name);

    irr::video::IMaterialRendererServices* services;
};
