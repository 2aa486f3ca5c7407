#include "race/CItemsCreator.h"

#include <cstdio>

#include "core/CGameEngine.h"
#include "race/ToolText.h"
#include "world/CEntityManager.h"
#include "world/CItemEntity.h"
#include "world/CVehicleEntity.h"

using namespace irr;

namespace {

const char* const kItemsFile = "ItemsCreator_Items.xml";

struct SItemKind {
    const char* prefix;
    const char* mesh;
    s32 value;
    const char* type;
};

// Keys 1, 2 and 3.
const SItemKind kKinds[3] = {
    {"Break", "data/items/who.b3d", -60, "Speed"},
    {"Turbo", "data/items/rocket.b3d", 80, "Speed"},
    {"Boost", "data/items/tyre.b3d", 10000, "Boost"},
};

const s32 kEffectTime = 10000;
const s32 kRespawnTime = 30000;

// On its press only: down now and not at the previous update.
bool pressed(bool down, bool& held)
{
    const bool press = down && !held;
    held = down;
    return press;
}

} // namespace

CItemsCreator::CItemsCreator(CGameEngine* engine, CEntityManager* entities)
    : breakCount(-1), turboCount(-1), boostCount(-1), enabled(false), toggleKeyHeld(false),
      key1Held(false), key2Held(false), key3Held(false), engine(engine), entities(entities)
{
}

CItemsCreator::~CItemsCreator() = default;

bool CItemsCreator::isEnabled() { return enabled; }

void CItemsCreator::update()
{
    const GameControllerEvent input = engine->getInput();
    const bool toggleDown = input.isKeyDown(KEY_F2);
    if (toggleDown && !toggleKeyHeld) {
        if (enabled) {
            switchOff();
        } else {
            enabled = true;
            std::printf("Items Creator Mode: ON\n");
            std::fflush(stdout);
        }
    }
    toggleKeyHeld = toggleDown;
    if (!enabled)
        return;

    int kind = -1;
    if (pressed(input.isKeyDown(KEY_KEY_1), key1Held))
        kind = 0;
    if (pressed(input.isKeyDown(KEY_KEY_2), key2Held))
        kind = 1;
    if (pressed(input.isKeyDown(KEY_KEY_3), key3Held))
        kind = 2;
    if (kind < 0)
        return;
    CVehicleEntity* player = entities->getVehicle(entities->getPlayerVehicleIndex());
    scene::ISceneNode* body = player ? player->getBodyNode() : nullptr;
    if (!body)
        return;
    placeItem(kind, body->getPosition() + core::vector3df(0.0f, 2.0f, 0.0f));
}

// A failed save keeps the records, so the next switch-off writes them together with the new ones.
void CItemsCreator::switchOff()
{
    enabled = false;
    key1Held = key2Held = key3Held = false;
    if (!save(kItemsFile)) {
        std::printf("Items Creator Mode: OFF\n");
        std::fflush(stdout);
        return;
    }
    text = "";
    breakCount = turboCount = boostCount = -1;
    std::printf("Items Creator Mode: OFF\nItems saved in file: \"%s\"\n", kItemsFile);
    std::fflush(stdout);
}

void CItemsCreator::placeItem(int kind, const core::vector3df& position)
{
    const SItemKind& k = kKinds[kind];
    s32* counts[3] = {&breakCount, &turboCount, &boostCount};
    const s32 n = ++*counts[kind];
    const std::string name = k.prefix + std::to_string(n);
    const std::string place = "\t<Position X=\"" + formatFixed6(position.X) + "\" Y=\"" +
                              formatFixed6(position.Y) + "\" Z=\"" + formatFixed6(position.Z) +
                              "\"/>\n";
    std::string record;
    if (n == 0) {
        record = "<Item Name=\"" + name + "\" ParentName=\"\"/>\n"
                 "\t<Mesh Value=\"" + k.mesh + "\"/>\n" +
                 place +
                 "\t<Scale X=\"1.0\" Y=\"1.0\" Z=\"1.0\"/>\n"
                 "\t<Boost Value=\"" + std::to_string(k.value) + "\"/>\n"
                 "\t<EffectTime Value=\"" + std::to_string(kEffectTime) + "\"/>\n"
                 "\t<RespawnTime Value=\"" + std::to_string(kRespawnTime) + "\"/>\n"
                 "\t<Type Value=\"" + k.type + "\"/>\n"
                 "</Item>\n\n";
    } else {
        // Everything but the place comes from the first item of the kind.
        record = "<Item Name=\"" + name + "\" ParentName=\"" + k.prefix + "0\"/>\n" + place +
                 "</Item>\n\n";
    }
    text += record.c_str();

    CItemEntity* item = new CItemEntity(name, "", entities);
    item->loadMesh(k.mesh);
    item->setValue(static_cast<f32>(k.value));
    item->setEffectTime(kEffectTime);
    item->setRespawnTime(kRespawnTime);
    item->setType(k.type);
    if (scene::ISceneNode* node = item->getNode()) {
        node->setPosition(position);
        node->setScale(core::vector3df(1.0f, 1.0f, 1.0f));
        node->setMaterialFlag(video::EMF_LIGHTING, false);
        node->setMaterialFlag(video::EMF_FOG_ENABLE, false);
    }
}

bool CItemsCreator::save(const std::string& fileName) { return writeToolFile(fileName, text); }
