#include "world/CEntityManager.h"

#include <cstdio>
#include <irrlicht.h>

#include "core/CGameEngine.h"
#include "world/CItemEntity.h"
#include "world/COSEntity.h"
#include "world/CStaticObjectEntity.h"
#include "world/CVehicleEntity.h"

namespace {

template <class T>
T* entryAt(std::vector<T*>& list, int i)
{
    if (i < 0 || i >= static_cast<int>(list.size()))
        return nullptr;
    return list[static_cast<size_t>(i)];
}

template <class T>
bool destroyAt(std::vector<T*>& list, int i)
{
    if (i < 0 || i >= static_cast<int>(list.size()))
        return false;
    delete list[static_cast<size_t>(i)];
    list.erase(list.begin() + i);
    return true;
}

// Keeps the list's storage: the next mission fills it again.
template <class T>
void destroyAll(std::vector<T*>& list)
{
    for (T* entity : list)
        delete entity;
    list.clear();
}

template <class T>
int indexOf(std::vector<T*>& list, const char* name)
{
    if (!name)
        return -1;
    const std::string wanted(name);
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i] && list[i]->getName() == wanted)
            return static_cast<int>(i);
    }
    return -1;
}

template <class T>
bool addNamed(std::vector<T*>& list, T* entity, const char* kind)
{
    if (!entity)
        return false;
    const std::string name = entity->getName();
    if (name == "NULL") {
        std::printf("Warning: %s may not be named \"NULL\", it is left out\n", kind);
        delete entity;
        return false;
    }
    if (indexOf(list, name.c_str()) >= 0) {
        std::printf("Warning: %s of name \"%s\" exists already, the second one is left out\n", kind,
                    name.c_str());
        delete entity;
        return false;
    }
    list.push_back(entity);
    return true;
}

template <class T>
void releaseStorage(std::vector<T*>& list)
{
    std::vector<T*>().swap(list);
}

} // namespace

CEntityManager::CEntityManager(CGameEngine* engine) : playerVehicleIndex(0), engine(engine) {}

CEntityManager::~CEntityManager()
{
    clear();
}

void CEntityManager::clear()
{
    clearItems();
    clearCheckpoints();
    clearStaticObjects();
    clearVehicles();
    if (engine && engine->getSceneManager())
        engine->getSceneManager()->getMeshCache()->clearUnusedMeshes();
    if (engine && engine->getVideoDriver())
        engine->getVideoDriver()->removeAllHardwareBuffers();
    playerVehicleIndex = 0;
    releaseStorage(vehicles);
    releaseStorage(staticObjects);
    releaseStorage(checkpoints);
    releaseStorage(items);
}

CGameEngine* CEntityManager::getEngine() { return engine; }

void CEntityManager::addItem(CItemEntity* item)
{
    if (item)
        items.push_back(item);
}

CItemEntity* CEntityManager::findItem(const std::string& name)
{
    return entryAt(items, indexOf(items, name.c_str()));
}

CItemEntity* CEntityManager::getItem(int i) { return entryAt(items, i); }
int CEntityManager::getItemCount() { return static_cast<int>(items.size()); }
bool CEntityManager::removeItem(const std::string& name) { return destroyAt(items, indexOf(items, name.c_str())); }
bool CEntityManager::removeItemAt(int i) { return destroyAt(items, i); }
void CEntityManager::clearItems() { destroyAll(items); }

void CEntityManager::addCheckpoint(COSEntity* checkpoint)
{
    if (checkpoint)
        checkpoints.push_back(checkpoint);
}

COSEntity* CEntityManager::getCheckpoint(int i) { return entryAt(checkpoints, i); }
int CEntityManager::getCheckpointCount() { return static_cast<int>(checkpoints.size()); }
void CEntityManager::clearCheckpoints() { destroyAll(checkpoints); }

bool CEntityManager::addStaticObject(CStaticObjectEntity* object)
{
    return addNamed(staticObjects, object, "StaticObject");
}

CStaticObjectEntity* CEntityManager::findStaticObject(const char* name)
{
    return entryAt(staticObjects, indexOf(staticObjects, name));
}

CStaticObjectEntity* CEntityManager::getStaticObject(int i) { return entryAt(staticObjects, i); }
int CEntityManager::getStaticObjectCount() { return static_cast<int>(staticObjects.size()); }
bool CEntityManager::removeStaticObject(const char* name) { return destroyAt(staticObjects, indexOf(staticObjects, name)); }
bool CEntityManager::removeStaticObjectAt(int i) { return destroyAt(staticObjects, i); }
void CEntityManager::clearStaticObjects() { destroyAll(staticObjects); }

bool CEntityManager::addVehicle(CVehicleEntity* vehicle)
{
    return addNamed(vehicles, vehicle, "Vehicle");
}

CVehicleEntity* CEntityManager::findVehicle(const char* name)
{
    return entryAt(vehicles, indexOf(vehicles, name));
}

CVehicleEntity* CEntityManager::getVehicle(int i) { return entryAt(vehicles, i); }
int CEntityManager::getVehicleCount() { return static_cast<int>(vehicles.size()); }
bool CEntityManager::removeVehicle(const char* name) { return destroyAt(vehicles, indexOf(vehicles, name)); }
bool CEntityManager::removeVehicleAt(int i) { return destroyAt(vehicles, i); }
void CEntityManager::clearVehicles() { destroyAll(vehicles); }

bool CEntityManager::setPlayerVehicleIndex(int index)
{
    playerVehicleIndex = index;
    return true;
}

int CEntityManager::getPlayerVehicleIndex() { return playerVehicleIndex; }
