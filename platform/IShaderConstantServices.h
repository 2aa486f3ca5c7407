#pragma once
#include <irrlicht.h>

// What the shader constant callbacks need from the material renderer: a constant looked up once
// by name, then set by its id. The engine library sets GLSL constants by name only; the adapter
// over it (CShaderConstantAdapter) gives them ids.
class IShaderConstantServices {
public:
    virtual ~IShaderConstantServices() {}

    virtual irr::s32 getVertexShaderConstantID(const irr::c8* name) = 0;
    virtual irr::s32 getPixelShaderConstantID(const irr::c8* name) = 0;
    virtual void setVertexShaderConstant(irr::s32 id, const irr::f32* values, irr::s32 count) = 0;
    virtual void setVertexShaderConstant(irr::s32 id, const irr::s32* values, irr::s32 count) = 0;
    virtual void setPixelShaderConstant(irr::s32 id, const irr::f32* values, irr::s32 count) = 0;
    virtual void setPixelShaderConstant(irr::s32 id, const irr::s32* values, irr::s32 count) = 0;
    virtual irr::video::IVideoDriver* getVideoDriver() = 0;
};
