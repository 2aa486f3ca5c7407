#pragma once
#include <string>
#include <vector>

class CGameEngine;
class CItemEntity;
class COSEntity;
class CStaticObjectEntity;
class CVehicleEntity;

// The container of the loaded mission's entities, in four lists: pick-up items, checkpoint
// objects, static objects and vehicles. It owns every entity in them and remembers which vehicle
// the player drives. Indices are positions in a list; removing an entity moves the later ones down.
class CEntityManager {
public:
    explicit CEntityManager(CGameEngine* engine);
    ~CEntityManager();

    // Destroys every entity (items, checkpoints, static objects, vehicles), lets the mesh cache and
    // the driver drop what nothing uses any more, and resets the player index to 0.
    void clear();
    CGameEngine* getEngine();

    // Items and checkpoints append themselves from their constructors; nothing is refused.
    void addItem(CItemEntity* item);
    CItemEntity* findItem(const std::string& name);
    CItemEntity* getItem(int i);
    int getItemCount();
    bool removeItem(const std::string& name);
    bool removeItemAt(int i);
    void clearItems();

    void addCheckpoint(COSEntity* checkpoint);
    COSEntity* getCheckpoint(int i);
    int getCheckpointCount();
    void clearCheckpoints();

    // The manager takes the object whatever the answer: one named "NULL" or one whose name is
    // already in the list is refused, reported and destroyed at once, so nothing of it stays in
    // the scene or the physics world. The caller must not touch it after a false answer.
    bool addStaticObject(CStaticObjectEntity* object);
    CStaticObjectEntity* findStaticObject(const char* name);
    CStaticObjectEntity* getStaticObject(int i);
    int getStaticObjectCount();
    bool removeStaticObject(const char* name);
    bool removeStaticObjectAt(int i);
    void clearStaticObjects();

    // Same ownership rule as addStaticObject.
    bool addVehicle(CVehicleEntity* vehicle);
    CVehicleEntity* findVehicle(const char* name);
    CVehicleEntity* getVehicle(int i);
    int getVehicleCount();
    bool removeVehicle(const char* name);
    bool removeVehicleAt(int i);
    void clearVehicles();

    // A plain number: removals do not move it.
    bool setPlayerVehicleIndex(int index);
    int getPlayerVehicleIndex();

private:
    std::vector<CItemEntity*> items;
    std::vector<COSEntity*> checkpoints;
    std::vector<CStaticObjectEntity*> staticObjects;
    std::vector<CVehicleEntity*> vehicles;
    int playerVehicleIndex;
    CGameEngine* engine;
};
