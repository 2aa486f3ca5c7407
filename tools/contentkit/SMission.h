#pragma once
// Plain records of a mission as its files hold them. Every field element is optional: an unset
// field is not written, so the game's own default (or the parent's value) applies. The writer
// puts down exactly what these records say and invents nothing.
#include <optional>
#include <string>
#include <vector>

#include "tools/contentkit/SMeshData.h"

namespace contentkit {

enum class EObjectKind { Item, StaticObject, Vehicle };

struct SPhysicRecord {
    std::string type; // "EMPTY", "MESH", "VEHICLE0", "VEHICLE1", "VEHICLE0C", "VEHICLE1C"
    std::string mesh;
    SVec3 size{1.0f, 1.0f, 1.0f};
    float mass = 0.0f;
};

// Components are integers as the file has them; the game keeps the low 8 bits of each.
struct SColorRecord {
    int r = 255, g = 255, b = 255, a = 255;
};

struct SObjectRecord {
    EObjectKind kind = EObjectKind::StaticObject;
    std::string name;
    std::optional<std::string> parentName; // unset: no "ParentName" attribute at all

    std::optional<std::string> displayName;
    std::optional<std::string> mesh;
    std::optional<std::string> wheelFL, wheelFR, wheelBL, wheelBR;
    std::optional<SVec3> position, rotation, scale, offset;
    std::optional<int> transparent;
    std::optional<std::string> mapping; // "Triplanar" or anything else
    std::vector<std::string> textures;

    // pick-up items
    std::optional<float> boost;
    std::optional<int> effectTime, respawnTime;
    std::optional<std::string> itemType; // "Boost", "Speed"

    // vehicles
    std::optional<float> maxEngineForce, maxBreakingForce, maxVelocity;
    std::optional<SColorRecord> color;
    std::optional<SPhysicRecord> physic;
    std::optional<std::string> controller; // "Manual" or "AI"
    std::optional<std::string> engineSound;
};

struct SCheckpointRecord {
    int id = 0; // 0, 1 or 2 for the lap rule
    std::string mesh;
};

struct SMission {
    std::optional<std::string> shadowType; // "NormalFixed" or anything else
    std::optional<std::string> raceType;   // "Rally" or anything else (a lap race)
    std::optional<int> laps;
    std::vector<int> rallyTimes;           // milliseconds, in file order
    std::optional<std::string> navigation; // path of the navigation path file

    std::vector<SCheckpointRecord> checkpoints;
    std::vector<SObjectRecord> objects; // in file order: a parent must come before its children
};

} // namespace contentkit
