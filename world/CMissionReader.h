#pragma once
#include <irrlicht.h>
#include <string>
#include <vector>

class CControllerPack;
class CEntityManager;
class CGameData;
class CGameEngine;
class CPhysicsBody;
class CSound;
class CSoundManager;
struct SGameSettings;

// Reads one "mission.xml" into the game data (race rules, navigation path) and the entity
// manager (items, checkpoints, static objects, vehicles).
//
// The file is a flat stream: every element is looked at on its own, wherever it stands. An object
// ("Item", "StaticObject", "Vehicle") collects the field elements that follow its start and is
// built at its end tag; what it prepared on the way (a physics body, a controller, an engine
// sound) belongs to the reader until a built object takes it, and is freed otherwise.
class CMissionReader {
public:
    CMissionReader(CGameData* gameData, CEntityManager* entities, CSoundManager* sounds,
                   SGameSettings* settings, CGameEngine* engine);
    ~CMissionReader();

    CMissionReader(const CMissionReader&) = delete;
    CMissionReader& operator=(const CMissionReader&) = delete;

    // False when the file cannot be opened.
    bool read(const std::string& file);
    // The engine's XML reader on `file`, or null when there is no such file. A folder counts as
    // none: the reader would take a folder's size for a file's and ask for memory without end.
    static irr::io::IXMLReader* openXML(CGameEngine* engine, const std::string& file);
    // True once a built vehicle with its own "Manual" controller has joined the vehicle list.
    bool hasPlayer() const;

private:
    // The values of the object being read.
    struct SRecord {
        std::string kind = "NULL";
        std::string name, parentName;
        std::string displayName = "NULL", mesh = "NULL";
        std::string wheelFL = "NULL", wheelFR = "NULL", wheelBL = "NULL", wheelBR = "NULL";
        irr::core::vector3df position, rotation, scale{1.0f, 1.0f, 1.0f}, offset;
        bool transparent = false;
        irr::s32 mapping = 0;
        std::vector<std::string> textures;
        irr::f32 value = 0.0f;
        irr::s32 effectTime = 0, respawnTime = 0;
        std::string itemType;
        irr::f32 maxEngineForce = 0.0f, maxBreakingForce = 0.0f, maxVelocity = 0.0f;
        irr::video::SColor color{255, 255, 255, 255};
        bool manual = false; // the object's own "Controller" says "Manual"
        bool inside = false; // an object start has been read and its end not yet
        bool skip = false;   // the object being read has a name that is already taken
    };

    void element(const std::string& name);
    void elementEnd(const std::string& name);
    bool field(const std::string& name);

    void startObject(const char* kind);
    void inheritStaticObject();
    void inheritVehicle();
    void createItem();
    void createStaticObject();
    void createVehicle();
    // Frees whatever no object took, and leaves the object.
    void closeObject();
    void releasePrepared();
    void warnUnclosed();

    std::string text(const char* attribute) const;
    irr::s32 integer(const char* attribute) const;
    // A number that is not finite reads as 0, with a warning naming the file.
    irr::f32 number(const char* attribute) const;
    // A physics shape's size or scale: beyond what any world holds it is 1, with a warning, as
    // such a shape would stall the physics step.
    irr::f32 shapeSize(const char* attribute) const;
    irr::core::vector3df vector() const;
    // A place (a position, an offset): beyond any world it is 0, with a warning.
    irr::core::vector3df place() const;
    // A rotation in degrees: past ten turns it is taken modulo a turn, with a warning.
    irr::core::vector3df rotation() const;
    // A node's scale: beyond any world it is 1, with a warning.
    irr::core::vector3df scale() const;
    // The element's X, Y and Z, each whose size is past `limit` replaced by mend(value), with a
    // warning saying `why`.
    irr::core::vector3df vectorWithin(irr::f32 limit, const char* why, irr::f32 (*mend)(irr::f32)) const;
    // A number held to [low, high], with a warning naming the file and the value when it was not.
    irr::f32 bounded(const char* attribute, irr::f32 low, irr::f32 high) const;
    // A body's mass: a positive mass is held to what a car or a rock can weigh (a feather of a
    // mass or one of 1e38 kilograms sends the body's speed past any float in one step).
    irr::f32 mass() const;
    // Says that `attribute` of the current element cannot be used, and what is used instead.
    void replaced(const char* attribute, const char* why, irr::f32 used) const;

    SRecord record;
    CPhysicsBody* body;
    CControllerPack* controller;
    CSound* engineSound;
    bool player;
    irr::io::IXMLReader* reader;
    std::string fileName;
    CGameData* gameData;
    CEntityManager* entities;
    CSoundManager* sounds;
    SGameSettings* settings;
    CGameEngine* engine;
};
