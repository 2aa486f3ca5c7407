// A mission through the real loader: null driver, real physics world. The input holds
// "mission.xml", "waypoints.xml" and one path file, in that order, split by lines "@@"; "@DIR@"
// in them stands for the folder they are written to. Run from the game's run folder, so that
// the meshes, textures and sounds they name are the game's own.
#include <BulletDynamics/Dynamics/btDiscreteDynamicsWorld.h>
#include <cstdio>
#include <string>

#include "core/CGameData.h"
#include "core/CGameEngine.h"
#include "core/CTranslation.h"
#include "core/SGameSettings.h"
#include "tests/fuzz/FuzzFile.h"
#include "world/CEntityManager.h"

namespace {

std::string part(const std::string& text, size_t index, const std::string& folder)
{
    const std::string marker = "\n@@\n";
    size_t begin = 0;
    for (size_t i = 0; i < index; ++i) {
        const size_t at = text.find(marker, begin);
        if (at == std::string::npos)
            return std::string();
        begin = at + marker.size();
    }
    const size_t end = text.find(marker, begin);
    std::string piece = text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    for (size_t at = piece.find("@DIR@"); at != std::string::npos; at = piece.find("@DIR@", at))
        piece.replace(at, 5, folder);
    return piece;
}

struct SWorld {
    SWorld() : texts("data/translation.lang"), gameData(&texts)
    {
        settings.fullscreen = false;
        engine = new CGameEngine(&settings, irr::video::EDT_NULL);
        engine->getDevice()->getLogger()->setLogLevel(irr::ELL_NONE);
        gameData.setEngine(engine);
        entities = new CEntityManager(engine);
    }
    SGameSettings settings;
    CTranslation texts;
    CGameData gameData;
    CGameEngine* engine;
    CEntityManager* entities;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static SWorld* world = new SWorld;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string mission = writeFuzzFile("mission.xml", nullptr, 0);
    const std::string folder = mission.substr(0, mission.size() - std::string("mission.xml").size());
    for (size_t i = 0; i < 3; ++i) {
        static const char* const names[3] = {"mission.xml", "waypoints.xml", "path.xml"};
        const std::string piece = part(text, i, folder.substr(0, folder.size() - 1));
        writeFuzzFile(names[i], reinterpret_cast<const uint8_t*>(piece.data()), piece.size());
    }
    if (world->gameData.loadMission(folder.c_str(), world->entities, nullptr, &world->settings)) {
        // a few physics steps, as the race's first frames take them
        for (int i = 0; i < 5; ++i)
            world->engine->getDynamicsWorld()->stepSimulation(1.0f / 60.0f, 1);
    }
    world->entities->clear();
    return 0;
}
