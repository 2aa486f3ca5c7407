#pragma once
#include <irrlicht.h>

class CCombine2Tex_CB;
class CDepth_CB;
class CGameEngine;
class CScreenQuadEntity;
class CScreen_CB;
class CScreen_FB_CB;
class CSplatting3Tex_CB;
class CVSM_FB_CB;
class LightingCB;
struct SGameSettings;

enum E_SHADER_MATERIAL {
    ESM_DEPTH = 0,
    ESM_DEPTH_ALPHA,
    ESM_SHADOW,
    ESM_SHADOW_NF,
    ESM_SPLATTING,
    ESM_SPLATTING_BLEND,
    ESM_SCREEN,
    ESM_SCREEN_COPY,
    ESM_SCREEN_FB,
    ESM_SHADOW_BLUR_H,
    ESM_SHADOW_BLUR_V,
    ESM_BLUR_H,
    ESM_BLUR_V,
    ESM_BLOOM,
    ESM_LIGHTING,
    ESM_LIGHTING_ALPHAREF,
    ESM_LIGHTING_BLEND,
    ESM_COUNT
};

// Everything the race draws with shaders: the shader materials with their constant callbacks,
// the shadow map and bloom render targets, the light camera and the quad of the screen passes.
// Built once at start-up; the render targets keep their size for the whole run.
class CShaderManager {
public:
    // Writes whether the driver runs the race's shaders to *outSupported; when it does not,
    // nothing is built and nothing is printed.
    CShaderManager(CGameEngine* engine, SGameSettings* settings, bool* outSupported);
    ~CShaderManager();

    CShaderManager(const CShaderManager&) = delete;
    CShaderManager& operator=(const CShaderManager&) = delete;

    CScreenQuadEntity* getScreenQuad();
    irr::scene::ICameraSceneNode* getLightCamera();
    // The size of the texture the next screen pass reads (its filters step by texels).
    void setScreenTextureSize(irr::u32 width, irr::u32 height);

    // Material type ids by E_SHADER_MATERIAL; -1 for one that could not be built.
    irr::s32 materials[ESM_COUNT];
    // Null when shadows are off, or when the driver could not make them.
    irr::video::ITexture* shadowTargets[2];
    // The scene at screen size, then two quarter-size targets for its blur.
    irr::video::ITexture* bloomTargets[3];

private:
    void createLightCamera();
    void createRenderTargets(SGameSettings* settings);
    void createScreenQuad();
    void createCallbacks(SGameSettings* settings, irr::scene::ICameraSceneNode* mainCamera);
    void createMaterials();
    irr::s32 addMaterial(const char* vertexFile, const char* pixelFile, const char* pixelEntry,
                         irr::video::E_MATERIAL_TYPE baseMaterial,
                         irr::video::IShaderConstantSetCallBack* callback);

    CDepth_CB* depthCallback;
    CVSM_FB_CB* shadowCallback;
    CSplatting3Tex_CB* splattingCallback;
    CScreen_CB* screenCallbacks[2];
    CScreen_FB_CB* screenFBCallbacks[2];
    CCombine2Tex_CB* combineCallback;
    LightingCB* lightingCallback;
    CScreenQuadEntity* screenQuad;
    irr::scene::ICameraSceneNode* lightCamera;
    bool shadersSupported;
    CGameEngine* engine;
};
