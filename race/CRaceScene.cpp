#include "race/CRace.h"

#include <algorithm>
#include <btBulletDynamicsCommon.h>
#include <cstdio>
#include <vector>

#include "audio/CSound.h"
#include "audio/CSoundManager.h"
#include "core/CGameData.h"
#include "core/CGameEngine.h"
#include "core/SGameSettings.h"
#include "effects/CScreenQuadEntity.h"
#include "effects/CShaderManager.h"
#include "world/CEntityManager.h"
#include "world/CItemEntity.h"
#include "world/CStaticObjectEntity.h"
#include "world/CVehicleEntity.h"
#include "world/SEntityDesc.h"

using namespace irr;

namespace {

void applyTextureFilter(scene::ISceneNode* node, s32 filtering)
{
    node->setMaterialFlag(video::EMF_BILINEAR_FILTER, filtering != 1 && filtering != 2);
    node->setMaterialFlag(video::EMF_TRILINEAR_FILTER, filtering == 1 || filtering == 2);
    node->setMaterialFlag(video::EMF_ANISOTROPIC_FILTER, filtering == 2);
}

// Unlit, without fog, culled by its box, filtered as the settings say.
void prepareNode(scene::ISceneNode* node, s32 filtering)
{
    if (!node)
        return;
    node->setMaterialFlag(video::EMF_LIGHTING, false);
    node->setMaterialFlag(video::EMF_FOG_ENABLE, false);
    node->setAutomaticCulling(scene::EAC_FRUSTUM_BOX);
    applyTextureFilter(node, filtering);
}

bool isGround(CStaticObjectEntity* object)
{
    return object->getDesc()->getMapping() == 1;
}

// The shadow map is read texel by texel (its filter is in the shader); beyond its border the
// ground is lit.
void bindShadowMap(scene::ISceneNode* node, video::ITexture* shadowMap)
{
    for (u32 i = 0; i < node->getMaterialCount(); ++i) {
        video::SMaterialLayer& layer = node->getMaterial(i).TextureLayer[4];
        layer.Texture = shadowMap;
        layer.TextureWrapU = video::ETC_CLAMP_TO_BORDER;
        layer.TextureWrapV = video::ETC_CLAMP_TO_BORDER;
        layer.BilinearFilter = false;
        layer.TrilinearFilter = false;
        layer.AnisotropicFilter = 0;
    }
}

// How a scene pass shows a node: hidden, shown as it is, or shown with a material type.
const s32 kHidden = -1;
const s32 kAsItIs = -2;

// A material that failed to build (-1) hides what would be drawn with it.
void showAs(scene::ISceneNode* node, s32 look)
{
    if (!node)
        return;
    if (look == kAsItIs) {
        node->setVisible(true);
        return;
    }
    node->setVisible(look >= 0);
    if (look < 0)
        return;
    for (u32 i = 0; i < node->getMaterialCount(); ++i)
        node->getMaterial(i).MaterialType = static_cast<video::E_MATERIAL_TYPE>(look);
}

// The ground's colour passes multiply onto what is already in the picture.
const f32 kMultiplyBlend = video::pack_textureBlendFunc(video::EBF_DST_COLOR, video::EBF_ZERO,
                                                        video::EMFN_MODULATE_1X, video::EAS_TEXTURE);


} // namespace

// What one scene pass draws: items (the active ones) or none, and the look of the ground, the
// scenery (transparent scenery apart) and the cars.
struct CRace::SPassLook {
    bool items;
    s32 ground;
    s32 scenery;
    s32 transparentScenery;
    s32 vehicles;
};

void CRace::prepareMaterials()
{
    const s32 filtering = settings->filtering;
    for (int i = 0; i < entities->getItemCount(); ++i)
        prepareNode(entities->getItem(i)->getNode(), filtering);
    video::ITexture* shadowMap = shaders && settings->shadows > 0 ? shaders->shadowTargets[0] : nullptr;
    for (int i = 0; i < entities->getStaticObjectCount(); ++i) {
        CStaticObjectEntity* object = entities->getStaticObject(i);
        scene::ISceneNode* node = object->getNode();
        prepareNode(node, filtering);
        if (node && shadowMap && isGround(object))
            bindShadowMap(node, shadowMap);
    }
    for (int i = 0; i < entities->getVehicleCount(); ++i) {
        CVehicleEntity* vehicle = entities->getVehicle(i);
        prepareNode(vehicle->getBodyNode(), filtering);
        prepareNode(vehicle->getWheelNodeFL(), filtering);
        prepareNode(vehicle->getWheelNodeFR(), filtering);
        prepareNode(vehicle->getWheelNodeBL(), filtering);
        prepareNode(vehicle->getWheelNodeBR(), filtering);
        if (CSound* engineSound = vehicle->getEngineSound())
            engineSound->setGain(static_cast<f32>(settings->environmentVolume) * 0.002f);
    }
    if (CSound* track = sound ? sound->getCurrentTrack() : nullptr)
        track->setState(ESS_PLAYING_RELATIVE);
}

// The scene in passes: the shadow map, the ground's depth under the sky, the ground's shadow
// term, colour and light multiplied onto each other, the lit scenery and cars, then the glow.
// A race without the shader manager (the tests, the benchmarks) draws the scene as it stands.
void CRace::drawScene()
{
    if (!shaders) {
        showSky(true);
        engine->getSceneManager()->drawAll();
        showSky(false);
        return;
    }
    video::IVideoDriver* driver = engine->getVideoDriver();
    const bool shadowMap = settings->shadows > 0 && shaders->shadowTargets[0];
    if (shadowMap)
        drawShadowMap();
    const bool bloom = settings->postProcessing && bloomReady();
    if (bloom)
        driver->setRenderTarget(shaders->bloomTargets[0], true, true, video::SColor(0));

    drawGroundDepth();
    const s32* m = shaders->materials;
    const s32 shadowTerm = m[gameData->getShadowType() == 1 ? ESM_SHADOW_NF : ESM_SHADOW];
    // Without a shadow term in the picture the splatting must not multiply onto the clear colour.
    const bool shadowed = shadowMap && shadowTerm >= 0;
    if (shadowed) {
        showForPass({false, shadowTerm, kHidden, kHidden, kHidden});
        engine->getSceneManager()->drawAll();
    }
    showForPass({false, m[shadowed ? ESM_SPLATTING_BLEND : ESM_SPLATTING], kHidden, kHidden, kHidden});
    setGroundBlend();
    engine->getSceneManager()->drawAll();
    showForPass({true, m[ESM_LIGHTING_BLEND], m[ESM_LIGHTING], m[ESM_LIGHTING_ALPHAREF], m[ESM_LIGHTING]});
    setGroundBlend();
    engine->getSceneManager()->drawAll();

    if (bloom)
        drawBloom();
}

void CRace::showSky(bool visible)
{
    if (engine->skyBox)
        engine->skyBox->setVisible(visible);
}

void CRace::showForPass(const SPassLook& look)
{
    for (int i = 0; i < entities->getItemCount(); ++i) {
        CItemEntity* item = entities->getItem(i);
        if (scene::ISceneNode* node = item ? item->getNode() : nullptr)
            node->setVisible(look.items && item->isActive());
    }
    for (int i = 0; i < entities->getStaticObjectCount(); ++i) {
        CStaticObjectEntity* object = entities->getStaticObject(i);
        if (!object)
            continue;
        const s32 scenery = object->getDesc()->isTransparent() ? look.transparentScenery : look.scenery;
        showAs(object->getNode(), isGround(object) ? look.ground : scenery);
    }
    for (int i = 0; i < entities->getVehicleCount(); ++i) {
        CVehicleEntity* vehicle = entities->getVehicle(i);
        if (!vehicle)
            continue;
        showAs(vehicle->getBodyNode(), look.vehicles);
        showAs(vehicle->getWheelNodeFL(), look.vehicles);
        showAs(vehicle->getWheelNodeFR(), look.vehicles);
        showAs(vehicle->getWheelNodeBL(), look.vehicles);
        showAs(vehicle->getWheelNodeBR(), look.vehicles);
    }
}

// Depth moments of the scenery and the cars seen from high above the player, then blurred.
void CRace::drawShadowMap()
{
    video::IVideoDriver* driver = engine->getVideoDriver();
    scene::ISceneManager* sceneManager = engine->getSceneManager();
    video::ITexture** targets = shaders->shadowTargets;
    const s32* m = shaders->materials;
    driver->setRenderTarget(targets[0], true, true, video::SColor(0xFFFFFFFF));
    showForPass({true, kHidden, m[ESM_DEPTH], m[ESM_DEPTH_ALPHA], m[ESM_DEPTH]});

    scene::ICameraSceneNode* light = shaders->getLightCamera();
    CVehicleEntity* player = playerVehicle();
    if (scene::ISceneNode* body = player ? player->getBodyNode() : nullptr) {
        const core::vector3df at = body->getPosition();
        light->setPosition(at + core::vector3df(0.0f, 300.0f, 0.0f));
        light->setTarget(at);
    }
    scene::ICameraSceneNode* view = sceneManager->getActiveCamera();
    sceneManager->setActiveCamera(light);
    video::SOverrideMaterial& override = driver->getOverrideMaterial();
    override.Material.ZWriteEnable = true;
    override.EnableFlags = video::EMF_ZWRITE_ENABLE;
    override.EnablePasses = scene::ESNRP_SOLID;
    sceneManager->drawAll();
    sceneManager->setActiveCamera(view);

    driver->setRenderTarget(nullptr, false, false, video::SColor(0));
    screenPass(m[ESM_SHADOW_BLUR_H], targets[0], targets[1], false, video::SColor(0xFFFFFFFF));
    screenPass(m[ESM_SHADOW_BLUR_V], targets[1], targets[0], false, video::SColor(0xFFFFFFFF));
    driver->setRenderTarget(nullptr, true, true, video::SColor(0));
}

// The ground alone lays the depth, under the sky; the ground's later passes draw exactly on it.
void CRace::drawGroundDepth()
{
    showForPass({false, kAsItIs, kHidden, kHidden, kHidden});
    setGroundDepth(true);
    showSky(true);
    engine->getSceneManager()->drawAll();
    showSky(false);
    setGroundDepth(false);
}

void CRace::setGroundDepth(bool lay)
{
    for (int i = 0; i < entities->getStaticObjectCount(); ++i) {
        CStaticObjectEntity* object = entities->getStaticObject(i);
        scene::ISceneNode* node = object ? object->getNode() : nullptr;
        if (!node || !isGround(object))
            continue;
        node->setMaterialFlag(video::EMF_ZWRITE_ENABLE, lay);
        node->setMaterialFlag(video::EMF_COLOR_MASK, !lay);
        for (u32 k = 0; k < node->getMaterialCount(); ++k)
            node->getMaterial(k).ZBuffer = lay ? video::ECFN_LESSEQUAL : video::ECFN_EQUAL;
    }
}

void CRace::setGroundBlend()
{
    for (int i = 0; i < entities->getStaticObjectCount(); ++i) {
        CStaticObjectEntity* object = entities->getStaticObject(i);
        scene::ISceneNode* node = object ? object->getNode() : nullptr;
        if (!node || !isGround(object))
            continue;
        for (u32 k = 0; k < node->getMaterialCount(); ++k)
            node->getMaterial(k).MaterialTypeParam = kMultiplyBlend;
    }
}

bool CRace::bloomReady()
{
    const s32* m = shaders->materials;
    for (video::ITexture* target : shaders->bloomTargets) {
        if (!target)
            return false;
    }
    for (E_SHADER_MATERIAL material : {ESM_SCREEN_COPY, ESM_BLUR_H, ESM_BLUR_V, ESM_BLOOM}) {
        if (m[material] < 0)
            return false;
    }
    return true;
}

// The scene shrunk to a quarter, blurred twice each way, and laid over itself on the screen.
void CRace::drawBloom()
{
    video::IVideoDriver* driver = engine->getVideoDriver();
    video::ITexture** targets = shaders->bloomTargets;
    const s32* m = shaders->materials;
    const video::SColor black(0xFF000000);
    driver->setRenderTarget(nullptr, false, false, video::SColor(0));
    screenPass(m[ESM_SCREEN_COPY], targets[0], targets[1], true, black);
    screenPass(m[ESM_BLUR_H], targets[1], targets[2], true, black);
    screenPass(m[ESM_BLUR_V], targets[2], targets[1], true, black);
    screenPass(m[ESM_BLUR_H], targets[1], targets[2], true, black);
    screenPass(m[ESM_BLUR_V], targets[2], targets[1], true, black);

    CScreenQuadEntity* quad = shaders->getScreenQuad();
    video::SMaterial& material = quad->getMaterial(0);
    material.TextureLayer[0].BilinearFilter = true;
    material.TextureLayer[1].BilinearFilter = true;
    material.MaterialType = static_cast<video::E_MATERIAL_TYPE>(m[ESM_BLOOM]);
    material.setTexture(0, targets[0]);
    material.setTexture(1, targets[1]);
    shaders->setScreenTextureSize(targets[0]->getSize().Width, targets[0]->getSize().Height);
    quad->drawQuad();
    // Bloom target 1 is drawn into again next frame: it must not stay bound for reading.
    material.setTexture(1, nullptr);
}

// `source` drawn with `material` over the whole of `target`, which is not cleared; then back to
// the back buffer. A pass without its material, source or target is left out.
void CRace::screenPass(s32 material, video::ITexture* source, video::ITexture* target, bool bilinear,
                       video::SColor colour)
{
    if (material < 0 || !source || !target)
        return;
    video::IVideoDriver* driver = engine->getVideoDriver();
    driver->setRenderTarget(target, false, false, colour);
    CScreenQuadEntity* quad = shaders->getScreenQuad();
    video::SMaterial& look = quad->getMaterial(0);
    look.setFlag(video::EMF_BILINEAR_FILTER, bilinear);
    look.MaterialType = static_cast<video::E_MATERIAL_TYPE>(material);
    look.setTexture(0, source);
    shaders->setScreenTextureSize(source->getSize().Width, source->getSize().Height);
    quad->drawQuad();
    driver->setRenderTarget(nullptr, false, false, video::SColor(0));
}
