// How long loading each mission of a run folder takes, on the null driver with a real physics
// world and a silent sound device: the median of several loads, each after the previous mission.
// usage: mission_load_bench RUN_FOLDER [LOADS]
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
#include "world/CEntityManager.h"

namespace fs = std::filesystem;

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::printf("usage: %s RUN_FOLDER [LOADS]\n", argv[0]);
        return 1;
    }
    const int loads = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    if (chdir(argv[1]) != 0) {
        std::printf("ERROR: cannot enter %s\n", argv[1]);
        return 1;
    }
    std::vector<std::string> missions;
    for (const auto& entry : fs::directory_iterator("missions")) {
        if (fs::exists(entry.path() / "mission.xml"))
            missions.push_back("missions/" + entry.path().filename().string() + "/");
    }
    std::sort(missions.begin(), missions.end());

    setenv("ALSOFT_DRIVERS", "null", 0);
    SGameSettings settings;
    CGameEngine* engine = new CGameEngine(&settings, irr::video::EDT_NULL);
    CGameData* gameData = new CGameData(nullptr);
    gameData->setEngine(engine);
    CEntityManager* entities = new CEntityManager(engine);
    CSoundManager* sounds = new CSoundManager(&settings, engine);

    // The game's own progress lines would bury the figures: they go to a log file.
    std::fflush(stdout);
    const int console = dup(fileno(stdout));
    if (!std::freopen("/tmp/mission_load_bench.log", "w", stdout))
        return 1;
    sounds->loadAudio();
    std::vector<std::pair<std::string, double>> results;
    for (const std::string& mission : missions) {
        std::vector<double> times;
        for (int i = 0; i < loads; ++i) {
            const auto start = std::chrono::steady_clock::now();
            const bool loaded = gameData->loadMission(mission.c_str(), entities, sounds, &settings);
            const auto end = std::chrono::steady_clock::now();
            if (!loaded)
                break;
            times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        }
        std::sort(times.begin(), times.end());
        results.emplace_back(mission, times.empty() ? -1.0 : times[times.size() / 2]);
    }
    std::fflush(stdout);
    dup2(console, fileno(stdout));

    std::printf("mission load time, median of %d loads (game output in /tmp/mission_load_bench.log)\n", loads);
    for (const auto& result : results) {
        if (result.second < 0)
            std::printf("  %-24s did not load\n", result.first.c_str());
        else
            std::printf("  %-24s %8.1f ms\n", result.first.c_str(), result.second);
    }

    entities->clear();
    delete sounds;
    delete entities;
    delete engine;
    delete gameData;
    return 0;
}
