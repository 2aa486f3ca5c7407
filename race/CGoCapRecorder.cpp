#include "race/CGoCapRecorder.h"

#include <cstdio>

#include "core/CGameEngine.h"
#include "race/ToolText.h"
#include "world/CEntityManager.h"
#include "world/CVehicleEntity.h"

using namespace irr;

CGoCapRecorder::CGoCapRecorder(CGameEngine* engine, CEntityManager* entities)
    : pointCount(-1), enabled(false), toggleKeyHeld(false), recordKeyHeld(false), started(false),
      engine(engine), entities(entities)
{
}

CGoCapRecorder::~CGoCapRecorder() = default;

bool CGoCapRecorder::isEnabled() { return enabled; }

void CGoCapRecorder::update()
{
    const GameControllerEvent input = engine->getInput();
    const bool toggleDown = input.isKeyDown(KEY_F1);
    if (toggleDown && !toggleKeyHeld) {
        enabled = !enabled;
        if (enabled)
            started = true;
        std::printf(enabled ? "GoCap Mode: ON\n" : "GoCap Mode: OFF\n");
        std::fflush(stdout);
    }
    toggleKeyHeld = toggleDown;

    const bool recordDown = input.isKeyDown(KEY_SPACE);
    const bool pressed = recordDown && !recordKeyHeld;
    recordKeyHeld = recordDown;
    if (!pressed || !enabled)
        return;
    CVehicleEntity* player = entities->getVehicle(entities->getPlayerVehicleIndex());
    scene::ISceneNode* body = player ? player->getBodyNode() : nullptr;
    if (!body)
        return;
    const core::vector3df at = body->getPosition();

    if (++pointCount == 0)
        text += "<?xml version=\"1.0\"?>\n\n";
    const std::string line = "<Waypoint X=\"" + formatFixed6(at.X) + "\" Y=\"" + formatFixed6(at.Y) +
                             "\" Z=\"" + formatFixed6(at.Z) + "\"/>\n";
    text += line.c_str();

    scene::IMeshSceneNode* marker = engine->getSceneManager()->addCubeSceneNode(
        0.1f, nullptr, -1, core::vector3df(0, 0, 0), core::vector3df(0, 0, 0), core::vector3df(1, 1, 1));
    if (marker) {
        marker->setPosition(core::vector3df(at.X, at.Y + 1.0f, at.Z));
        marker->setMaterialFlag(video::EMF_LIGHTING, false);
    }
}

bool CGoCapRecorder::save(const std::string& fileName)
{
    if (!started)
        return true;
    return writeToolFile(fileName, text);
}
