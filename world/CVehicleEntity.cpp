#include "world/CVehicleEntity.h"

#include <algorithm>
#include <btBulletDynamicsCommon.h>
#include <cstdio>
#include <utility>
#include <vector>

#include "audio/CSound.h"
#include "core/CGameEngine.h"
#include "race/CControllerPack.h"
#include "world/CEntityManager.h"
#include "world/CItemEntity.h"
#include "world/CPhysicsBody.h"
#include "world/CStaticObjectEntity.h"
#include "world/BodyTransform.h"
#include "world/SEntityDesc.h"
#include "world/SceneUse.h"
#include "world/vehicle/btRaycastVehicle.h"

using namespace irr;

namespace {

const f32 kOverturnMs = 3500.0f;
const f32 kOverturnLift = 1.0f;
const f32 kEngineGain = 0.3f;
// The body's suspension joints, paired with raycast wheels 0 to 3 (the names are the mesh files').
const char* const kJointNames[4] = {"lewa_prod", "prawa_przod", "lewa_tyl", "prawa_tyl"};
// A car's own textures fill the first layers; the shadow map that the race adds owns the last.
const u32 kTextureLayers = 4;

core::matrix4 toMatrix(const btTransform& transform)
{
    core::matrix4 matrix;
    transform.getOpenGLMatrix(matrix.pointer());
    return matrix;
}

void setMaterialType(scene::ISceneNode* node, bool transparent)
{
    if (!node)
        return;
    for (u32 i = 0; i < node->getMaterialCount(); ++i)
        node->getMaterial(i).MaterialType =
            transparent ? video::EMT_TRANSPARENT_ALPHA_CHANNEL_REF : video::EMT_SOLID;
}

void setStreamingHint(scene::IMesh* mesh)
{
    if (!mesh)
        return;
    for (u32 b = 0; b < mesh->getMeshBufferCount(); ++b)
        mesh->getMeshBuffer(b)->setHardwareMappingHint(scene::EHM_STREAM, scene::EBT_VERTEX_AND_INDEX);
}

void place(scene::ISceneNode* node, const core::vector3df& position,
           const core::vector3df& rotation, const core::vector3df& scale)
{
    if (!node)
        return;
    node->setPosition(position);
    node->setRotation(rotation);
    node->setScale(scale);
}

// The absolute transforms of `node` and its ancestors up to `top`, refreshed from `top` down.
void refreshChain(scene::ISceneNode* node, scene::ISceneNode* top)
{
    if (!node)
        return;
    if (node != top)
        refreshChain(node->getParent(), top);
    node->updateAbsolutePosition();
}

} // namespace

CVehicleEntity::CVehicleEntity() : CVehicleEntity(-1, std::string()) {}

CVehicleEntity::CVehicleEntity(int id, std::string name)
    : id(id), name(std::move(name)), bodyNode(nullptr), wheelNodeFL(nullptr), wheelNodeFR(nullptr),
      wheelNodeBL(nullptr), wheelNodeBR(nullptr), bodyMesh(nullptr), wheelMeshFL(nullptr),
      wheelMeshFR(nullptr), wheelMeshBL(nullptr), wheelMeshBR(nullptr), physicsBody(nullptr),
      controllerPack(nullptr), maxEngineForce(1.0f), maxBreakingForce(1.0f), maxVelocity(1.0f),
      finished(false), lastCheckpoint(2), lap(-1), checkpoint1Pending(false),
      checkpoint2Pending(false), navigationIndex(0), navigationDistance(0.0f), item(nullptr),
      itemManager(nullptr), itemTakenTime(-1), engineSound(nullptr), overturnStart(0.0f),
      desc(nullptr), engine(nullptr), meshes{}
{
}

CVehicleEntity::CVehicleEntity(int id, std::string name, std::string displayName, std::string mesh,
                               std::string wheelFL, std::string wheelFR, std::string wheelBL,
                               std::string wheelBR, core::vector3df position,
                               core::vector3df rotation, core::vector3df scale, bool transparent,
                               video::SColor color, CSound* engineSound, CPhysicsBody* body,
                               CControllerPack* pack, CGameEngine* engine)
    : CVehicleEntity(-1, std::move(name))
{
    this->displayName = std::move(displayName);
    this->engineSound = engineSound;
    physicsBody = body;
    controllerPack = pack;
    this->engine = engine;
    std::printf("Vehicle is creating...\n");
    desc = new SEntityDesc(id, this->name, this->displayName, mesh, wheelFL, wheelFR, wheelBL,
                           wheelBR, position, rotation, scale, core::vector3df(0, 0, 0),
                           transparent, 0, {}, color, engine);
    const std::string wheelPaths[4] = {wheelFL, wheelFR, wheelBL, wheelBR};
    if (!build(mesh, wheelPaths, position, rotation, scale, transparent)) {
        std::printf("Vehicle is creating... [ERROR]\n\n");
        return;
    }
    if (controllerPack)
        controllerPack->setVehicle(this);
    else
        std::printf("Warning: Vehicle \"%s\" has no controller; it stands with its brakes on\n",
                    this->name.c_str());
    this->id = id;
    if (engineSound) {
        engineSound->setLoop(true);
        engineSound->setGain(kEngineGain);
    } else {
        std::printf("Warning: Vehicle \"%s\" has no engine sound; it runs silent\n", this->name.c_str());
    }
    std::printf("Vehicle is creating... [OK]\n\n");
}

// Everything that can stop the car is checked before anything enters the scene or the world.
bool CVehicleEntity::build(const std::string& meshPath, const std::string wheelPaths[4],
                           const core::vector3df& position, const core::vector3df& rotation,
                           const core::vector3df& scale, bool transparent)
{
    if (!engine || !engine->getSceneManager() || !engine->getDynamicsWorld()) {
        std::printf("ERROR: Vehicle \"%s\" has no world to live in\n", name.c_str());
        return false;
    }
    btRigidBody* rigidBody = physicsBody ? physicsBody->getRigidBody() : nullptr;
    if (!rigidBody) {
        std::printf("ERROR: Vehicle \"%s\" has no physics body\n", name.c_str());
        return false;
    }
    sandvolt::btRaycastVehicle* vehicle = physicsBody->getVehicle();
    if (!vehicle || vehicle->getNumWheels() < 4) {
        std::printf("ERROR: Vehicle \"%s\" has no wheels: its physics body needs a vehicle type "
                    "and a mass above 0\n", name.c_str());
        return false;
    }
    scene::ISceneManager* sceneManager = engine->getSceneManager();
    scene::IAnimatedMesh* body = meshPath == "NULL" ? nullptr : sceneManager->getMesh(meshPath.c_str());
    if (!body) {
        std::printf("ERROR: Vehicle \"%s\": body mesh \"%s\" not found\n", name.c_str(),
                    meshPath.c_str());
        return false;
    }

    bodyMesh = body;
    meshes[0] = body;
    body->grab();
    scene::IMesh** wheelMeshes[4] = {&wheelMeshFL, &wheelMeshFR, &wheelMeshBL, &wheelMeshBR};
    for (int w = 0; w < 4; ++w) {
        const std::string& path = wheelPaths[w];
        scene::IAnimatedMesh* animated = path == "NULL" ? nullptr : sceneManager->getMesh(path.c_str());
        scene::IMesh* frame = animated ? animated->getMesh(0, 255, -1, -1) : nullptr;
        if (!frame) {
            std::printf("Warning: Vehicle \"%s\": wheel mesh \"%s\" not found; that wheel is not "
                        "shown\n", name.c_str(), path.c_str());
            continue;
        }
        *wheelMeshes[w] = frame;
        meshes[w + 1] = animated;
        animated->grab();
    }

    setStreamingHint(bodyMesh);
    for (scene::IMesh** wheel : wheelMeshes)
        setStreamingHint(*wheel);

    const core::vector3df origin(0, 0, 0), unrotated(0, 0, 0), unscaled(1, 1, 1);
    bodyNode = sceneManager->addAnimatedMeshSceneNode(bodyMesh, nullptr, -1, origin, unrotated, unscaled);
    bodyNode->setJointMode(scene::EJUOR_CONTROL);
    scene::IMeshSceneNode** wheelNodes[4] = {&wheelNodeFL, &wheelNodeFR, &wheelNodeBL, &wheelNodeBR};
    for (int w = 0; w < 4; ++w) {
        if (*wheelMeshes[w])
            *wheelNodes[w] = sceneManager->addMeshSceneNode(*wheelMeshes[w], nullptr, -1, origin,
                                                            unrotated, unscaled);
    }
    if (bodyMesh->getMeshType() == scene::EAMT_SKINNED) {
        for (const char* joint : kJointNames) {
            if (!bodyNode->getJointNode(joint))
                std::printf("Warning: Vehicle \"%s\": body mesh \"%s\" has no joint \"%s\"; that "
                            "part of the suspension stays put\n", name.c_str(), meshPath.c_str(), joint);
        }
    }

    place(bodyNode, position, rotation, scale);
    for (scene::IMeshSceneNode** wheel : wheelNodes)
        place(*wheel, position, rotation, scale);
    setMaterialType(bodyNode, transparent);
    for (scene::IMeshSceneNode** wheel : wheelNodes)
        setMaterialType(*wheel, transparent);

    moveBody(rigidBody, transformFromDegrees(position, rotation));
    rigidBody->setUserPointer(this);
    rigidBody->setActivationState(DISABLE_DEACTIVATION);
    engine->getDynamicsWorld()->addRigidBody(rigidBody);
    engine->getDynamicsWorld()->addVehicle(vehicle);
    return true;
}

CVehicleEntity::~CVehicleEntity()
{
    std::printf("Vehicle is removing...\n");
    releaseScene();
    // Taken over at construction, also when the car could not be built.
    delete physicsBody;
    delete engineSound;
    delete controllerPack;
    delete desc;
}

// Nodes first, so that what they showed counts as unused; then the meshes nothing else shows,
// then the textures of those meshes that no node and no cached mesh draws with any more. Textures
// that others set on the car's materials (the race's shadow map) are not the car's to remove.
void CVehicleEntity::releaseScene()
{
    scene::ISceneNode* nodes[5] = {bodyNode, wheelNodeFL, wheelNodeFR, wheelNodeBL, wheelNodeBR};
    for (scene::ISceneNode* node : nodes) {
        if (node)
            node->remove();
    }
    bodyNode = nullptr;
    wheelNodeFL = wheelNodeFR = wheelNodeBL = wheelNodeBR = nullptr;
    if (!engine || !engine->getSceneManager())
        return;

    scene::ISceneManager* sceneManager = engine->getSceneManager();
    scene::ISceneNode* root = sceneManager->getRootSceneNode();
    std::vector<video::ITexture*> textures;
    for (int i = 0; i < 5; ++i) {
        scene::IAnimatedMesh* animated = meshes[i];
        if (!animated)
            continue;
        bool seen = false;
        for (int k = 0; k < i; ++k)
            seen = seen || meshes[k] == animated;
        scene::IMesh* frame = animated->getMesh(0, 255, -1, -1);
        if (!seen && !sceneShowsMesh(root, animated) && !sceneShowsMesh(root, frame)) {
            for (u32 b = 0; b < animated->getMeshBufferCount(); ++b) {
                const video::SMaterial& material = animated->getMeshBuffer(b)->getMaterial();
                for (u32 layer = 0; layer < kTextureLayers; ++layer)
                    textures.push_back(material.getTexture(layer));
            }
            sceneManager->getMeshCache()->removeMesh(animated);
        }
    }
    for (scene::IAnimatedMesh*& animated : meshes) {
        if (animated)
            animated->drop();
        animated = nullptr;
    }
    bodyMesh = nullptr;
    wheelMeshFL = wheelMeshFR = wheelMeshBL = wheelMeshBR = nullptr;
    releaseUnusedTextures(engine, textures);
}

bool CVehicleEntity::isBuilt() const { return bodyNode != nullptr; }

f32 CVehicleEntity::gameClock()
{
    if (!engine || !engine->getDevice())
        return 0.0f;
    return static_cast<f32>(engine->getDevice()->getTimer()->getTime()) - engine->pausedTime;
}

int CVehicleEntity::getId() { return id; }
std::string CVehicleEntity::getName() const { return name; }
std::string CVehicleEntity::getDisplayName() { return displayName; }
scene::IAnimatedMeshSceneNode* CVehicleEntity::getBodyNode() { return bodyNode; }
scene::IMeshSceneNode* CVehicleEntity::getWheelNodeFL() { return wheelNodeFL; }
scene::IMeshSceneNode* CVehicleEntity::getWheelNodeFR() { return wheelNodeFR; }
scene::IMeshSceneNode* CVehicleEntity::getWheelNodeBL() { return wheelNodeBL; }
scene::IMeshSceneNode* CVehicleEntity::getWheelNodeBR() { return wheelNodeBR; }
scene::IAnimatedMesh* CVehicleEntity::getBodyMesh() { return bodyMesh; }
scene::IMesh* CVehicleEntity::getWheelMeshFL() { return wheelMeshFL; }
scene::IMesh* CVehicleEntity::getWheelMeshFR() { return wheelMeshFR; }
scene::IMesh* CVehicleEntity::getWheelMeshBL() { return wheelMeshBL; }
scene::IMesh* CVehicleEntity::getWheelMeshBR() { return wheelMeshBR; }
CPhysicsBody* CVehicleEntity::getPhysicsBody() { return physicsBody; }
CControllerPack* CVehicleEntity::getControllerPack() { return controllerPack; }
SEntityDesc* CVehicleEntity::getDesc() { return desc; }
CSound* CVehicleEntity::getEngineSound() { return engineSound; }

scene::IMeshSceneNode* CVehicleEntity::wheelNode(int wheel)
{
    switch (wheel) {
    case 0: return wheelNodeFL;
    case 1: return wheelNodeFR;
    case 2: return wheelNodeBL;
    case 3: return wheelNodeBR;
    default: return nullptr;
    }
}

void CVehicleEntity::applyControls()
{
    if (!isBuilt())
        return;
    sandvolt::btRaycastVehicle* vehicle = physicsBody->getVehicle();
    f32 engineForce = 0.0f;
    f32 brakeForce = maxBreakingForce;
    f32 steering = 0.0f;
    if (controllerPack) {
        engineForce = controllerPack->getEngineForce();
        brakeForce = controllerPack->getBrakeForce();
        steering = controllerPack->getSteering();
    }
    for (int wheel = 2; wheel < 4; ++wheel) {
        vehicle->applyEngineForce(engineForce, wheel);
        vehicle->setBrake(brakeForce, wheel);
    }
    for (int wheel = 0; wheel < 2; ++wheel)
        vehicle->setSteeringValue(steering, wheel);
}

void CVehicleEntity::updateNodes()
{
    if (!isBuilt())
        return;
    sandvolt::btRaycastVehicle* vehicle = physicsBody->getVehicle();
    bodyNode->animateJoints(true);
    for (int i = 0; i < vehicle->getNumWheels(); ++i)
        vehicle->updateWheelTransform(i, true);

    const core::matrix4 chassis = toMatrix(shownTransform(physicsBody->getRigidBody()));
    bodyNode->setPosition(chassis.getTranslation());
    bodyNode->setRotation(chassis.getRotationDegrees());

    const bool jointed = bodyMesh->getMeshType() == scene::EAMT_SKINNED;
    for (int i = 0; i < 4; ++i) {
        const core::matrix4 wheel = toMatrix(vehicle->getWheelInfo(i).m_worldTransform);
        if (scene::IMeshSceneNode* node = wheelNode(i)) {
            node->setPosition(wheel.getTranslation());
            node->setRotation(wheel.getRotationDegrees());
        }
        // A body without a skeleton has no suspension to move (and asking it for joints only
        // fills the log).
        if (jointed)
            placeJoint(kJointNames[i], wheel.getTranslation());
    }
}

void CVehicleEntity::placeJoint(const char* jointName, const core::vector3df& wheelCentre)
{
    scene::IBoneSceneNode* joint = bodyNode->getJointNode(jointName);
    if (!joint || !joint->getParent())
        return;
    // Each joint refreshes its own chain, so a missing first joint leaves the others current.
    scene::ISceneNode* parent = joint->getParent();
    refreshChain(parent, bodyNode);
    const core::matrix4& parentTransform = parent->getAbsoluteTransformation();
    core::matrix4 toParent;
    if (!parentTransform.getInverse(toParent))
        toParent = parentTransform;
    core::vector3df local = wheelCentre;
    toParent.transformVect(local);
    joint->setPosition(local);
}

void CVehicleEntity::updateItem()
{
    CItemEntity* held = getItem();
    if (!held)
        return;
    // Unsigned, as the timer counts: an effect time near the integer limit must not overflow.
    const u32 end = static_cast<u32>(itemTakenTime) + static_cast<u32>(held->getEffectTime());
    if (gameClock() > static_cast<f32>(end))
        setItem(nullptr);
}

void CVehicleEntity::idle() {}

void CVehicleEntity::checkOverturned(CEntityManager* manager)
{
    if (!isBuilt())
        return;
    sandvolt::btRaycastVehicle* vehicle = physicsBody->getVehicle();
    btRigidBody* carBody = physicsBody->getRigidBody();
    int contacts = 0;
    for (int i = 0; i < 4; ++i) {
        if (vehicle->getWheelInfo(i).m_raycastInfo.m_groundObject)
            ++contacts;
    }
    bool touching = false;
    const int objects = manager ? manager->getStaticObjectCount() : 0;
    if (objects > 0) {
        // The few bodies the car touches, against the mission's many static objects.
        std::vector<const btCollisionObject*> touched;
        engine->touchingBodies(carBody, touched);
        for (int i = 0; i < objects && !touching && !touched.empty(); ++i) {
            CStaticObjectEntity* object = manager->getStaticObject(i);
            CPhysicsBody* body = object ? object->getPhysicsBody() : nullptr;
            const btCollisionObject* rigid = body ? body->getRigidBody() : nullptr;
            touching = rigid && std::find(touched.begin(), touched.end(), rigid) != touched.end();
        }
    }
    // Resting on something with every wheel in the air: on its roof or its side.
    const bool overturned = touching && contacts == 0;
    const f32 now = gameClock();
    if (overturnStart == 0.0f && overturned)
        overturnStart = now;
    if (overturnStart != 0.0f && now > overturnStart + kOverturnMs) {
        overturnStart = 0.0f;
        if (overturned)
            turnBackOntoWheels();
    }
}

// Lifted a little and turned half round about the X and Y angles: a car on its roof lands on
// its wheels facing the way it went.
void CVehicleEntity::turnBackOntoWheels()
{
    const btTransform current = shownTransform(physicsBody->getRigidBody());
    const core::vector3df angles = toMatrix(current).getRotationDegrees();
    const btVector3& origin = current.getOrigin();
    placeLifted(core::vector3df(origin.x(), origin.y(), origin.z()),
                core::vector3df(angles.X + 180.0f, angles.Y + 180.0f, angles.Z));
}

void CVehicleEntity::putBack(const core::vector3df& ground, f32 headingDegrees)
{
    if (!isBuilt())
        return;
    placeLifted(ground, core::vector3df(0.0f, headingDegrees, 0.0f));
    // Whatever speed it fell or flew with stays where it left.
    btRigidBody* carBody = physicsBody->getRigidBody();
    carBody->setLinearVelocity(btVector3(0, 0, 0));
    carBody->setAngularVelocity(btVector3(0, 0, 0));
    overturnStart = 0.0f;
}

void CVehicleEntity::placeLifted(const core::vector3df& position, const core::vector3df& rotationDegrees)
{
    const core::vector3df lifted(position.X, position.Y + kOverturnLift, position.Z);
    moveBody(physicsBody->getRigidBody(), transformFromDegrees(lifted, rotationDegrees));
}

void CVehicleEntity::setMaxEngineForce(f32 force)
{
    if (force > 0.0f)
        maxEngineForce = force;
}

f32 CVehicleEntity::getMaxEngineForce() const { return maxEngineForce; }

void CVehicleEntity::setMaxBreakingForce(f32 force)
{
    if (force > 0.0f)
        maxBreakingForce = force;
}

f32 CVehicleEntity::getMaxBreakingForce() const { return maxBreakingForce; }

void CVehicleEntity::setMaxVelocity(f32 velocity)
{
    if (velocity > 0.0f)
        maxVelocity = velocity;
}

f32 CVehicleEntity::getMaxVelocity() const { return maxVelocity; }

bool CVehicleEntity::isFinished() const { return finished; }
void CVehicleEntity::setFinished(bool value) { finished = value; }
int CVehicleEntity::getLastCheckpoint() const { return lastCheckpoint; }
void CVehicleEntity::setLastCheckpoint(int kind) { lastCheckpoint = kind; }
int CVehicleEntity::getLap() const { return lap; }
void CVehicleEntity::setLap(int value) { lap = value; }
bool CVehicleEntity::isCheckpoint1Pending() const { return checkpoint1Pending; }
void CVehicleEntity::setCheckpoint1Pending(bool pending) { checkpoint1Pending = pending; }
bool CVehicleEntity::isCheckpoint2Pending() const { return checkpoint2Pending; }
void CVehicleEntity::setCheckpoint2Pending(bool pending) { checkpoint2Pending = pending; }
int CVehicleEntity::getNavigationIndex() const { return navigationIndex; }
void CVehicleEntity::setNavigationIndex(int value) { navigationIndex = value; }
f32 CVehicleEntity::getNavigationDistance() const { return navigationDistance; }
void CVehicleEntity::setNavigationDistance(f32 value) { navigationDistance = value; }

// The items creator may delete an item while a car still carries it; the car then no longer
// finds it in the item list and lets it go instead of reading freed memory.
CItemEntity* CVehicleEntity::getItem()
{
    if (!item)
        return nullptr;
    bool listed = false;
    const int count = itemManager ? itemManager->getItemCount() : 0;
    for (int i = 0; i < count && !listed; ++i)
        listed = itemManager->getItem(i) == item;
    if (!listed) {
        item = nullptr;
        itemManager = nullptr;
        itemTakenTime = -1;
    }
    return item;
}

void CVehicleEntity::setItem(CItemEntity* newItem)
{
    if (!newItem) {
        item = nullptr;
        itemManager = nullptr;
        itemTakenTime = -1;
        return;
    }
    if (!newItem->take())
        return;
    item = newItem;
    itemManager = newItem->getManager();
    itemTakenTime = static_cast<int>(gameClock());
}
