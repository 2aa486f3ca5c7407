#include "race/CRace.h"

#include <btBulletDynamicsCommon.h>

#include "audio/CSound.h"
#include "audio/CSoundManager.h"
#include "core/CGameData.h"
#include "core/CGameEngine.h"
#include "core/SGameSettings.h"
#include "effects/CScreenQuadEntity.h"
#include "effects/CShaderManager.h"
#include "menu/CMenu.h"
#include "race/CChaseCamera.h"
#include "race/CControllerPack.h"
#include "race/CItemsCreator.h"
#include "race/RaceRules.h"
#include "world/CEntityManager.h"
#include "world/CItemEntity.h"
#include "world/COSEntity.h"
#include "world/CPhysicsBody.h"
#include "world/CStaticObjectEntity.h"
#include "world/CVehicleEntity.h"
#include "world/SEntityDesc.h"
#include "world/vehicle/btRaycastVehicle.h"

using namespace irr;

namespace {

const f32 kCountdownMs = 6000.0f;
const f32 kFinishWaitMs = 8000.0f;
// After winning the last mission the closing messages run before the race ends.
const f32 kFinalFinishWaitMs = 59000.0f;
const char* const kFinalMission = "missions/m08/";
const s32 kMaxSubSteps = 6;
const f32 kFixedStep = 1.0f / 60.0f;
const f32 kItemReach = 3.0f;
// What every static object off the splatted terrain has: the player's car gets no drive there.
const f32 kOffTrackFriction = 0.75f;
const f32 kOffTrackBrakeFactor = 1.5f;
const f32 kOffTrackBrakeAboveKmh = 3.0f;
// Above the physics library's limit of 1: an airborne car stops spinning as fast as it can.
const f32 kAirborneAngularDamping = 5.0f;
const f32 kEngineRolloff = 0.11f;

// The physics of a car that is in the world; null for one that could not be built.
CPhysicsBody* physicsOf(CVehicleEntity* vehicle)
{
    return vehicle->getBodyNode() ? vehicle->getPhysicsBody() : nullptr;
}

btRigidBody* bodyOf(CVehicleEntity* vehicle)
{
    CPhysicsBody* physics = physicsOf(vehicle);
    return physics ? physics->getRigidBody() : nullptr;
}

sandvolt::btRaycastVehicle* raycastOf(CVehicleEntity* vehicle)
{
    CPhysicsBody* physics = physicsOf(vehicle);
    return physics ? physics->getVehicle() : nullptr;
}

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

CRace::CRace(CGameEngine* engine, SGameSettings* settings, CGameData* gameData,
             CEntityManager* entities, CSoundManager* sound, CChaseCamera* camera,
             CShaderManager* shaders, CMenu* menu, CTranslation* texts)
    : engine(engine), settings(settings), gameData(gameData), entities(entities), sound(sound),
      camera(camera), shaders(shaders), menu(menu), texts(texts), messageCycleStart(0.0f),
      endingStartTime(0.0f), messageIndex(0), placeFade(0.0f), overlayAlpha(0.0f),
      messageAlpha(0.0f), firstFrame(true), won(false)
{
    if (camera) {
        camera->setDistance(9.0f);
        camera->setHeight(4.5f);
    }
}

void CRace::resetCounters()
{
    messageCycleStart = 0.0f;
    endingStartTime = 0.0f;
    messageIndex = 0;
    placeFade = 0.0f;
    overlayAlpha = 0.0f;
    messageAlpha = 0.0f;
}

bool CRace::isWon() const { return won; }

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

void CRace::run()
{
    begin();
    while (engine->getDevice()->run()) {
        if (!runFrame())
            return;
    }
    engine->setGameState(EGS_QUIT);
}

void CRace::begin()
{
    firstFrame = true;
    engine->getVideoDriver()->setMaterial(engine->defaultMaterial);
    engine->lastFrameTime = timerNow();
}

bool CRace::runFrame()
{
    if (!updateFrame())
        return false;
    drawFrame();
    return true;
}

f32 CRace::timerNow() { return static_cast<f32>(engine->getDevice()->getTimer()->getTime()); }

// The timer without the time spent in the menu.
f32 CRace::gameClock() { return timerNow() - engine->pausedTime; }

f32 CRace::raceStart() { return gameData->getRaceStartTime() + kCountdownMs; }

CVehicleEntity* CRace::playerVehicle()
{
    return entities->getVehicle(entities->getPlayerVehicleIndex());
}

bool CRace::updateFrame()
{
    engine->frameTime = timerNow();
    engine->frameDeltaMs = engine->frameTime - engine->lastFrameTime;
    engine->lastFrameTime = engine->frameTime;
    engine->frameDelta = static_cast<f32>(engine->frameDeltaMs / 1000.0);
    if (firstFrame)
        accountPause();
    updateWonFlag();

    if (wantsToLeave()) {
        leaveToMenu();
        return false;
    }
    runCountdown();
    if (finishWaitOver()) {
        endRace();
        return false;
    }
    controlVehicles();
    engine->getDynamicsWorld()->stepSimulation(engine->frameDelta, kMaxSubSteps, kFixedStep);
    updateEntities();
    updateItems();
    updateCheckpoints();
    updateNavigation();
    gameData->sortRaceOrder();
    updateFinishing();
    updateCamera();
    updateSounds();
    // Nothing after this point of the frame reads the flag.
    firstFrame = false;
    return true;
}

// One race frame on the screen: the scene, then the race display over it.
void CRace::drawFrame()
{
    video::IVideoDriver* driver = engine->getVideoDriver();
    driver->beginScene(true, true, video::SColor(0xFFFFFFFF));
    drawScene();
    drawDisplay();
    driver->endScene();
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

// The laps, standings, clock and place over the scene; drawn once the fonts exist.
void CRace::drawDisplay()
{
}

// The time spent in the menu does not count on any clock of the race.
void CRace::accountPause()
{
    if (engine->pauseStartTime != 0.0f) {
        engine->pausedTime += timerNow() - engine->pauseStartTime;
        engine->pauseStartTime = 0.0f;
    }
    // The first frame of a freshly loaded race: the loader zeroed the pause bookkeeping.
    if (engine->pausedTime == 0.0f)
        resetCounters();
}

void CRace::updateWonFlag()
{
    CVehicleEntity* player = playerVehicle();
    if (!player) {
        won = false;
    } else if (gameData->getRaceType() == 1) {
        const s32 time = static_cast<s32>(gameData->getFinishTime() - raceStart());
        // Asked every frame, also before the player is through: it keeps the times sorted.
        const bool best = gameData->getRallyPlace(time) == 0;
        // A computer car's time never wins the rally for a player who has not finished.
        won = best && player->isFinished();
    } else {
        CVehicleEntity* leader = gameData->getRaceOrderEntry(0);
        won = leader && leader->getId() == entities->getPlayerVehicleIndex();
    }
}

bool CRace::wantsToLeave()
{
    return gameData->getSelectedMission() != "Null" || engine->getInput().keyDown[KEY_ESCAPE];
}

void CRace::leaveToMenu()
{
    pauseSounds();
    engine->setGameState(EGS_MENU);
    engine->pauseStartTime = timerNow();
}

void CRace::pauseSounds()
{
    if (CSound* track = sound ? sound->getCurrentTrack() : nullptr)
        track->setState(ESS_PAUSED);
    for (int i = 0; i < entities->getVehicleCount(); ++i) {
        if (CSound* engineSound = entities->getVehicle(i)->getEngineSound())
            engineSound->setState(ESS_PAUSED);
    }
}

// No car leaves its place before the start; turning is not blocked.
void CRace::runCountdown()
{
    if (gameData->getRacePhase() != 0)
        return;
    const bool started = gameClock() > raceStart();
    if (started)
        gameData->setRacePhase(2);
    for (int i = 0; i < entities->getVehicleCount(); ++i) {
        btRigidBody* body = bodyOf(entities->getVehicle(i));
        if (!body)
            continue;
        if (started) {
            body->setDamping(0.0f, 0.0f);
            body->setLinearFactor(btVector3(1.0f, 1.0f, 1.0f));
        } else {
            body->setLinearFactor(btVector3(0.0f, 0.0f, 0.0f));
        }
    }
}

bool CRace::finishWaitOver()
{
    if (gameData->getRacePhase() != 1)
        return false;
    const f32 wait =
        won && gameData->getLoadedMission() == kFinalMission ? kFinalFinishWaitMs : kFinishWaitMs;
    return gameClock() > gameData->getFinishTime() + wait;
}

void CRace::controlVehicles()
{
    const int playerIndex = entities->getPlayerVehicleIndex();
    const s32 laps = gameData->getLaps();
    const s32 phase = gameData->getRacePhase();
    for (int i = 0; i < entities->getVehicleCount(); ++i) {
        CVehicleEntity* vehicle = entities->getVehicle(i);
        vehicle->updateItem();
        CControllerPack* controller = vehicle->getControllerPack();
        // Held at the start and once its laps are done.
        const bool held = vehicle->getLap() == laps || phase == 0;
        if (controller && held) {
            controller->setEngineForce(0.0f);
            controller->setBrakeForce(vehicle->getMaxBreakingForce());
        } else if (controller) {
            controller->update(engine->frameDelta, firstFrame);
        }

        sandvolt::btRaycastVehicle* raycast = raycastOf(vehicle);
        const f32 speed = raycast ? raycast->getCurrentSpeedKmHour() : 0.0f;
        if (CSound* engineSound = vehicle->getEngineSound())
            engineSound->setPitch(0.75f + 0.25f * speed / vehicle->getMaxVelocity());

        if (i == playerIndex && raycast && controller) {
            for (int w = 0; w < raycast->getNumWheels(); ++w) {
                const btRigidBody* ground = raycast->getWheelInfo(w).m_raycastInfo.m_groundObject;
                if (ground && ground->getFriction() == kOffTrackFriction) {
                    controller->setEngineForce(0.0f);
                    controller->setBrakeForce(speed > kOffTrackBrakeAboveKmh
                                                  ? kOffTrackBrakeFactor * vehicle->getMaxBreakingForce()
                                                  : 0.0f);
                }
            }
        }
        vehicle->applyControls();

        if (phase != 0 && raycast) {
            int onGround = 0;
            for (int w = 0; w < raycast->getNumWheels(); ++w) {
                if (raycast->getWheelInfo(w).m_raycastInfo.m_groundObject)
                    ++onGround;
            }
            bodyOf(vehicle)->setDamping(0.0f, onGround == 0 ? kAirborneAngularDamping : 0.0f);
        }
    }
}

void CRace::updateEntities()
{
    for (int i = 0; i < entities->getStaticObjectCount(); ++i)
        entities->getStaticObject(i)->update();
    for (int i = 0; i < entities->getVehicleCount(); ++i) {
        CVehicleEntity* vehicle = entities->getVehicle(i);
        vehicle->updateNodes();
        vehicle->checkOverturned(entities);
    }
}

// The items are left alone while the items creator is placing new ones.
void CRace::updateItems()
{
    CItemsCreator* creator = engine->getItemsCreator();
    if (!creator || creator->isEnabled())
        return;
    for (int j = 0; j < entities->getItemCount(); ++j) {
        CItemEntity* item = entities->getItem(j);
        item->update();
        scene::ISceneNode* node = item->getNode();
        if (!node)
            continue;
        for (int i = 0; i < entities->getVehicleCount(); ++i) {
            CVehicleEntity* vehicle = entities->getVehicle(i);
            scene::ISceneNode* body = vehicle->getBodyNode();
            if (body && node->getPosition().getDistanceFrom(body->getPosition()) < kItemReach)
                vehicle->setItem(item);
        }
    }
}

void CRace::updateCheckpoints()
{
    for (int j = 0; j < entities->getCheckpointCount(); ++j) {
        COSEntity* checkpoint = entities->getCheckpoint(j);
        btRigidBody* trigger = checkpoint->getRigidBody();
        if (!trigger)
            continue;
        for (int i = 0; i < entities->getVehicleCount(); ++i) {
            CVehicleEntity* vehicle = entities->getVehicle(i);
            btRigidBody* body = bodyOf(vehicle);
            if (body && engine->isTouching(body, trigger))
                passCheckpoint(vehicle, checkpoint->getId());
        }
    }
}

void CRace::updateNavigation()
{
    for (int i = 0; i < entities->getVehicleCount(); ++i) {
        CVehicleEntity* vehicle = entities->getVehicle(i);
        if (scene::ISceneNode* body = vehicle->getBodyNode())
            updateNavigationProgress(vehicle, body->getPosition(), gameData);
    }
}

void CRace::updateFinishing()
{
    const s32 laps = gameData->getLaps();
    const bool rally = gameData->getRaceType() == 1;
    const int playerIndex = entities->getPlayerVehicleIndex();
    for (int i = 0; i < entities->getVehicleCount(); ++i) {
        CVehicleEntity* vehicle = entities->getVehicle(i);
        if (vehicle->getLap() != laps)
            continue;
        if (rally) {
            if (vehicle->isFinished())
                continue;
            // Every finish (re)starts the closing wait, but once the player is through the
            // finish time stays the player's: the result is judged on it.
            const f32 now = gameClock();
            CVehicleEntity* player = playerVehicle();
            if (i == playerIndex || !player || !player->isFinished()) {
                gameData->setFinishTime(now);
                gameData->setRacePhase(1);
            }
            vehicle->setFinished(true);
            gameData->addRallyTime(static_cast<s32>(now - raceStart()));
        } else if (i == playerIndex) {
            if (vehicle->isFinished())
                continue;
            gameData->setFinishTime(gameClock());
            gameData->setRacePhase(1);
            gameData->addFinisher(vehicle);
        } else {
            gameData->addFinisher(vehicle);
        }
    }
}

void CRace::updateCamera()
{
    CVehicleEntity* player = playerVehicle();
    if (!camera || !player)
        return;
    // A race resumed from the menu keeps the camera where it was.
    if (firstFrame && engine->pausedTime == 0.0f)
        camera->snapBehind(player);
    else
        camera->update(player);
}

void CRace::updateSounds()
{
    scene::ICameraSceneNode* view = engine->getSceneManager()->getActiveCamera();
    const core::vector3df listener = view ? view->getPosition() : core::vector3df(0, 0, 0);
    if (sound) {
        sound->nextTrack();
        if (CSound* track = sound->getCurrentTrack())
            track->update();
        sound->setListenerPosition(listener.X, listener.Y, listener.Z);
    }
    const int playerIndex = entities->getPlayerVehicleIndex();
    for (int i = 0; i < entities->getVehicleCount(); ++i) {
        CVehicleEntity* vehicle = entities->getVehicle(i);
        CSound* engineSound = vehicle->getEngineSound();
        scene::ISceneNode* body = vehicle->getBodyNode();
        if (!engineSound || !body)
            continue;
        // The player hears the own engine where the camera is.
        const core::vector3df at = i == playerIndex && view ? listener : body->getPosition();
        engineSound->setState(ESS_PLAYING_3D);
        engineSound->setRolloff(kEngineRolloff);
        engineSound->setPosition(at.X, at.Y, at.Z);
        engineSound->update();
    }
}

void CRace::endRace()
{
    // Whoever has not finished is placed as the race order stands.
    for (int i = 0; i < entities->getVehicleCount(); ++i) {
        if (CVehicleEntity* vehicle = gameData->getRaceOrderEntry(i))
            gameData->addFinisher(vehicle);
    }
    pauseSounds();
    if (won) {
        // Winning mission N opens mission N + 1 once.
        const std::string mission = gameData->getLoadedMission();
        for (s32 n = 1; n <= 7; ++n) {
            const std::string folder = "missions/m0" + std::to_string(n) + "/";
            if (settings->progressLevel <= n && mission == folder)
                settings->progressLevel = n + 1;
        }
        gameData->saveSettings("settings.xml", settings);
    }
    engine->setGameState(EGS_MENU);
    if (menu)
        menu->setMenuName("BreakAndNew");
}
