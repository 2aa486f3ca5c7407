// What drawing the race display costs per frame on OpenGL (run it under Xvfb, see
// race_display.sh): for each mission named, raced for some seconds of game time at 60 frames a
// second, with the scene drawn as the game draws it; first while racing (laps, standings or rally
// times, race clock, frame counter), then with the player through (place and final time). Two
// figures per phase: the time the display's calls take, and the time until the driver has
// finished them (glFinish before and after).
// usage: race_display_bench RUN_FOLDER [SECONDS] [MISSION...]   (missions default to m01 and m03)
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "audio/CSoundManager.h"
#include "core/CGameData.h"
#include "core/CGameEngine.h"
#include "core/CTranslation.h"
#include "core/SGameSettings.h"
#include "race/CChaseCamera.h"
#include "race/CItemsCreator.h"
#include "race/CRace.h"
#include "world/CEntityManager.h"
#include "world/CVehicleEntity.h"
#include "BenchStats.h"
#include "SBenchWorld.h"

namespace {

using Clock = std::chrono::steady_clock;

double microsecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

struct SFigures {
    std::vector<double> calls, finished;
};

struct SMissionFigures {
    explicit SMissionFigures(std::string folder) : mission(std::move(folder)) {}
    std::string mission;
    bool loaded = false;
    int cars = 0;
    SFigures racing, through;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::printf("usage: %s RUN_FOLDER [SECONDS] [MISSION...]\n", argv[0]);
        return 1;
    }
    const int seconds = argc > 2 ? std::max(2, std::atoi(argv[2])) : 20;
    std::vector<SMissionFigures> figures;
    for (int i = 3; i < argc; ++i)
        figures.emplace_back(std::string("missions/") + argv[i] + "/");
    if (figures.empty()) {
        figures.emplace_back("missions/m01/");
        figures.emplace_back("missions/m03/");
    }
    if (!SBenchWorld::enterRunFolder(argv[1]))
        return 1;

    SBenchWorld bench;
    bench.settings.width = 1024;
    bench.settings.height = 768;
    bench.settings.fullscreen = false;
    bench.settings.showFps = true;
    if (!bench.build(irr::video::EDT_OPENGL, "data/translation.lang"))
        return 1;
    irr::video::IVideoDriver* driver = bench.engine->getVideoDriver();

    if (!SBenchWorld::outputTo("/tmp/race_display_bench.log"))
        return 1;
    bench.buildRace(false);
    irr::u32 now = 1000;
    for (SMissionFigures& mission : figures) {
        bench.timer->setTime(now);
        mission.loaded = bench.gameData->loadMission(mission.mission.c_str(), bench.entities, bench.sounds, &bench.settings);
        if (!mission.loaded)
            continue;
        mission.cars = bench.entities->getVehicleCount();
        bench.race->prepareMaterials();
        bench.race->begin();
        const int count = seconds * 60;
        const irr::u32 start = now;
        for (int f = 1; f <= count; ++f) {
            // The last quarter with the player through: the place and the final time.
            const bool through = f > count * 3 / 4;
            CVehicleEntity* player = bench.entities->getVehicle(bench.entities->getPlayerVehicleIndex());
            if (through && player && bench.gameData->getRacePhase() == 2)
                player->setLap(bench.gameData->getLaps());
            now = start + static_cast<irr::u32>(f * 1000LL / 60);
            bench.timer->setTime(now);
            bench.engine->getDevice()->run();
            if (!bench.race->updateFrame())
                break;
            driver->beginScene(true, true, irr::video::SColor(0xFFFFFFFF));
            bench.race->drawScene();
            SFigures& phase = bench.gameData->getRacePhase() == 1 ? mission.through : mission.racing;
            glFinish();
            const Clock::time_point begun = Clock::now();
            bench.race->drawDisplay();
            phase.calls.push_back(microsecondsSince(begun));
            glFinish();
            phase.finished.push_back(microsecondsSince(begun));
            driver->endScene();
        }
        now += 1000;
    }
    bench.entities->clear();
    SBenchWorld::restoreOutput();

    std::printf("race display on OpenGL at %u x %u, %d s of each race at 60 frames a second (game "
                "output in /tmp/race_display_bench.log)\n", bench.settings.width, bench.settings.height, seconds);
    std::printf("  %-16s %4s %-8s %7s %12s %12s %14s %14s\n", "mission", "cars", "phase", "frames",
                "median us", "99th pct us", "finished us", "finished 99th");
    for (SMissionFigures& m : figures) {
        if (!m.loaded) {
            std::printf("  %-16s did not load\n", m.mission.c_str());
            continue;
        }
        for (SFigures* phase : {&m.racing, &m.through}) {
            std::printf("  %-16s %4d %-8s %7zu %12.1f %12.1f %14.1f %14.1f\n", m.mission.c_str(), m.cars,
                        phase == &m.racing ? "racing" : "through", phase->calls.size(),
                        benchstats::median(phase->calls), benchstats::p99(phase->calls),
                        benchstats::median(phase->finished), benchstats::p99(phase->finished));
        }
    }

    bench.tearDown();
    return 0;
}
