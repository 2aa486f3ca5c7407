// What one race frame costs without drawing (rules, controllers, physics, camera and sound), for
// every mission of a run folder: each raced headless with all its cars for 60 s of game time at
// 60 frames a second, on the null driver with a silent sound device. The player's car is driven
// by nobody and waits on the grid; the computer cars race. Also prints each mission's load time.
// usage: race_frame_bench RUN_FOLDER [SECONDS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "audio/CSoundManager.h"
#include "core/CGameData.h"
#include "core/CGameEngine.h"
#include "core/SGameSettings.h"
#include "menu/CMenu.h"
#include "race/CChaseCamera.h"
#include "race/CItemsCreator.h"
#include "race/CRace.h"
#include "world/CEntityManager.h"
#include "BenchStats.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct SMissionFigures {
    std::string mission;
    bool loaded = false;
    int cars = 0;
    double loadMs = 0.0;
    double medianMs = 0.0;
    double p99Ms = 0.0;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::printf("usage: %s RUN_FOLDER [SECONDS]\n", argv[0]);
        return 1;
    }
    const int seconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 60;
    if (chdir(argv[1]) != 0) {
        std::printf("ERROR: cannot enter %s\n", argv[1]);
        return 1;
    }
    std::vector<SMissionFigures> figures;
    for (const auto& entry : std::filesystem::directory_iterator("missions")) {
        if (std::filesystem::exists(entry.path() / "mission.xml"))
            figures.push_back({"missions/" + entry.path().filename().string() + "/"});
    }
    std::sort(figures.begin(), figures.end(),
              [](const SMissionFigures& a, const SMissionFigures& b) { return a.mission < b.mission; });

    setenv("ALSOFT_DRIVERS", "null", 0);
    SGameSettings settings;
    CGameEngine* engine = new CGameEngine(&settings, irr::video::EDT_NULL);
    irr::ITimer* timer = engine->getDevice()->getTimer();
    timer->stop();
    CGameData* gameData = new CGameData(nullptr);
    gameData->setEngine(engine);
    CEntityManager* entities = new CEntityManager(engine);
    CSoundManager* sounds = new CSoundManager(&settings, engine);
    CItemsCreator* creator = new CItemsCreator(engine, entities);
    engine->setItemsCreator(creator);
    CChaseCamera* camera = new CChaseCamera(engine);
    CMenu* menu = new CMenu(&settings, gameData, engine, entities, sounds, nullptr);
    CRace* race = new CRace(engine, &settings, gameData, entities, sounds, camera, nullptr, menu, nullptr);

    // The game's progress lines go to a log so that they do not bury the figures.
    std::fflush(stdout);
    const int console = dup(fileno(stdout));
    if (!std::freopen("/tmp/race_frame_bench.log", "w", stdout))
        return 1;
    sounds->loadAudio();
    irr::u32 now = 1000;
    for (SMissionFigures& mission : figures) {
        timer->setTime(now);
        const Clock::time_point loadStart = Clock::now();
        mission.loaded = gameData->loadMission(mission.mission.c_str(), entities, sounds, &settings);
        mission.loadMs = millisecondsSince(loadStart);
        if (!mission.loaded)
            continue;
        mission.cars = entities->getVehicleCount();
        race->prepareMaterials();
        race->begin();
        std::vector<double> frames;
        const int count = seconds * 60;
        const irr::u32 start = now;
        for (int f = 1; f <= count; ++f) {
            now = start + static_cast<irr::u32>(f * 1000LL / 60);
            timer->setTime(now);
            const Clock::time_point frameStart = Clock::now();
            const bool running = race->updateFrame();
            frames.push_back(millisecondsSince(frameStart));
            if (!running)
                break;
        }
        mission.medianMs = benchstats::median(frames);
        mission.p99Ms = benchstats::p99(frames);
        now += 1000;
    }
    entities->clear();
    std::fflush(stdout);
    dup2(console, fileno(stdout));

    std::printf("race frame without drawing, %d s at 60 frames a second (game output in "
                "/tmp/race_frame_bench.log)\n", seconds);
    std::printf("  %-28s %5s %10s %12s %12s\n", "mission", "cars", "load ms", "median ms", "99th pct ms");
    for (const SMissionFigures& m : figures) {
        if (!m.loaded)
            std::printf("  %-28s did not load\n", m.mission.c_str());
        else
            std::printf("  %-28s %5d %10.1f %12.3f %12.3f\n", m.mission.c_str(), m.cars, m.loadMs,
                        m.medianMs, m.p99Ms);
    }

    delete race;
    delete menu;
    delete camera;
    delete sounds;
    delete entities;
    delete creator;
    delete engine;
    delete gameData;
    return 0;
}
