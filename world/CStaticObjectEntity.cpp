#include "world/CStaticObjectEntity.h"

#include <btBulletDynamicsCommon.h>
#include <cstdio>
#include <utility>

#include "core/CGameEngine.h"
#include "world/BodyTransform.h"
#include "world/CChunkedMeshNode.h"
#include "world/CPhysicsBody.h"
#include "world/SceneUse.h"
#include "world/SEntityDesc.h"

using namespace irr;

namespace {

const f32 kGroundFriction = 0.0f;    // "Triplanar": the drivable ground
const f32 kOffTrackFriction = 0.75f; // anything else; the race brakes a player standing on it
// The object's own textures fill the first layers; the shadow map owns the last one.
const u32 kTextureLayers = 4;

} // namespace

CStaticObjectEntity::CStaticObjectEntity(int id, std::string name, std::string displayName,
                                         std::string meshPath, core::vector3df position,
                                         core::vector3df rotation, core::vector3df scale,
                                         core::vector3df offset, bool transparent, int mapping,
                                         std::vector<std::string> texturePaths, CPhysicsBody* body,
                                         CGameEngine* engine)
    : id(-1), name(std::move(name)), displayName(std::move(displayName)), mesh(nullptr),
      node(nullptr), offset(offset), physicsBody(body), desc(nullptr), engine(engine)
{
    std::printf("StaticObject is creating...\n");
    // Whatever comes of the object, the colour of its description is opaque white.
    desc = new SEntityDesc(id, this->name, this->displayName, meshPath, "NULL", "NULL", "NULL",
                           "NULL", position, rotation, scale, offset, transparent, mapping,
                           texturePaths, video::SColor(255, 255, 255, 255), engine);
    build(meshPath, position, rotation, scale, transparent, mapping, texturePaths);
    if (!node) {
        std::printf("StaticObject is creating... [ERROR]\n\n");
        return;
    }
    this->id = id;
    std::printf("StaticObject is creating... [OK]\n\n");
}

void CStaticObjectEntity::build(const std::string& meshPath, const core::vector3df& position,
                                const core::vector3df& rotation, const core::vector3df& scale,
                                bool transparent, int mapping,
                                const std::vector<std::string>& texturePaths)
{
    if (!engine || !engine->getSceneManager() || !engine->getDynamicsWorld()) {
        std::printf("ERROR: StaticObject \"%s\" has no world to live in\n", name.c_str());
        return;
    }
    scene::ISceneManager* sceneManager = engine->getSceneManager();
    scene::IAnimatedMesh* animated = meshPath == "NULL" ? nullptr : sceneManager->getMesh(meshPath.c_str());
    mesh = animated ? animated->getMesh(0, 255, -1, -1) : nullptr;
    btRigidBody* rigidBody = physicsBody ? physicsBody->getRigidBody() : nullptr;
    // Both are checked before anything is built, so a failed object leaves nothing behind.
    if (!mesh) {
        std::printf("ERROR: StaticObject \"%s\": mesh \"%s\" not found\n", name.c_str(), meshPath.c_str());
        return;
    }
    if (!rigidBody) {
        std::printf("ERROR: StaticObject \"%s\" has no physics body\n", name.c_str());
        return;
    }

    for (u32 b = 0; b < mesh->getMeshBufferCount(); ++b)
        mesh->getMeshBuffer(b)->setHardwareMappingHint(scene::EHM_STATIC, scene::EBT_VERTEX_AND_INDEX);
    if (mapping == 1) {
        // The ground spreads far beyond the view: drawn in chunks the camera culls. The cached
        // mesh stays whole (the collision shape is built from it).
        node = new CChunkedMeshNode(mesh, sceneManager->getRootSceneNode(), sceneManager, -1);
        node->drop();
    } else {
        node = sceneManager->addMeshSceneNode(mesh, nullptr, -1, core::vector3df(0, 0, 0),
                                              core::vector3df(0, 0, 0), core::vector3df(1, 1, 1));
    }
    node->setPosition(position);
    node->setRotation(rotation);
    // Triplanar mapping works in world space, so the ground keeps its node unscaled.
    if (mapping != 1)
        node->setScale(scale);

    for (u32 i = 0; i < node->getMaterialCount(); ++i) {
        video::SMaterial& material = node->getMaterial(i);
        if (transparent) {
            material.MaterialType = video::EMT_TRANSPARENT_ALPHA_CHANNEL;
            material.BackfaceCulling = false;
        } else {
            material.MaterialType = video::EMT_SOLID;
        }
    }

    video::IVideoDriver* driver = engine->getVideoDriver();
    for (const std::string& path : texturePaths) {
        video::ITexture* texture = driver ? driver->getTexture(path.c_str()) : nullptr;
        if (texture)
            textures.push_back(texture);
    }
    for (u32 i = 0; i < node->getMaterialCount(); ++i) {
        for (u32 k = 0; k < kTextureLayers && k < textures.size(); ++k)
            node->getMaterial(i).setTexture(k, textures[k]);
    }

    rigidBody->setWorldTransform(transformFromDegrees(position, rotation));
    rigidBody->setFriction(mapping == 1 ? kGroundFriction : kOffTrackFriction);
    rigidBody->setUserPointer(this);
    engine->getDynamicsWorld()->addRigidBody(rigidBody);
}

CStaticObjectEntity::~CStaticObjectEntity()
{
    std::printf("StaticObject is removing...\n");
    if (node) {
        node->remove();
        node = nullptr;
        releaseOwnTextures();
    }
    // Also a body that was never put into the world: the object took it over.
    delete physicsBody;
    delete desc;
}

// Only the textures this object loaded from its "Texture" list leave the driver, and only when no
// node of the scene and no cached mesh still draws with them: textures are shared by path, and the
// mesh file's own textures belong to the cached mesh, which the next mission may show again.
void CStaticObjectEntity::releaseOwnTextures()
{
    releaseUnusedTextures(engine, textures);
    textures.clear();
}

int CStaticObjectEntity::getId() { return id; }
std::string CStaticObjectEntity::getName() { return name; }
std::string CStaticObjectEntity::getDisplayName() { return displayName; }
scene::IMeshSceneNode* CStaticObjectEntity::getNode() { return node; }
scene::IMesh* CStaticObjectEntity::getMesh() { return mesh; }
CPhysicsBody* CStaticObjectEntity::getPhysicsBody() { return physicsBody; }
SEntityDesc* CStaticObjectEntity::getDesc() { return desc; }

void CStaticObjectEntity::update()
{
    if (!node || !physicsBody || !physicsBody->getRigidBody())
        return;
    if (!physicsBody->hasShape() || physicsBody->getMass() == 0.0f)
        return;
    const btVector3& origin = physicsBody->getRigidBody()->getWorldTransform().getOrigin();
    node->setPosition(core::vector3df(origin.x(), origin.y() + offset.Y, origin.z()));
}
