#include "world/CMissionReader.h"

#include <cmath>
#include <cstring>
#include <cstdio>
#include <system_error>

#include "audio/CSound.h"
#include "core/CGameData.h"
#include "core/CGameEngine.h"
#include "core/WorldLimits.h"
#include "race/CAIControllerPack.h"
#include "race/CManualControllerPack.h"
#include "platform/RegularFile.h"
#include "world/CEntityManager.h"
#include "world/CItemEntity.h"
#include "world/COSEntity.h"
#include "world/CPhysicsBody.h"
#include "world/CPhysicsShapeDesc.h"
#include "world/CStaticObjectEntity.h"
#include "world/CVehicleEntity.h"
#include "world/CVehicleTuningParams.h"
#include "world/SEntityDesc.h"

using namespace irr;

namespace {

// The XML reader hands out the file's bytes one to a wide character, so narrowing them again
// gives back the bytes exactly (UTF-8 paths and names included).
std::string narrow(const wchar_t* text)
{
    std::string bytes;
    if (!text)
        return bytes;
    for (; *text; ++text)
        bytes += static_cast<char>(*text);
    return bytes;
}

core::stringw wide(const char* text)
{
    return core::stringw(text);
}

// What the race can still use. The game's cars pull with a few thousand newtons, reach some
// 170 km/h and weigh about a tonne; ten times the strongest, fastest and heaviest is still a race.
const f32 kStrongest = 100000.0f;   // newtons: engine, brake, boost
const f32 kFastest = 1000.0f;       // km/h
const f32 kLightest = 10.0f;        // kilograms
const f32 kHeaviest = 20000.0f;
const f32 kTurns = 3600.0f;         // degrees
const f32 kThinnest = 0.001f;       // a physics shape's size
const s32 kMostLaps = 100;

} // namespace

CMissionReader::CMissionReader(CGameData* gameData, CEntityManager* entities,
                               CSoundManager* sounds, SGameSettings* settings,
                               CGameEngine* engine)
    : body(nullptr), controller(nullptr), engineSound(nullptr), player(false), reader(nullptr),
      gameData(gameData), entities(entities), sounds(sounds), settings(settings), engine(engine)
{
}

CMissionReader::~CMissionReader()
{
    releasePrepared();
    if (reader)
        reader->drop();
}

bool CMissionReader::read(const std::string& file)
{
    reader = openXML(engine, file);
    if (!reader)
        return false;
    fileName = file;
    record = SRecord();
    // A mesh that is the ground's picture and its physics too, or the physics of many trees, is
    // read from its file once for the whole mission.
    engine->holdPhysicsMeshes(true);
    while (reader->read()) {
        const io::EXML_NODE type = reader->getNodeType();
        if (type == io::EXN_ELEMENT)
            element(narrow(reader->getNodeName()));
        else if (type == io::EXN_ELEMENT_END)
            elementEnd(narrow(reader->getNodeName()));
    }
    // An object the file never closed is not built; what it prepared goes.
    warnUnclosed();
    releasePrepared();
    engine->holdPhysicsMeshes(false);
    reader->drop();
    reader = nullptr;
    return true;
}

io::IXMLReader* CMissionReader::openXML(CGameEngine* engine, const std::string& file)
{
    std::string bytes;
    const SFileOpen read = readRegularFile(file, kMissionFileLimit, bytes);
    if (read.result == EFileOpen::Refused)
        std::printf("ERROR: %s could not be read (%s)\n", file.c_str(), read.problem.c_str());
    if (read.result != EFileOpen::Opened)
        return nullptr;
    io::IFileSystem* files = engine->getDevice()->getFileSystem();
    c8* copy = new c8[bytes.size() + 1];
    std::memcpy(copy, bytes.data(), bytes.size());
    io::IReadFile* memory = files->createMemoryReadFile(copy, static_cast<s32>(bytes.size()), file.c_str(), true);
    io::IXMLReader* reader = files->createXMLReader(memory);
    memory->drop();
    return reader;
}

bool CMissionReader::hasPlayer() const
{
    return player;
}

void CMissionReader::element(const std::string& name)
{
    if (name == "ShadowType") {
        const std::string value = text("Value");
        gameData->setShadowType(value == "NormalFixed" || value == "NORMALFIXED" ? 1 : 0);
    } else if (name == "RaceType") {
        const std::string value = text("Value");
        gameData->setRaceType(value == "Rally" || value == "RALLY" ? 1 : 0);
    } else if (name == "Laps") {
        s32 laps = integer("Value");
        // 0 is a leg from start to finish: the first crossing of the line ends it.
        if (laps < 0) {
            std::printf("Warning: %s: Laps \"%s\" is no lap count; 1 lap is raced\n", fileName.c_str(),
                        text("Value").c_str());
            laps = 1;
        } else if (laps > kMostLaps) {
            std::printf("Warning: %s: Laps \"%s\" is more than any race; %d laps are raced\n",
                        fileName.c_str(), text("Value").c_str(), kMostLaps);
            laps = kMostLaps;
        }
        gameData->setLaps(laps);
    } else if (name == "RallyTime") {
        gameData->addRallyTime(integer("Value"));
    } else if (name == "Navigation") {
        gameData->clearNavigation();
        gameData->loadWaypoints(text("Path").c_str(), nullptr);
    } else if (name == "Item") {
        startObject("Item");
        record.name = text("Name");
        record.parentName = text("ParentName");
    } else if (name == "OS") {
        new COSEntity(integer("ID"), text("Mesh"), entities);
    } else if (name == "StaticObject") {
        startObject("StaticObject");
        record.name = text("Name");
        record.skip = entities->findStaticObject(record.name.c_str()) != nullptr;
        record.parentName = text("ParentName");
        if (record.parentName != "NULL" && !record.skip)
            inheritStaticObject();
    } else if (name == "Vehicle") {
        startObject("Vehicle");
        record.name = text("Name");
        record.skip = entities->findVehicle(record.name.c_str()) != nullptr;
        record.parentName = text("ParentName");
        if (record.parentName != "NULL" && !record.skip)
            inheritVehicle();
    } else if (!record.skip) {
        field(name);
    }
}

void CMissionReader::elementEnd(const std::string& name)
{
    if (name != "Item" && name != "StaticObject" && name != "Vehicle")
        return;
    // Only the end tag of the object being read builds it; a stray end of another kind (or a
    // misspelt one before it) leaves the object unbuilt.
    if (record.inside && !record.skip && name != record.kind) {
        std::printf("Warning: %s \"%s\" is closed by </%s>, it is left out\n",
                    record.kind.c_str(), record.name.c_str(), name.c_str());
    } else if (record.inside && !record.skip) {
        if (name == "Item")
            createItem();
        else if (name == "StaticObject")
            createStaticObject();
        else
            createVehicle();
    }
    closeObject();
}

bool CMissionReader::field(const std::string& name)
{
    if (name == "DisplayName") {
        record.displayName = text("Value");
    } else if (name == "Mesh") {
        record.mesh = text("Value");
    } else if (name == "WheelFL") {
        record.wheelFL = text("Value");
    } else if (name == "WheelFR") {
        record.wheelFR = text("Value");
    } else if (name == "WheelBL") {
        record.wheelBL = text("Value");
    } else if (name == "WheelBR") {
        record.wheelBR = text("Value");
    } else if (name == "Position") {
        record.position = place();
    } else if (name == "Rotation") {
        record.rotation = rotation();
    } else if (name == "Scale") {
        record.scale = scale();
    } else if (name == "Offset") {
        record.offset = place();
    } else if (name == "Transparent") {
        record.transparent = integer("Value") != 0;
    } else if (name == "Mapping") {
        record.mapping = text("Type") == "Triplanar" ? 1 : 0;
    } else if (name == "Texture") {
        record.textures.push_back(text("Value"));
    } else if (name == "Boost") {
        // A boost adds to the engine force or to the top speed.
        record.value = bounded("Value", -kStrongest, kStrongest);
    } else if (name == "EffectTime") {
        record.effectTime = integer("Value");
    } else if (name == "RespawnTime") {
        record.respawnTime = integer("Value");
    } else if (name == "Type") {
        record.itemType = text("Value");
    } else if (name == "MaxEngineForce") {
        record.maxEngineForce = bounded("Value", -kStrongest, kStrongest);
    } else if (name == "MaxBreakingForce") {
        record.maxBreakingForce = bounded("Value", -kStrongest, kStrongest);
    } else if (name == "MaxVelocity") {
        record.maxVelocity = bounded("Value", -kFastest, kFastest);
    } else if (name == "Color") {
        record.color = video::SColor(static_cast<u32>(integer("A")) & 0xFF,
                                     static_cast<u32>(integer("R")) & 0xFF,
                                     static_cast<u32>(integer("G")) & 0xFF,
                                     static_cast<u32>(integer("B")) & 0xFF);
    } else if (name == "Physic") {
        delete body;
        CVehicleTuningParams* tuning =
            record.kind == "Vehicle" ? new CVehicleTuningParams(text("Type")) : nullptr;
        body = new CPhysicsBody(text("Type"), text("Mesh"), shapeSize("X"), shapeSize("Y"), shapeSize("Z"),
                                mass(), engine, tuning);
    } else if (name == "Controller") {
        const std::string type = text("Type");
        if (type == "Manual") {
            delete controller;
            controller = new CManualControllerPack(settings, engine);
            // Only a car's own controller makes it the player's car; it becomes the player's
            // once the car has joined the list.
            record.manual = record.kind == "Vehicle";
        } else if (type == "AI") {
            delete controller;
            controller = new CAIControllerPack();
            record.manual = false;
        }
    } else if (name == "EngineSound") {
        delete engineSound;
        engineSound = new CSound(text("Value"), sounds);
    } else {
        return false;
    }
    return true;
}

void CMissionReader::startObject(const char* kind)
{
    warnUnclosed();
    releasePrepared();
    record = SRecord();
    record.kind = kind;
    record.inside = true;
}

void CMissionReader::inheritStaticObject()
{
    CStaticObjectEntity* parent = entities->findStaticObject(record.parentName.c_str());
    if (!parent) {
        std::printf("Warning: StaticObject of name \"%s\" not found!\n", record.parentName.c_str());
        return;
    }
    const SEntityDesc* desc = parent->getDesc();
    if (desc) {
        record.displayName = desc->getDisplayName();
        record.mesh = desc->getMesh();
        record.position = desc->getPosition();
        record.rotation = desc->getRotation();
        record.scale = desc->getScale();
        record.offset = desc->getOffset();
        record.transparent = desc->isTransparent();
        record.mapping = desc->getMapping();
        for (s32 i = 0; i < desc->getTextureCount(); ++i)
            record.textures.push_back(desc->getTexture(i));
    }
    CPhysicsBody* parentBody = parent->getPhysicsBody();
    if (parentBody && parentBody->getShapeDesc())
        body = new CPhysicsBody(parentBody->getShapeDesc(), nullptr);
}

void CMissionReader::inheritVehicle()
{
    CVehicleEntity* parent = entities->findVehicle(record.parentName.c_str());
    if (!parent) {
        std::printf("Warning: Vehicle of name \"%s\" not found!\n", record.parentName.c_str());
        return;
    }
    const SEntityDesc* desc = parent->getDesc();
    if (desc) {
        record.displayName = desc->getDisplayName();
        record.mesh = desc->getMesh();
        record.wheelFL = desc->getWheelFL();
        record.wheelFR = desc->getWheelFR();
        record.wheelBL = desc->getWheelBL();
        record.wheelBR = desc->getWheelBR();
        record.position = desc->getPosition();
        record.rotation = desc->getRotation();
        record.scale = desc->getScale();
        record.transparent = desc->isTransparent();
    }
    record.maxEngineForce = parent->getMaxEngineForce();
    record.maxBreakingForce = parent->getMaxBreakingForce();
    record.maxVelocity = parent->getMaxVelocity();

    if (CSound* parentSound = parent->getEngineSound())
        engineSound = new CSound(*parentSound, parentSound->getOwner());
    CPhysicsBody* parentBody = parent->getPhysicsBody();
    if (parentBody && parentBody->getShapeDesc()) {
        const CPhysicsShapeDesc* shape = parentBody->getShapeDesc();
        body = new CPhysicsBody(shape, new CVehicleTuningParams(shape->getType()));
    }
    if (CControllerPack* parentController = parent->getControllerPack()) {
        if (parentController->isManual())
            controller = new CManualControllerPack(settings, engine);
        else
            controller = new CAIControllerPack();
    }
}

void CMissionReader::createItem()
{
    // The item joins the manager's list by itself and copies its parent there.
    CItemEntity* item = new CItemEntity(record.name, record.parentName, entities);
    if (record.mesh != "NULL")
        item->loadMesh(record.mesh);
    if (record.value != 0.0f)
        item->setValue(record.value);
    if (record.effectTime != 0)
        item->setEffectTime(record.effectTime);
    if (record.respawnTime != 0)
        item->setRespawnTime(record.respawnTime);
    if (!record.itemType.empty())
        item->setType(record.itemType);
    if (scene::ISceneNode* node = item->getNode()) {
        node->setPosition(record.position);
        node->setScale(record.scale);
    }
}

void CMissionReader::createStaticObject()
{
    const int id = entities->getStaticObjectCount();
    CStaticObjectEntity* object = new CStaticObjectEntity(
        id, record.name, record.displayName, record.mesh, record.position, record.rotation,
        record.scale, record.offset, record.transparent, record.mapping, record.textures, body,
        engine);
    body = nullptr; // the object owns it now, built or not
    entities->addStaticObject(object);
}

void CMissionReader::createVehicle()
{
    const int id = entities->getVehicleCount();
    CVehicleEntity* vehicle = new CVehicleEntity(
        id, record.name, record.displayName, record.mesh, record.wheelFL, record.wheelFR,
        record.wheelBL, record.wheelBR, record.position, record.rotation, record.scale,
        record.transparent, record.color, engineSound, body, controller, engine);
    // The car owns all three now, built or not.
    engineSound = nullptr;
    body = nullptr;
    controller = nullptr;
    vehicle->setMaxEngineForce(record.maxEngineForce);
    vehicle->setMaxBreakingForce(record.maxBreakingForce);
    vehicle->setMaxVelocity(record.maxVelocity);
    const bool built = vehicle->getId() >= 0;
    // A refused car is destroyed by the manager: it must not be touched after a false answer.
    if (entities->addVehicle(vehicle) && record.manual && built) {
        entities->setPlayerVehicleIndex(id);
        player = true;
    }
}

void CMissionReader::closeObject()
{
    releasePrepared();
    record.inside = false;
    record.skip = false;
    record.manual = false;
}

void CMissionReader::warnUnclosed()
{
    if (record.inside && !record.skip) {
        std::printf("Warning: %s \"%s\" has no end tag, it is left out\n", record.kind.c_str(),
                    record.name.c_str());
    }
}

void CMissionReader::releasePrepared()
{
    delete body;
    delete controller;
    delete engineSound;
    body = nullptr;
    controller = nullptr;
    engineSound = nullptr;
}

std::string CMissionReader::text(const char* attribute) const
{
    return narrow(reader->getAttributeValue(wide(attribute).c_str()));
}

s32 CMissionReader::integer(const char* attribute) const
{
    return reader->getAttributeValueAsInt(wide(attribute).c_str());
}

f32 CMissionReader::number(const char* attribute) const
{
    const f32 value = reader->getAttributeValueAsFloat(wide(attribute).c_str());
    if (std::isfinite(value))
        return value;
    std::printf("Warning: %s: %s=\"%s\" in <%s> is not a finite number; 0 is used\n", fileName.c_str(),
                attribute, text(attribute).c_str(), narrow(reader->getNodeName()).c_str());
    return 0.0f;
}

f32 CMissionReader::shapeSize(const char* attribute) const
{
    const f32 value = number(attribute);
    const f32 size = std::fabs(value);
    if (size <= worldlimits::kFarthest && (size == 0.0f || size >= kThinnest))
        return value;
    std::printf("Warning: %s: physics shape %s=\"%s\" is %s; 1 is used\n", fileName.c_str(),
                attribute, text(attribute).c_str(), size > worldlimits::kFarthest ? "beyond any world" : "thinner than any body");
    return 1.0f;
}

core::vector3df CMissionReader::place() const
{
    return vectorWithin(worldlimits::kFarthest, "lies beyond any world", [](f32) { return 0.0f; });
}

core::vector3df CMissionReader::rotation() const
{
    return vectorWithin(kTurns, "is more turns than any rotation",
                        [](f32 degrees) { return std::fmod(degrees, 360.0f); });
}

core::vector3df CMissionReader::scale() const
{
    return vectorWithin(worldlimits::kFarthest, "is beyond any world", [](f32) { return 1.0f; });
}

core::vector3df CMissionReader::vectorWithin(f32 limit, const char* why, f32 (*mend)(f32)) const
{
    core::vector3df v = vector();
    const char* const axes[3] = {"X", "Y", "Z"};
    f32* const values[3] = {&v.X, &v.Y, &v.Z};
    for (int axis = 0; axis < 3; ++axis) {
        if (std::fabs(*values[axis]) > limit) {
            *values[axis] = mend(*values[axis]);
            replaced(axes[axis], why, *values[axis]);
        }
    }
    return v;
}

f32 CMissionReader::bounded(const char* attribute, f32 low, f32 high) const
{
    const f32 value = number(attribute);
    if (value < low) {
        replaced(attribute, "is below what a race can use", low);
        return low;
    }
    if (value > high) {
        replaced(attribute, "is beyond what a race can use", high);
        return high;
    }
    return value;
}

f32 CMissionReader::mass() const
{
    const f32 value = number("Mass");
    // 0 is a body that never moves, and a car without mass is refused by its body.
    if (value <= 0.0f)
        return value;
    if (value < kLightest) {
        replaced("Mass", "is lighter than any body", kLightest);
        return kLightest;
    }
    if (value > kHeaviest) {
        replaced("Mass", "is heavier than any body", kHeaviest);
        return kHeaviest;
    }
    return value;
}

void CMissionReader::replaced(const char* attribute, const char* why, f32 used) const
{
    std::printf("Warning: %s: %s=\"%s\" in <%s> %s; %g is used\n", fileName.c_str(), attribute,
                text(attribute).c_str(), narrow(reader->getNodeName()).c_str(), why, used);
}

core::vector3df CMissionReader::vector() const
{
    return core::vector3df(number("X"), number("Y"), number("Z"));
}
