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
#include "SBenchWorld.h"

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
    if (!SBenchWorld::enterRunFolder(argv[1]))
        return 1;
    std::vector<SMissionFigures> figures;
    for (const std::string& folder : SBenchWorld::missionFolders())
        figures.push_back({folder});
    SBenchWorld bench;
    bench.build(irr::video::EDT_NULL);
    bench.buildRace(true);

    if (!SBenchWorld::outputTo("/tmp/race_frame_bench.log"))
        return 1;
    bench.sounds->loadAudio();
    irr::u32 now = 1000;
    for (SMissionFigures& mission : figures) {
        bench.timer->setTime(now);
        const Clock::time_point loadStart = Clock::now();
        mission.loaded = bench.gameData->loadMission(mission.mission.c_str(), bench.entities, bench.sounds, &bench.settings);
        mission.loadMs = millisecondsSince(loadStart);
        if (!mission.loaded)
            continue;
        mission.cars = bench.entities->getVehicleCount();
        bench.race->prepareMaterials();
        bench.race->begin();
        std::vector<double> frames;
        const int count = seconds * 60;
        const irr::u32 start = now;
        for (int f = 1; f <= count; ++f) {
            now = start + static_cast<irr::u32>(f * 1000LL / 60);
            bench.timer->setTime(now);
            const Clock::time_point frameStart = Clock::now();
            const bool running = bench.race->updateFrame();
            frames.push_back(millisecondsSince(frameStart));
            if (!running)
                break;
        }
        mission.medianMs = benchstats::median(frames);
        mission.p99Ms = benchstats::p99(frames);
        now += 1000;
    }
    bench.entities->clear();
    SBenchWorld::restoreOutput();

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

    bench.tearDown();
    return 0;
}
