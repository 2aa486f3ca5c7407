#include "tools/missiongen/session/CMissionSession.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "audio/CSoundManager.h"
#include "core/CGameData.h"
#include "core/CGameEngine.h"
#include "core/SGameSettings.h"
#include "world/CEntityManager.h"

CMissionSession::CMissionSession(const std::string& runDir, irr::video::E_DRIVER_TYPE driver, irr::u32 width,
                                 irr::u32 height)
{
    std::error_code failed;
    std::filesystem::current_path(runDir, failed);
    if (failed) {
        std::printf("ERROR: cannot work in %s\n", runDir.c_str());
        return;
    }
    settings = new SGameSettings();
    settings->width = width;
    settings->height = height;
    settings->fullscreen = false;
    settings->vSync = false;
    engine = new CGameEngine(settings, driver);
    if (!engine->getDevice())
        return;
    sounds = new CSoundManager(settings, engine);
    sounds->loadAudio();
    gameData = new CGameData(nullptr);
    gameData->setEngine(engine);
    entities = new CEntityManager(engine);
    ready = true;
}

CMissionSession::~CMissionSession()
{
    if (entities)
        entities->clear();
    delete entities;
    delete gameData;
    delete sounds;
    delete engine;
    delete settings;
}

std::vector<int> CMissionSession::missionNumbers(int argc, char** argv, int first)
{
    std::vector<int> missions;
    for (int i = first; i < argc; ++i)
        missions.push_back(std::atoi(argv[i]));
    if (missions.empty())
        missions = {1, 2, 3, 4, 5, 6, 7, 8};
    return missions;
}

std::string CMissionSession::folderOf(int mission) { return "missions/m0" + std::to_string(mission) + "/"; }
