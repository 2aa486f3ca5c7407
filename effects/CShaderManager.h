#pragma once
#include <irrlicht.h>

class CGameEngine;
struct SGameSettings;

// Owns what the race draws with shaders. For now it answers whether the driver runs the shader
// programs the race needs; the materials, render targets and light camera join with the race's
// drawing passes.
class CShaderManager {
public:
    CShaderManager(CGameEngine* engine, SGameSettings* settings, bool* outSupported);
    ~CShaderManager();

private:
    bool shadersSupported;
    CGameEngine* engine;
};
