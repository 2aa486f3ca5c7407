#pragma once
#include <irrlicht.h>
#include <string>

class CEntityManager;
class CGameEngine;

// What a taken item raises on the car: the engine-force limit or the speed limit (km/h).
// The controllers treat EIT_NONE as EIT_SPEED.
enum EItemType { EIT_BOOST = 0, EIT_SPEED = 1, EIT_NONE = 2 };

// A spinning pick-up item on the track. Taking it hides it for its respawn time; the taker carries
// it for its effect time. It appends itself to the manager's item list, which owns it.
class CItemEntity {
public:
    // An empty parentName means no parent; any other name is looked up among the items so far.
    CItemEntity(std::string name, std::string parentName, CEntityManager* manager);
    ~CItemEntity();

    // Once per race frame: spins while active, comes back once the respawn time has passed.
    void update();
    // False when the item is away; otherwise it goes away from now on the game clock.
    bool take();
    bool isActive();

    irr::s32 getId();
    std::string getName();
    std::string getParentName();
    CEntityManager* getManager();
    irr::scene::IMesh* getMesh();
    irr::scene::ISceneNode* getNode();

    irr::f32 getValue();
    void setValue(irr::f32 value);
    irr::s32 getEffectTime();
    irr::s32 getRespawnTime();
    // Milliseconds; 0 keeps the current time (the mission file's "not set"), a negative time is
    // taken as 0 with a warning.
    void setEffectTime(irr::s32 milliseconds);
    void setRespawnTime(irr::s32 milliseconds);
    irr::s32 getType();
    // "Boost" or "Speed" exactly; any other text is EIT_NONE.
    void setType(const std::string& type);
    void setType(irr::s32 type);

    // Shows frame 0 of the mesh file; false (and nothing changed) when it cannot be loaded.
    bool loadMesh(const std::string& path);
    // Shows the mesh on a new node at the origin; false for no mesh.
    bool setMesh(irr::scene::IMesh* mesh);

private:
    irr::f32 gameClock();
    irr::f32 checkedTime(irr::s32 milliseconds, const char* what);

    irr::s32 id;
    std::string name;
    std::string parentName;
    irr::scene::IMesh* mesh;
    irr::scene::ISceneNode* node;
    irr::f32 value;
    irr::f32 effectTime;
    irr::f32 respawnTime;
    irr::s32 type;
    bool active;
    irr::s32 takenTime;
    CEntityManager* manager;
    CGameEngine* engine;
};
