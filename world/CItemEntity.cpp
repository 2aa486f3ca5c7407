#include "world/CItemEntity.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

#include "core/CGameEngine.h"
#include "world/CEntityManager.h"

using namespace irr;

namespace {

const f32 kSpinDegreesPerSecond = 45.0f;

// A stored time in whole milliseconds. The largest times a mission file can hold round up past
// the integer range once stored as floats.
s32 wholeMilliseconds(f32 milliseconds)
{
    if (milliseconds >= 2147483648.0f)
        return std::numeric_limits<s32>::max();
    return static_cast<s32>(milliseconds);
}

} // namespace

CItemEntity::CItemEntity(std::string name, std::string parentName, CEntityManager* manager)
    : id(0), name(std::move(name)), parentName(std::move(parentName)), mesh(nullptr),
      node(nullptr), value(0.0f), effectTime(0.0f), respawnTime(0.0f), type(EIT_NONE),
      active(true), takenTime(0), manager(manager), engine(manager ? manager->getEngine() : nullptr)
{
    std::printf("Item is creating...\n");
    if (!manager || !engine || !engine->getSceneManager()) {
        std::printf("ERROR: Item \"%s\" has no world to live in...\n", this->name.c_str());
        return;
    }

    bool error = false;
    if (!this->parentName.empty()) {
        CItemEntity* parent = manager->findItem(this->parentName);
        if (parent) {
            if (!setMesh(parent->getMesh())) {
                std::printf("ERROR: Parent mesh not found...\n");
                error = true;
            }
            value = parent->getValue();
            if (parent->getRespawnTime() != 0)
                setRespawnTime(parent->getRespawnTime());
            if (parent->getEffectTime() != 0)
                setEffectTime(parent->getEffectTime());
            type = parent->getType();
        } else {
            std::printf("ERROR: Parent entity not found...\n");
            error = true;
        }
    }
    if (this->parentName.empty() || error) {
        // Without a mesh the item still has a node, so the loader can place it like any other.
        if (node)
            node->remove();
        node = engine->getSceneManager()->addEmptySceneNode(nullptr, -1);
        mesh = nullptr;
        value = 0.0f;
        type = EIT_NONE;
    }

    id = manager->getItemCount();
    manager->addItem(this);
}

CItemEntity::~CItemEntity()
{
    std::printf("Item is removing...\n");
    if (node)
        node->remove();
}

f32 CItemEntity::gameClock()
{
    return static_cast<f32>(engine->getDevice()->getTimer()->getTime()) - engine->pausedTime;
}

void CItemEntity::update()
{
    if (!engine)
        return;
    if (active) {
        if (!node)
            return;
        core::vector3df rotation = node->getRotation();
        // Kept within a turn so the spin stays smooth however long the race runs.
        rotation.Y = std::fmod(rotation.Y + engine->frameDelta * kSpinDegreesPerSecond, 360.0f);
        node->setRotation(rotation);
        return;
    }
    // Added as the unsigned timer counts, so that a respawn time near the integer limit keeps the
    // item away instead of overflowing.
    const u32 back = static_cast<u32>(takenTime) + static_cast<u32>(getRespawnTime());
    if (gameClock() > static_cast<f32>(back))
        active = true;
}

bool CItemEntity::take()
{
    if (!active || !engine)
        return false;
    active = false;
    takenTime = static_cast<s32>(gameClock());
    return true;
}

bool CItemEntity::isActive() { return active; }
s32 CItemEntity::getId() { return id; }
std::string CItemEntity::getName() { return name; }
std::string CItemEntity::getParentName() { return parentName; }
CEntityManager* CItemEntity::getManager() { return manager; }
scene::IMesh* CItemEntity::getMesh() { return mesh; }
scene::ISceneNode* CItemEntity::getNode() { return node; }
f32 CItemEntity::getValue() { return value; }
void CItemEntity::setValue(f32 newValue) { value = newValue; }
s32 CItemEntity::getEffectTime() { return wholeMilliseconds(effectTime); }
s32 CItemEntity::getRespawnTime() { return wholeMilliseconds(respawnTime); }

f32 CItemEntity::checkedTime(s32 milliseconds, const char* what)
{
    if (milliseconds >= 0)
        return static_cast<f32>(milliseconds);
    // A negative time would wrap round to weeks on the unsigned game clock.
    std::printf("Warning: Item \"%s\" has a negative %s time (%d ms), using 0\n", name.c_str(), what,
                milliseconds);
    return 0.0f;
}

void CItemEntity::setEffectTime(s32 milliseconds)
{
    if (milliseconds != 0)
        effectTime = checkedTime(milliseconds, "effect");
}

void CItemEntity::setRespawnTime(s32 milliseconds)
{
    if (milliseconds != 0)
        respawnTime = checkedTime(milliseconds, "respawn");
}

s32 CItemEntity::getType() { return type; }

void CItemEntity::setType(const std::string& text)
{
    if (text == "Speed")
        type = EIT_SPEED;
    else if (text == "Boost")
        type = EIT_BOOST;
    else
        type = EIT_NONE;
}

void CItemEntity::setType(s32 newType) { type = newType; }

bool CItemEntity::loadMesh(const std::string& path)
{
    if (!engine || !engine->getSceneManager())
        return false;
    scene::IAnimatedMesh* animated = engine->getSceneManager()->getMesh(path.c_str());
    scene::IMesh* frame = animated ? animated->getMesh(0, 255, -1, -1) : nullptr;
    if (!frame) {
        std::printf("ERROR: Item \"%s\": mesh \"%s\" not found\n", name.c_str(), path.c_str());
        return false;
    }
    return setMesh(frame);
}

bool CItemEntity::setMesh(scene::IMesh* newMesh)
{
    if (!newMesh || !engine || !engine->getSceneManager())
        return false;
    // The old node may be the last holder of the new mesh (an item given its own mesh again).
    newMesh->grab();
    mesh = newMesh;
    if (node)
        node->remove();
    for (u32 b = 0; b < mesh->getMeshBufferCount(); ++b)
        mesh->getMeshBuffer(b)->setHardwareMappingHint(scene::EHM_STREAM, scene::EBT_VERTEX_AND_INDEX);
    node = engine->getSceneManager()->addMeshSceneNode(mesh, nullptr, -1, core::vector3df(0, 0, 0),
                                                       core::vector3df(0, 0, 0),
                                                       core::vector3df(1, 1, 1));
    newMesh->drop();
    return true;
}
