#pragma once
// What the race benchmarks start with: the run folder entered, its missions listed, the game's
// objects built as the entry function builds them (on the null driver, or on OpenGL) with the
// engine's clock stopped, and the game's progress lines sent to a log so that they do not bury
// the figures. A benchmark deletes its race and menu, then calls tearDown().
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "audio/CSoundManager.h"
#include "core/CGameData.h"
#include "core/CGameEngine.h"
#include "core/CTranslation.h"
#include "core/SGameSettings.h"
#include "menu/CMenu.h"
#include "race/CChaseCamera.h"
#include "race/CItemsCreator.h"
#include "race/CRace.h"
#include "world/CEntityManager.h"

struct SBenchWorld {
    SGameSettings settings;
    CTranslation* texts = nullptr;
    CGameEngine* engine = nullptr;
    irr::ITimer* timer = nullptr;
    CGameData* gameData = nullptr;
    CEntityManager* entities = nullptr;
    CSoundManager* sounds = nullptr;
    CItemsCreator* creator = nullptr;
    CChaseCamera* camera = nullptr;
    CMenu* menu = nullptr;
    CRace* race = nullptr;

    // Builds the engine on `driver` from `settings` (set them first), with the interface texts
    // when `textsFile` is given; false when the engine has no device.
    bool build(irr::video::E_DRIVER_TYPE driver, const char* textsFile = nullptr)
    {
        setenv("ALSOFT_DRIVERS", "null", 0);
        if (textsFile)
            texts = new CTranslation(textsFile);
        engine = new CGameEngine(&settings, driver);
        if (!engine->getDevice()) {
            delete engine;
            delete texts;
            engine = nullptr;
            texts = nullptr;
            return false;
        }
        timer = engine->getDevice()->getTimer();
        timer->stop();
        gameData = new CGameData(texts);
        gameData->setEngine(engine);
        entities = new CEntityManager(engine);
        sounds = new CSoundManager(&settings, engine);
        creator = new CItemsCreator(engine, entities);
        engine->setItemsCreator(creator);
        camera = new CChaseCamera(engine);
        return true;
    }

    // The race loop, with the main menu it returns to when `withMenu`.
    void buildRace(bool withMenu)
    {
        if (withMenu)
            menu = new CMenu(&settings, gameData, engine, entities, sounds, nullptr);
        race = new CRace(engine, &settings, gameData, entities, sounds, camera, nullptr, menu, texts);
    }

    // Deletes what build() and buildRace() made, in the order the game does.
    void tearDown()
    {
        delete race;
        delete menu;
        delete camera;
        delete sounds;
        delete entities;
        delete creator;
        delete engine;
        delete gameData;
        delete texts;
        *this = SBenchWorld();
    }

    // Enters the run folder, which every path of the game is relative to.
    static bool enterRunFolder(const char* folder)
    {
        if (chdir(folder) == 0)
            return true;
        std::printf("ERROR: cannot enter %s\n", folder);
        return false;
    }

    // "missions/<name>/" of every mission of the current folder, in order.
    static std::vector<std::string> missionFolders()
    {
        std::vector<std::string> missions;
        std::error_code failed;
        for (const auto& entry : std::filesystem::directory_iterator("missions", failed))
            if (std::filesystem::exists(entry.path() / "mission.xml"))
                missions.push_back("missions/" + entry.path().filename().string() + "/");
        std::sort(missions.begin(), missions.end());
        return missions;
    }

    // Sends standard output to `logFile` (appended to when `append`) until restoreOutput().
    static bool outputTo(const char* logFile, bool append = false)
    {
        std::fflush(stdout);
        if (console < 0)
            console = dup(fileno(stdout));
        return std::freopen(logFile, append ? "a" : "w", stdout) != nullptr;
    }

    static void restoreOutput()
    {
        std::fflush(stdout);
        if (console >= 0)
            dup2(console, fileno(stdout));
    }

    static inline int console = -1;
};
