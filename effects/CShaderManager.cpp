#include "effects/CShaderManager.h"

#include <cstdio>
#include <string>

#include "core/CGameEngine.h"
#include "core/SGameSettings.h"
#include "effects/CCombine2Tex_CB.h"
#include "effects/CDepth_CB.h"
#include "effects/CScreenQuadEntity.h"
#include "effects/CScreen_CB.h"
#include "effects/CScreen_FB_CB.h"
#include "effects/CSplatting3Tex_CB.h"
#include "effects/CVSM_FB_CB.h"
#include "effects/LightingCB.h"
#include "platform/RegularFile.h"

using namespace irr;

namespace {

const char* const kShaderFolder = "data/shaders/";
const f32 kLightFar = 1000.0f;
const f32 kLightFov = 0.7853982f;

// The whole of a shader file; false after an "ERROR: " line naming it when it cannot be read.
bool readShaderFile(const std::string& path, std::string& text)
{
    const SFileOpen file = readRegularFile(path, kTextFileLimit, text);
    if (file.result == EFileOpen::Opened)
        return true;
    if (file.result == EFileOpen::Missing)
        std::printf("ERROR: shader file \"%s\" could not be read\n", path.c_str());
    else
        std::printf("ERROR: shader file \"%s\" could not be read (%s)\n", path.c_str(), file.problem.c_str());
    return false;
}

// The shader file with each line `#include "NAME"` (NAME under the shader folder) replaced by that
// file's text, so that shaders share pieces; false after the "ERROR: " line of a file that cannot
// be read. Included files include nothing further.
bool readShaderWithIncludes(const std::string& path, std::string& text)
{
    std::string file;
    if (!readShaderFile(path, file))
        return false;
    const std::string directive = "#include \"";
    text.clear();
    size_t at = 0;
    while (at < file.size()) {
        size_t end = file.find('\n', at);
        end = end == std::string::npos ? file.size() : end + 1;
        const std::string line = file.substr(at, end - at);
        const size_t close = line.find('"', directive.size());
        if (line.compare(0, directive.size(), directive) == 0 && close != std::string::npos) {
            std::string piece;
            if (!readShaderFile(kShaderFolder + line.substr(directive.size(), close - directive.size()), piece))
                return false;
            text += piece;
            if (!piece.empty() && piece.back() != '\n')
                text += '\n';
        } else {
            text += line;
        }
        at = end;
    }
    return true;
}

// One stage of a shader file as GLSL wants it: the version on the very first line, the stage the
// file is compiled for, and the file's entry function as that stage's main.
std::string stageText(const std::string& file, const char* stage, const char* entry)
{
    return std::string("#version 120\n#define ") + stage + "\n#define " + entry + " main\n" + file;
}

} // namespace

CShaderManager::CShaderManager(CGameEngine* engine, SGameSettings* settings, bool* outSupported)
    : materials{}, shadowTargets{nullptr, nullptr}, bloomTargets{nullptr, nullptr, nullptr},
      depthCallback(nullptr), shadowCallback(nullptr), splattingCallback(nullptr),
      screenCallbacks{nullptr, nullptr}, screenFBCallbacks{nullptr, nullptr}, combineCallback(nullptr),
      lightingCallback(nullptr), screenQuad(nullptr), lightCamera(nullptr), shadersSupported(false),
      engine(engine)
{
    for (s32& id : materials)
        id = -1;
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

    scene::ISceneManager* sceneManager = engine->getSceneManager();
    scene::ICameraSceneNode* mainCamera = sceneManager->getActiveCamera();
    createLightCamera();
    sceneManager->setActiveCamera(mainCamera);
    createRenderTargets(settings);
    createScreenQuad();
    createCallbacks(settings, mainCamera);
    createMaterials();
}

CShaderManager::~CShaderManager()
{
    if (!shadersSupported)
        return;
    lightCamera->remove();
    lightCamera = nullptr;
    // The quad still holds the reference of its creation: the camera's removal does not free it.
    delete screenQuad;
    // Kept until here, not just by the materials: a callback whose materials all failed to
    // build would otherwise be gone while the race still hands it texture sizes.
    depthCallback->drop();
    shadowCallback->drop();
    splattingCallback->drop();
    for (CScreen_CB* callback : screenCallbacks)
        callback->drop();
    for (CScreen_FB_CB* callback : screenFBCallbacks)
        callback->drop();
    combineCallback->drop();
    lightingCallback->drop();
}

CScreenQuadEntity* CShaderManager::getScreenQuad() { return screenQuad; }

scene::ICameraSceneNode* CShaderManager::getLightCamera() { return lightCamera; }

void CShaderManager::setScreenTextureSize(u32 width, u32 height)
{
    for (CScreen_FB_CB* callback : screenFBCallbacks) {
        if (callback)
            callback->setTextureSize(width, height);
    }
}

void CShaderManager::createLightCamera()
{
    lightCamera = engine->getSceneManager()->addCameraSceneNode(
        nullptr, core::vector3df(0, 0, 0), core::vector3df(0, 0, 100), -1, true);
    lightCamera->setPosition(core::vector3df(0.0f, 700.0f, 120.0f));
    lightCamera->setFarValue(kLightFar);
    lightCamera->setFOV(kLightFov);
}

void CShaderManager::createRenderTargets(SGameSettings* settings)
{
    video::IVideoDriver* driver = engine->getVideoDriver();
    if (settings->shadows > 0) {
        const u32 side = settings->shadows == 1 ? 1024 : 2048;
        const core::dimension2d<u32> size(side, side);
        std::printf("Shadow RTTs are creating... \n");
        shadowTargets[0] = driver->addRenderTargetTexture(size, "", video::ECF_A32B32G32R32F);
        std::printf("0, ");
        shadowTargets[1] = driver->addRenderTargetTexture(size, "", video::ECF_A32B32G32R32F);
        std::printf("1 ");
        std::printf("[DONE].\n");
    }
    const core::dimension2d<u32> screen = driver->getScreenSize();
    const core::dimension2d<u32> quarter(screen.Width / 4, screen.Height / 4);
    std::printf("Bloom RTTs are creating... \n");
    bloomTargets[0] = driver->addRenderTargetTexture(screen, "", video::ECF_A8R8G8B8);
    std::printf("0, ");
    bloomTargets[1] = driver->addRenderTargetTexture(quarter, "", video::ECF_A8R8G8B8);
    std::printf("1, ");
    bloomTargets[2] = driver->addRenderTargetTexture(quarter, "", video::ECF_A8R8G8B8);
    std::printf("2 ");
    std::printf("[DONE].\n");
}

void CShaderManager::createScreenQuad()
{
    video::IVideoDriver* driver = engine->getVideoDriver();
    driver->setTextureCreationFlag(video::ETCF_CREATE_MIP_MAPS, false);
    screenQuad = new CScreenQuadEntity(lightCamera, engine->getSceneManager(), 1);
    driver->setTextureCreationFlag(video::ETCF_CREATE_MIP_MAPS, true);
    // Drawn only by the screen passes, never by the scene manager.
    screenQuad->setVisible(false);
    video::SMaterial& material = screenQuad->getMaterial(0);
    for (u32 layer = 0; layer < video::MATERIAL_MAX_TEXTURES; ++layer) {
        video::SMaterialLayer& texture = material.TextureLayer[layer];
        texture.TextureWrapU = video::ETC_REPEAT;
        texture.TextureWrapV = video::ETC_REPEAT;
        texture.BilinearFilter = false;
        texture.TrilinearFilter = false;
        texture.AnisotropicFilter = 0;
    }
    material.ZBuffer = video::ECFN_NEVER;
    material.ZWriteEnable = false;
}

void CShaderManager::createCallbacks(SGameSettings* settings, scene::ICameraSceneNode* mainCamera)
{
    depthCallback = new CDepth_CB(engine);
    shadowCallback = new CVSM_FB_CB(engine, mainCamera, lightCamera);
    splattingCallback = new CSplatting3Tex_CB(engine);
    for (CScreen_CB*& callback : screenCallbacks)
        callback = new CScreen_CB(engine, false);
    for (CScreen_FB_CB*& callback : screenFBCallbacks)
        callback = new CScreen_FB_CB(engine, false);
    combineCallback = new CCombine2Tex_CB(engine, false);
    lightingCallback = new LightingCB(engine);
    if (settings->shadows > 0) {
        const u32 side = settings->shadows == 1 ? 1024 : 2048;
        shadowCallback->setTextureSize(side, side);
    }
}

void CShaderManager::createMaterials()
{
    using video::EMT_ONETEXTURE_BLEND;
    using video::EMT_SOLID;
    const char* const quad = "screenquad.glsl";
    materials[ESM_DEPTH] = addMaterial("shadow/depth.glsl", "shadow/depth.glsl", "main_f", EMT_SOLID, depthCallback);
    materials[ESM_DEPTH_ALPHA] =
        addMaterial("shadow/depth.glsl", "shadow/depth.glsl", "main_f_Alpha", EMT_SOLID, depthCallback);
    materials[ESM_SHADOW] =
        addMaterial("shadow/shadow.glsl", "shadow/shadow.glsl", "main_f_EMU", EMT_SOLID, shadowCallback);
    materials[ESM_SHADOW_NF] =
        addMaterial("shadow/shadow.glsl", "shadow/shadow.glsl", "main_f_NF_EMU", EMT_SOLID, shadowCallback);
    materials[ESM_SPLATTING] =
        addMaterial("splatting3tex.glsl", "splatting3tex.glsl", "main_f", EMT_SOLID, splattingCallback);
    materials[ESM_SPLATTING_BLEND] =
        addMaterial("splatting3tex.glsl", "splatting3tex.glsl", "main_f", EMT_ONETEXTURE_BLEND, splattingCallback);
    materials[ESM_SCREEN] = addMaterial(quad, quad, "main_f", EMT_SOLID, screenCallbacks[0]);
    materials[ESM_SCREEN_COPY] = addMaterial(quad, quad, "main_f", EMT_SOLID, screenCallbacks[1]);
    materials[ESM_SCREEN_FB] = addMaterial(quad, quad, "main_f", EMT_SOLID, screenFBCallbacks[0]);
    materials[ESM_SHADOW_BLUR_H] = addMaterial(quad, "shadow/blurh.glsl", "main_f", EMT_SOLID, screenFBCallbacks[1]);
    materials[ESM_SHADOW_BLUR_V] = addMaterial(quad, "shadow/blurv.glsl", "main_f", EMT_SOLID, screenFBCallbacks[1]);
    materials[ESM_BLUR_H] = addMaterial(quad, "pp/blurh.glsl", "main_f", EMT_SOLID, screenFBCallbacks[1]);
    materials[ESM_BLUR_V] = addMaterial(quad, "pp/blurv.glsl", "main_f", EMT_SOLID, screenFBCallbacks[1]);
    materials[ESM_BLOOM] = addMaterial(quad, "pp/bloom.glsl", "main_f", EMT_SOLID, combineCallback);
    materials[ESM_LIGHTING] = addMaterial("lighting.glsl", "lighting.glsl", "main_f", EMT_SOLID, lightingCallback);
    materials[ESM_LIGHTING_ALPHAREF] = addMaterial("lighting.glsl", "lighting.glsl", "main_f",
                                                   video::EMT_TRANSPARENT_ALPHA_CHANNEL_REF, lightingCallback);
    materials[ESM_LIGHTING_BLEND] =
        addMaterial("lighting_b.glsl", "lighting_b.glsl", "main_f", EMT_ONETEXTURE_BLEND, lightingCallback);
}

// The material's id, or -1 after an "ERROR: " line naming the file that failed.
s32 CShaderManager::addMaterial(const char* vertexFile, const char* pixelFile, const char* pixelEntry,
                                video::E_MATERIAL_TYPE baseMaterial, video::IShaderConstantSetCallBack* callback)
{
    const std::string vertexPath = std::string(kShaderFolder) + vertexFile;
    const std::string pixelPath = std::string(kShaderFolder) + pixelFile;
    std::string vertexText, pixelText;
    if (!readShaderWithIncludes(vertexPath, vertexText) || !readShaderWithIncludes(pixelPath, pixelText))
        return -1;
    const std::string vertex = stageText(vertexText, "VERTEX_SHADER", "main_v");
    const std::string pixel = stageText(pixelText, "FRAGMENT_SHADER", pixelEntry);
    const s32 id = engine->getVideoDriver()->getGPUProgrammingServices()->addHighLevelShaderMaterial(
        vertex.c_str(), "main_v", video::EVST_VS_2_0, pixel.c_str(), pixelEntry, video::EPST_PS_2_0,
        callback, baseMaterial, 0, video::EGSL_DEFAULT);
    if (id < 0) {
        if (vertexPath == pixelPath)
            std::printf("ERROR: shader file \"%s\" (%s) did not compile\n", pixelPath.c_str(), pixelEntry);
        else
            std::printf("ERROR: shader files \"%s\" and \"%s\" (%s) did not compile\n", vertexPath.c_str(),
                        pixelPath.c_str(), pixelEntry);
    }
    return id;
}
