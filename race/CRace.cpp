#include "race/CRace.h"

#include <algorithm>
#include <btBulletDynamicsCommon.h>
#include <cstdio>
#include <vector>

#include "audio/CSound.h"
#include "audio/CSoundManager.h"
#include "core/CGameData.h"
#include "core/CGameEngine.h"
#include "core/CTranslation.h"
#include "core/SGameSettings.h"
#include "effects/CScreenQuadEntity.h"
#include "effects/CShaderManager.h"
#include "font/CGUITTFont.h"
#include "menu/CGuiTextButton.h"
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

const char* const kDisplayFont = "data/fonts/komika_axis.ttf";
const char* const kPlaceImages[3] = {"data/2d/others/place01.png", "data/2d/others/place02.png",
                                     "data/2d/others/place03.png"};
const video::SColor kHudYellow(0xFFF2C601);
const video::SColor kWhite(0xFFFFFFFF);
const video::SColor kMessageOrange(0xFFD69900);
// Text table entries of the display.
const int kPlaceText = 38;
const int kLapText = 39;
const int kClosingTitle = 40;
const int kClosingLines = 41;
const int kMessageCount = 7;
// The closing sequence after the last mission: the overlay darkens from 5 s on, the place text
// fades from 6 s on, the messages start at 9.5 s; each message lasts 8 s.
const f32 kOverlayFrom = 5000.0f;
const f32 kPlaceFadeFrom = 6000.0f;
const f32 kMessagesFrom = 9500.0f;
const f32 kOverlayPerSecond = 0.25f;
const f32 kPlaceFadePerSecond = 0.3f;
const f32 kMessageFadePerSecond = 0.5f;
const f32 kOverlayDarkness = 0.91f;
const f32 kMessageLength = 8000.0f;

// Display names are plain bytes: each one is a character.
core::stringw widen(const std::string& narrow)
{
    core::stringw wide;
    wide.reserve(static_cast<u32>(narrow.size()) + 1);
    for (unsigned char c : narrow)
        wide.append(static_cast<wchar_t>(c));
    return wide;
}

core::stringw raceTimeText(s32 milliseconds)
{
    return toStringW(formatRaceTime(milliseconds).c_str());
}

video::SColor withAlpha(video::SColor colour, f32 alpha)
{
    colour.setAlpha(static_cast<u32>(alpha * 255.0f));
    return colour;
}

f32 growTo1(f32 value, f32 step)
{
    if (value < 1.0f)
        value += step;
    return value > 1.0f ? 1.0f : value;
}

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
      messageAlpha(0.0f), firstFrame(true), won(false), screen(engine), canvas(&screen),
      screenWidth(0.0), screenHeight(0.0)
{
    video::IVideoDriver* driver = engine->getVideoDriver();
    // The display's images and glyph pages are only ever drawn at their own size.
    driver->setTextureCreationFlag(video::ETCF_CREATE_MIP_MAPS, false);
    const f32 unit = static_cast<f32>(driver->getScreenSize().Height * 0.001);
    smallFont = engine->getFont(kDisplayFont, static_cast<u32>(unit * 35.0f));
    bigFont = engine->getFont(kDisplayFont, static_cast<u32>(unit * 65.0f));
    if (!smallFont || !bigFont)
        std::printf("Warning: Could not load the race display font %s; its texts stay away\n",
                    kDisplayFont);
    for (int i = 0; i < 3; ++i) {
        placeTextures[i] = driver->getTexture(kPlaceImages[i]);
        if (!placeTextures[i])
            std::printf("Warning: Could not load the place image %s; that place is shown as text\n",
                        kPlaceImages[i]);
    }
    messageLine1 = new CGuiTextButton(L"None", kDisplayFont, 55.0f, true, true, kMessageOrange,
                                      kHudYellow, 300.0f, 700.0f, 400.0f, 480.0f, true, engine);
    messageLine2 = new CGuiTextButton(L"None", kDisplayFont, 45.0f, true, true, kMessageOrange,
                                      kHudYellow, 300.0f, 700.0f, 510.0f, 565.0f, true, engine);
    messageTitle = new CGuiTextButton(L"None", kDisplayFont, 100.0f, true, true, kMessageOrange,
                                      kHudYellow, 300.0f, 700.0f, 465.0f, 535.0f, true, engine);
    if (camera) {
        camera->setDistance(9.0f);
        camera->setHeight(4.5f);
    }
    driver->setTextureCreationFlag(video::ETCF_CREATE_MIP_MAPS, true);
}

// The fonts belong to the engine's cache and the images to the driver; the labels are ours.
CRace::~CRace()
{
    delete messageTitle;
    delete messageLine2;
    delete messageLine1;
}

void CRace::setCanvas(CRaceCanvas* other) { canvas = other ? other : &screen; }

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

// The laps, standings, clock and place over the scene, and the closing sequence after the last
// mission.
void CRace::drawDisplay()
{
    video::IVideoDriver* driver = engine->getVideoDriver();
    driver->setMaterial(driver->getMaterial2D());
    const core::dimension2d<u32> size = driver->getScreenSize();
    screenWidth = size.Width;
    screenHeight = size.Height;

    drawFrameCounter();
    drawLaps();
    if (gameData->getRaceType() == 1)
        drawRallyTimes();
    else
        drawStandings();
    drawRaceClock();
    if (gameData->getRacePhase() == 1) {
        const bool ending = won && gameData->getLoadedMission() == kFinalMission;
        drawPlace(ending);
        if (ending)
            drawClosingSequence();
    }
}

const std::wstring& CRace::text(int index) const
{
    static const std::wstring none;
    return texts ? texts->texts[index] : none;
}

// A box in fractions of the screen, in whole pixels.
core::recti CRace::box(double left, double top, double right, double bottom) const
{
    return core::recti(static_cast<s32>(left * screenWidth), static_cast<s32>(top * screenHeight),
                       static_cast<s32>(right * screenWidth),
                       static_cast<s32>(bottom * screenHeight));
}

void CRace::drawFrameCounter()
{
    if (!settings->showFps)
        return;
    const core::stringw fps = core::stringw(L"FPS: ") + core::stringw(engine->getVideoDriver()->getFPS());
    canvas->drawText(smallFont, fps, box(0.02, 0.93, 0.16, 0.98), kHudYellow, false, true);
}

// The lap being driven: 0 before the line, never past the last one.
void CRace::drawLaps()
{
    CVehicleEntity* player = playerVehicle();
    if (!player)
        return;
    const s32 laps = gameData->getLaps();
    s32 lap = player->getLap() < 0 ? 0 : player->getLap() + 1;
    if (lap > laps)
        lap = laps;
    const core::stringw line = core::stringw(text(kLapText).c_str()) + core::stringw(lap) +
                               core::stringw(L" / ") + core::stringw(laps);
    canvas->drawText(smallFont, line, box(0.02, 0.11, 0.25, 0.16), kHudYellow, false, true);
}

// The first four of the race order, each in its car's colour.
void CRace::drawStandings()
{
    static const double rowTop[4] = {0.11, 0.16, 0.21, 0.26};
    static const double rowBottom[4] = {0.16, 0.21, 0.26, 0.32};
    static const wchar_t* const rowPlace[4] = {L"1: ", L"2: ", L"3: ", L"4: "};
    for (s32 r = 0; r < 4 && r < entities->getVehicleCount(); ++r) {
        CVehicleEntity* vehicle = gameData->getRaceOrderEntry(r);
        SEntityDesc* desc = vehicle ? vehicle->getDesc() : nullptr;
        if (!desc)
            continue;
        canvas->drawText(smallFont, core::stringw(rowPlace[r]) + widen(vehicle->getDisplayName()),
                         box(0.81, rowTop[r], 0.98, rowBottom[r]), desc->getColor(), false, true);
    }
}

// The best times first, also on the frame a finish adds its time at the end.
void CRace::drawRallyTimes()
{
    gameData->sortRallyTimes();
    for (s32 i = 0; i < gameData->getRallyTimeCount(); ++i) {
        const double step = 0.05f * static_cast<f32>(i);
        canvas->drawText(smallFont, raceTimeText(gameData->getRallyTime(i)),
                         box(0.81, 0.11 + step, 0.98, 0.16 + step), kHudYellow, false, true);
    }
}

void CRace::drawRaceClock()
{
    const s32 phase = gameData->getRacePhase();
    if (phase == 1)
        return;
    const s32 time = phase == 0 ? 0 : static_cast<s32>(gameClock() - raceStart());
    canvas->drawText(bigFont, raceTimeText(time), box(0.4, 0.08, 0.6, 0.15), kWhite, false, true);
}

void CRace::drawPlace(bool ending)
{
    const s32 finishTime = static_cast<s32>(gameData->getFinishTime() - raceStart());
    s32 place = 0;
    if (gameData->getRaceType() == 1) {
        place = static_cast<s32>(gameData->getRallyPlace(finishTime));
    } else {
        CVehicleEntity* player = playerVehicle();
        for (s32 i = 0; i < gameData->getFinisherCount(); ++i) {
            if (player && gameData->getFinisher(i) == player)
                place = i;
        }
    }

    // The ending starts on its first frame, so the place only fades 6 s after that.
    if (ending && endingStartTime == 0.0f)
        endingStartTime = gameClock();
    if (ending && gameClock() > endingStartTime + kPlaceFadeFrom)
        placeFade = growTo1(placeFade, engine->frameDelta * kPlaceFadePerSecond);
    const f32 fade = ending ? placeFade : 0.0f;

    if (place < 3 && placeTextures[place]) {
        canvas->drawImage(placeTextures[place],
                          core::position2di(static_cast<s32>(0.375 * screenWidth),
                                            static_cast<s32>(0.25 * screenHeight)),
                          box(0.0, 0.0, 0.25, 0.5));
    } else {
        // Built wide from the start: the prefix may be in any language.
        const core::stringw line = core::stringw(text(kPlaceText).c_str()) + core::stringw(place + 1);
        canvas->drawText(bigFont, line, box(0.4, 0.4, 0.6, 0.6), withAlpha(kHudYellow, 1.0f - fade),
                         true, true);
    }
    canvas->drawText(bigFont, raceTimeText(finishTime), box(0.4, 0.08, 0.6, 0.15), kWhite, false,
                     true);
}

// After winning the last mission: the screen darkens, then the closing messages come one by
// one, each faded in, held and faded out.
void CRace::drawClosingSequence()
{
    const f32 now = gameClock();
    if (now > endingStartTime + kOverlayFrom)
        overlayAlpha = growTo1(overlayAlpha, engine->frameDelta * kOverlayPerSecond);
    canvas->drawRectangle(withAlpha(video::SColor(0xFF000000), overlayAlpha * kOverlayDarkness),
                          box(0.0, 0.0, 1.0, 1.0));
    if (now > endingStartTime + kMessagesFrom)
        fadeMessages(now);
}

void CRace::fadeMessages(f32 now)
{
    if (messageCycleStart == 0.0f)
        messageCycleStart = now;
    const f32 t = now - messageCycleStart;
    const f32 step = engine->frameDelta * kMessageFadePerSecond;
    if (t > 500.0f && t < 2500.0f) {
        messageAlpha = growTo1(messageAlpha, step);
    } else if (t > 2500.0f && t < 5500.0f) {
        messageAlpha = 1.0f;
    } else if (t > 5500.0f && t < 7500.0f) {
        if (messageAlpha > 0.0f)
            messageAlpha -= step;
        if (messageAlpha < 0.0f)
            messageAlpha = 0.0f;
    } else if (t < 500.0f || t > 7500.0f) {
        messageAlpha = 0.0f;
    }
    if (t >= kMessageLength) {
        messageCycleStart = 0.0f;
        messageIndex = (messageIndex + 1) % kMessageCount;
    }

    const video::SColor colour = withAlpha(kMessageOrange, messageAlpha);
    for (CGuiTextButton* label : {messageLine1, messageLine2, messageTitle}) {
        label->setColor(colour);
        label->setHoverColor(colour);
    }
    if (messageIndex == 0) {
        messageTitle->setText(text(kClosingTitle));
        canvas->drawLabel(messageTitle);
    } else if (messageIndex < kMessageCount - 1) {
        messageLine1->setText(text(kClosingLines + 2 * (messageIndex - 1)));
        messageLine2->setText(text(kClosingLines + 2 * (messageIndex - 1) + 1));
        canvas->drawLabel(messageLine1);
        canvas->drawLabel(messageLine2);
    } else {
        for (CGuiTextButton* label : {messageLine1, messageLine2, messageTitle})
            label->setText(L" ");
    }
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
    // Left during the closing wait of a won race: breaking it off from the menu must not lose
    // the win.
    if (menu)
        menu->setPausedRaceWon(won && gameData->getRacePhase() == 1);
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
    std::vector<const btCollisionObject*> touched;
    for (int j = 0; j < entities->getCheckpointCount(); ++j) {
        COSEntity* checkpoint = entities->getCheckpoint(j);
        btRigidBody* trigger = checkpoint->getRigidBody();
        if (!trigger)
            continue;
        // One pass over the contacts per gate, however many cars there are.
        engine->touchingBodies(trigger, touched);
        for (int i = 0; i < entities->getVehicleCount() && !touched.empty(); ++i) {
            CVehicleEntity* vehicle = entities->getVehicle(i);
            btRigidBody* body = bodyOf(vehicle);
            if (body && std::find(touched.begin(), touched.end(), body) != touched.end())
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
    if (won)
        awardWin(settings, gameData);
    engine->setGameState(EGS_MENU);
    if (menu)
        menu->setMenuName("BreakAndNew");
}
