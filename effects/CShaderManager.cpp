#include "effects/CShaderManager.h"

#include <cstdio>

#include "core/CGameEngine.h"

using namespace irr;

CShaderManager::CShaderManager(CGameEngine* engine, SGameSettings*, bool* outSupported)
    : shadersSupported(false), engine(engine)
{
    *outSupported = false;
    video::IVideoDriver* driver = engine->getVideoDriver();
    // The race's shaders are GLSL on OpenGL; a Direct3D driver would need HLSL.
    const video::E_DRIVER_TYPE type = driver->getDriverType();
    shadersSupported = (type == video::EDT_OPENGL && driver->queryFeature(video::EVDF_ARB_GLSL)) ||
                       (type == video::EDT_DIRECT3D9 && driver->queryFeature(video::EVDF_HLSL));
    *outSupported = shadersSupported;
    if (!shadersSupported)
        return;
    std::printf("Shader Model 2.0 Support [PASSED]\n");
}

CShaderManager::~CShaderManager()
{
}
