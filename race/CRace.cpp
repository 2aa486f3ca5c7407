#include "race/CRace.h"

#include <algorithm>
#include <btBulletDynamicsCommon.h>
#include <cstdio>
#include <vector>

#include "audio/CSound.h"
#include "audio/CSoundManager.h"
#include "core/CGameData.h"
#include "core/CGameEngine.h"
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
// A car whose top is this far below the lowest ground has fallen through it.
const f32 kBelowWorld = 2.0f;
// The ground under a track point is looked for from this high above it, under any gate's beam.
const f32 kGroundSearchAbove = 1.5f;
const f32 kGroundSearchBelow = 30.0f;
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

// A car that has done its laps keeps to the ground, the scenery and the checkpoints only: the
// cars still racing, and their wheels, go through it.
const int kFinishedCarGroup = 1 << 6;

void letRacingCarsThrough(btDiscreteDynamicsWorld* world, btRigidBody* body)
{
    const btBroadphaseProxy* proxy = body->getBroadphaseHandle();
    if (!proxy || proxy->m_collisionFilterGroup == kFinishedCarGroup)
        return;
    // Taken out and put back: the contacts it has with the other cars go with it.
    world->removeRigidBody(body);
    world->addRigidBody(body, kFinishedCarGroup, btBroadphaseProxy::StaticFilter);
}

// Finds the ground and the scenery only: not a car standing there, not a checkpoint's trigger.
struct SGroundRay : btCollisionWorld::ClosestRayResultCallback {
    SGroundRay(const btVector3& from, const btVector3& to) : ClosestRayResultCallback(from, to)
    {
        m_collisionFilterMask = btBroadphaseProxy::StaticFilter;
    }
    bool needsCollision(btBroadphaseProxy* proxy) const override
    {
        const auto* object = static_cast<const btCollisionObject*>(proxy->m_clientObject);
        return ClosestRayResultCallback::needsCollision(proxy) && object->hasContactResponse();
    }
};

} // namespace

CRace::CRace(CGameEngine* engine, SGameSettings* settings, CGameData* gameData,
             CEntityManager* entities, CSoundManager* sound, CChaseCamera* camera,
             CShaderManager* shaders, CMenu* menu, CTranslation* texts)
    : engine(engine), settings(settings), gameData(gameData), entities(entities), sound(sound),
      camera(camera), shaders(shaders), menu(menu), texts(texts), messageCycleStart(0.0f),
      endingStartTime(0.0f), messageIndex(0), placeFade(0.0f), overlayAlpha(0.0f),
      messageAlpha(0.0f), firstFrame(true), won(false), worldKnown(false), playerPutBack(false), stepsThisFrame(0),
      screen(engine), canvas(&screen),
      screenWidth(0.0), screenHeight(0.0)
{
    buildDisplay();
    if (camera) {
        camera->setDistance(9.0f);
        camera->setHeight(4.5f);
    }
}


// The fonts belong to the engine's cache and the images to the driver; the labels are ours.
CRace::~CRace()
{
    delete messageTitle;
    delete messageLine2;
    delete messageLine1;
}

bool CRace::isWon() const { return won; }

void CRace::run()
{
    begin();
    while (engine->run()) {
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
    btDiscreteDynamicsWorld* dynamics = engine->getDynamicsWorld();
    stepsThisFrame = 0;
    dynamics->setInternalTickCallback(&CRace::driveBetweenSteps, this, true);
    dynamics->stepSimulation(engine->frameDelta, kMaxSubSteps, kFixedStep);
    dynamics->setInternalTickCallback(nullptr, nullptr, true);
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

bool CRace::endsTheLadder() const
{
    return won && gameData->getLoadedMission() == kFinalMission;
}

void CRace::accountPause()
{
    if (engine->pauseStartTime != 0.0f) {
        engine->pausedTime += timerNow() - engine->pauseStartTime;
        engine->pauseStartTime = 0.0f;
    }
    // The first frame of a freshly loaded race: the loader zeroed the pause bookkeeping.
    if (engine->pausedTime == 0.0f) {
        resetCounters();
        measureWorld();
    }
}

void CRace::measureWorld()
{
    worldKnown = false;
    for (int i = 0; i < entities->getStaticObjectCount(); ++i) {
        CStaticObjectEntity* object = entities->getStaticObject(i);
        CPhysicsBody* physics = object ? object->getPhysicsBody() : nullptr;
        const btRigidBody* body = physics ? physics->getRigidBody() : nullptr;
        if (!body)
            continue;
        btVector3 low, high;
        body->getAabb(low, high);
        const core::aabbox3df box(low.x(), low.y(), low.z(), high.x(), high.y(), high.z());
        if (worldKnown) {
            world.addInternalBox(box);
        } else {
            world = box;
            worldKnown = true;
        }
    }
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
    return gameData->getSelectedMission() != "Null" || engine->getInput().isKeyDown(KEY_ESCAPE);
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
        endsTheLadder() ? kFinalFinishWaitMs : kFinishWaitMs;
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
        const bool done = vehicle->getLap() == laps;
        if (done && bodyOf(vehicle))
            letRacingCarsThrough(engine->getDynamicsWorld(), bodyOf(vehicle));
        const bool held = done || phase == 0;
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

void CRace::driveBetweenSteps(btDynamicsWorld* world, f32 step)
{
    static_cast<CRace*>(world->getWorldUserInfo())->driveComputerCars(step);
}

// A computer car steers, brakes and counts its waypoints once per physics step, whatever the
// frame rate: the frame's own controls drive the first step, and the later steps of a long frame
// get fresh ones. The player's keys are read once a frame.
void CRace::driveComputerCars(f32 step)
{
    if (stepsThisFrame++ == 0 || gameData->getRacePhase() == 0)
        return;
    const s32 laps = gameData->getLaps();
    for (int i = 0; i < entities->getVehicleCount(); ++i) {
        CVehicleEntity* vehicle = entities->getVehicle(i);
        CControllerPack* controller = vehicle->getControllerPack();
        if (!controller || controller->isManual() || vehicle->getLap() == laps || !bodyOf(vehicle))
            continue;
        controller->update(step, false);
        vehicle->applyControls();
    }
}

void CRace::updateEntities()
{
    for (int i = 0; i < entities->getStaticObjectCount(); ++i)
        entities->getStaticObject(i)->update();
    playerPutBack = false;
    for (int i = 0; i < entities->getVehicleCount(); ++i) {
        CVehicleEntity* vehicle = entities->getVehicle(i);
        if (hasLeftTheWorld(vehicle)) {
            putBackOnTrack(vehicle);
            playerPutBack = playerPutBack || i == entities->getPlayerVehicleIndex();
        }
        vehicle->updateNodes();
        vehicle->checkOverturned(entities);
    }
}

// Past the edge of the ground, or wholly under it: nothing there can ever bring the car back.
bool CRace::hasLeftTheWorld(CVehicleEntity* vehicle)
{
    const btRigidBody* body = bodyOf(vehicle);
    if (!worldKnown || !body)
        return false;
    const btVector3& at = body->getWorldTransform().getOrigin();
    btVector3 low, high;
    body->getAabb(low, high);
    return at.x() < world.MinEdge.X || at.x() > world.MaxEdge.X || at.z() < world.MinEdge.Z ||
           at.z() > world.MaxEdge.Z || high.y() < world.MinEdge.Y - kBelowWorld;
}

// Onto the track point nearest to where the car left, or without a track onto its grid place.
void CRace::putBackOnTrack(CVehicleEntity* vehicle)
{
    const btVector3& left = bodyOf(vehicle)->getWorldTransform().getOrigin();
    core::vector3df place;
    f32 heading = 0.0f;
    if (!trackPlaceNear(core::vector3df(left.x(), left.y(), left.z()), gameData, place, heading)) {
        const SEntityDesc* desc = vehicle->getDesc();
        if (!desc)
            return;
        place = desc->getPosition();
        heading = desc->getRotation().Y;
    }
    SGroundRay ground(btVector3(place.X, place.Y + kGroundSearchAbove, place.Z),
                      btVector3(place.X, place.Y - kGroundSearchBelow, place.Z));
    engine->getDynamicsWorld()->rayTest(ground.m_rayFromWorld, ground.m_rayToWorld, ground);
    if (ground.hasHit())
        place.Y = ground.m_hitPointWorld.y();
    vehicle->putBack(place, heading);
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
    if ((firstFrame && engine->pausedTime == 0.0f) || playerPutBack)
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
