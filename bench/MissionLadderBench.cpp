// How hard each mission of a run folder is for a player: the test autopilot, pressing only the
// player's four driving keys in the real race loop, races every mission in many driving styles
// (line, cornering, braking) over several draws of the computer cars' lanes, at 60 and at 20
// frames a second. Per mission it prints the share of styles that win, what a moderate driver
// (the autopilot's clean drive) makes of it over three lane draws, and for a rally the stored
// times against a clean and a poor drive. The races run in one process each per group of styles,
// as many at once as there are cores (or --jobs).
// usage: mission_ladder_bench RUN_FOLDER [--jobs N] [--every K] [--missions 1,2,...] [--fps 60,20] [--raw 1]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "CAutopilot.h"
#include "RaceFixtures.h"
#include "race/CWaypoint.h"
#include "world/CVehicleEntity.h"
#include "SBenchWorld.h"

namespace {

using racetest::CAutopilot;
using racetest::CRaceWorld;
using racetest::SDriveStyle;

// Line (how far ahead it aims, and to which side), cornering grip asked of the car, braking it
// counts on: 3 x 3 x 4 x 3 styles from careful to reckless.
std::vector<SDriveStyle> allStyles()
{
    std::vector<SDriveStyle> styles;
    for (float look : {5.0f, 8.0f, 12.0f})
        for (float offset : {-2.5f, 0.0f, 2.5f})
            for (float lateral : {6.0f, 8.0f, 10.0f, 13.0f})
                for (float braking : {2.0f, 3.5f, 5.0f}) {
                    SDriveStyle s;
                    s.lookMetres = look;
                    s.offset = offset;
                    s.lateral = lateral;
                    s.braking = braking;
                    styles.push_back(s);
                }
    return styles;
}

SDriveStyle poorStyle()
{
    SDriveStyle s;
    s.lateral = 5.0f;
    s.braking = 2.0f;
    return s;
}

const int kDraws = 3; // lane draws: the seeds of the draw are 1 to 3

// One race's outcome. Times are race time in ms; -1 when the car did not finish.
struct SRun {
    int mission = 0, fps = 0, kind = 0; // kind: 0 a style, 1 the moderate driver, 2 the poor driver
    int style = 0, draw = 0;
    bool finished = false, won = false;
    int place = 0; // 0 = first
    float playerMs = -1.0f;
    float rivalMs = -1.0f; // the fastest computer car (the moderate driver's races only)
};

struct SJob {
    int mission = 0, fps = 0;
    std::vector<int> styles; // indices into allStyles(); -1 the moderate driver, -2 the poor one
};

float pathLength(CGameData& data)
{
    float length = 0.0f;
    const irr::s32 n = data.getNavigationPointCount();
    for (irr::s32 i = 0; i < n; ++i) {
        const CWaypoint* a = data.getNavigationPoint(i);
        const CWaypoint* b = data.getNavigationPoint((i + 1) % n);
        length += std::hypot(b->getX() - a->getX(), b->getZ() - a->getZ());
    }
    return length;
}

// Races one mission once. A style's race stops when the player is home, so that its time is
// known against the fastest computer car's; the moderate driver's goes on until every computer
// car is home, for the margin.
SRun raceOnce(CRaceWorld& world, const std::string& folder, const SDriveStyle& style, int draw, bool toTheEnd)
{
    SRun run;
    std::srand(static_cast<unsigned>(draw));
    if (!world.load(folder))
        return run;
    const bool rally = world.gameData.getRaceType() == 1;
    std::vector<float> stored;
    for (irr::s32 i = 0; i < world.gameData.getRallyTimeCount(); ++i)
        stored.push_back(static_cast<float>(world.gameData.getRallyTime(i)));
    std::sort(stored.begin(), stored.end());
    const int laps = std::max(world.gameData.getLaps(), 1);
    const float boundMs = 6000.0f + laps * pathLength(world.gameData) / 6.0f * 1000.0f + 38000.0f;
    const int maxFrames = static_cast<int>(boundMs * world.framesPerSecond / 1000.0f);
    CAutopilot pilot(world, style);
    const int cars = world.entities.getVehicleCount(), playerIndex = world.entities.getPlayerVehicleIndex();
    std::vector<float> home(static_cast<size_t>(cars), -1.0f);
    bool running = true;
    for (int f = 0; f < maxFrames; ++f) {
        pilot.drive();
        if (!world.frame()) {
            running = false;
            break;
        }
        bool allHome = true;
        for (int i = 0; i < cars; ++i) {
            CVehicleEntity* car = world.vehicle(i);
            if (home[size_t(i)] < 0.0f && car->getLap() >= world.gameData.getLaps() && car->isFinished())
                home[size_t(i)] = world.raceTime();
            allHome = allHome && home[size_t(i)] >= 0.0f;
        }
        const bool playerHome = home[size_t(playerIndex)] >= 0.0f;
        if (allHome || (!toTheEnd && playerHome))
            break;
    }
    run.playerMs = home[size_t(playerIndex)];
    run.finished = run.playerMs >= 0.0f;
    for (int i = 0; i < cars; ++i) {
        if (i == playerIndex || home[size_t(i)] < 0.0f)
            continue;
        if (run.rivalMs < 0.0f || home[size_t(i)] < run.rivalMs)
            run.rivalMs = home[size_t(i)];
        if (run.finished && home[size_t(i)] <= run.playerMs)
            ++run.place;
    }
    if (!run.finished)
        run.place = cars - 1;
    if (rally) {
        run.place = 0;
        for (float t : stored)
            run.place += run.finished && t <= run.playerMs ? 1 : 0;
        run.won = run.finished && (stored.empty() || run.playerMs < stored.front());
        // Measured against the best stored time.
        run.rivalMs = stored.empty() ? -1.0f : stored.front();
    } else {
        run.won = run.finished && run.place == 0;
    }
    if (running) {
        world.press(irr::KEY_ESCAPE, true);
        world.frame();
        world.press(irr::KEY_ESCAPE, false);
        world.menu->setMenuName("Break");
        world.menu->update();
    }
    world.advance(1000);
    return run;
}

void runJob(const std::string& runDir, const SJob& job, const std::string& outFile)
{
    // The game's progress lines would bury the figures; the sound library's complaints about a
    // machine without a sound card too.
    if (!SBenchWorld::outputTo("/tmp/mission_ladder_bench.log", true))
        return;
    const int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, 2);
    FILE* out = std::fopen(outFile.c_str(), "w");
    if (!out)
        return;
    CRaceWorld world(runDir);
    world.framesPerSecond = job.fps;
    const std::string folder = "missions/m0" + std::to_string(job.mission) + "/";
    const std::vector<SDriveStyle> styles = allStyles();
    for (int index : job.styles) {
        const int draws = index < 0 ? kDraws : 1;
        for (int d = 0; d < draws; ++d) {
            const int draw = index < 0 ? d + 1 : 1 + index % kDraws;
            const SDriveStyle style = index == -1 ? SDriveStyle() : index == -2 ? poorStyle() : styles[size_t(index)];
            SRun r = raceOnce(world, folder, style, draw, index < 0);
            std::fprintf(out, "%d %d %d %d %d %d %d %d %.0f %.0f\n", job.mission, job.fps,
                         index == -1 ? 1 : index == -2 ? 2 : 0, std::max(index, 0), draw, r.finished ? 1 : 0,
                         r.won ? 1 : 0, r.place, double(r.playerMs), double(r.rivalMs));
            std::fflush(out);
        }
    }
    std::fclose(out);
}

std::vector<int> numberList(const char* text)
{
    std::vector<int> numbers;
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ','))
        if (!item.empty())
            numbers.push_back(std::atoi(item.c_str()));
    return numbers;
}

std::string seconds(float ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", double(ms) / 1000.0);
    return text;
}

std::string placeName(int place)
{
    static const char* names[] = {"1st", "2nd", "3rd", "4th", "5th"};
    return place >= 0 && place < 5 ? names[place] : std::to_string(place + 1) + "th";
}

std::string moderate(const SRun& r)
{
    if (!r.finished)
        return "did not finish";
    if (r.rivalMs < 0.0f)
        return placeName(r.place) + " in " + seconds(r.playerMs);
    if (r.place == 0)
        return "1st by " + seconds(r.rivalMs - r.playerMs);
    return placeName(r.place) + ", " + seconds(r.playerMs - r.rivalMs) + " behind";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::printf("usage: %s RUN_FOLDER [--jobs N] [--every K] [--missions 1,2,...] [--fps 60,20] [--raw 1]\n", argv[0]);
        return 1;
    }
    const std::string runDir = std::filesystem::absolute(argv[1]).string();
    int jobs = static_cast<int>(std::max(1L, sysconf(_SC_NPROCESSORS_ONLN)));
    int every = 1;
    bool raw = false;
    std::vector<int> missions = {1, 2, 3, 4, 5, 6, 7, 8}, rates = {60, 20};
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--jobs")
            jobs = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--every")
            every = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--missions")
            missions = numberList(argv[i + 1]);
        else if (option == "--fps")
            rates = numberList(argv[i + 1]);
        else if (option == "--raw")
            raw = std::atoi(argv[i + 1]) != 0;
    }
    const int styleCount = static_cast<int>(allStyles().size());
    std::vector<int> chosen;
    for (int s = 0; s < styleCount; s += every)
        chosen.push_back(s);

    // Groups of styles small enough that every core stays busy to the end.
    std::vector<SJob> queue;
    const size_t group = 6;
    for (int m : missions)
        for (int fps : rates) {
            queue.push_back({m, fps, {-1, -2}});
            for (size_t k = 0; k < chosen.size(); k += group)
                queue.push_back({m, fps, std::vector<int>(chosen.begin() + long(k),
                                                          chosen.begin() + long(std::min(chosen.size(), k + group)))});
        }
    std::FILE* log = std::fopen("/tmp/mission_ladder_bench.log", "w"); // this run's races only
    if (log)
        std::fclose(log);
    const std::string scratch = std::filesystem::temp_directory_path().string() + "/ladder-" + std::to_string(getpid());
    std::filesystem::create_directories(scratch);
    const auto start = std::chrono::steady_clock::now();
    std::fflush(stdout);
    size_t next = 0;
    int active = 0;
    while (next < queue.size() || active > 0) {
        if (next < queue.size() && active < jobs) {
            const std::string file = scratch + "/job" + std::to_string(next) + ".txt";
            const pid_t pid = fork();
            if (pid == 0) {
                runJob(runDir, queue[next], file);
                _exit(0);
            }
            if (pid > 0)
                ++active;
            ++next;
            continue;
        }
        int status = 0;
        if (wait(&status) > 0)
            --active;
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::vector<SRun> runs;
    for (size_t j = 0; j < queue.size(); ++j) {
        FILE* in = std::fopen((scratch + "/job" + std::to_string(j) + ".txt").c_str(), "r");
        if (!in)
            continue;
        SRun r;
        int finished = 0, won = 0;
        while (std::fscanf(in, "%d %d %d %d %d %d %d %d %f %f", &r.mission, &r.fps, &r.kind, &r.style, &r.draw,
                           &finished, &won, &r.place, &r.playerMs, &r.rivalMs) == 10) {
            r.finished = finished != 0;
            r.won = won != 0;
            runs.push_back(r);
        }
        std::fclose(in);
    }
    std::filesystem::remove_all(scratch);
    if (raw) {
        // Every race: mission, fps, kind (0 a style, 1 moderate, 2 poor), style, lane draw, finished,
        // won, place, the player's and the fastest computer car's (or best stored) time in ms.
        for (const SRun& r : runs)
            std::printf("race %d %d %d %d %d %d %d %d %.0f %.0f\n", r.mission, r.fps, r.kind, r.style, r.draw,
                        r.finished ? 1 : 0, r.won ? 1 : 0, r.place, double(r.playerMs), double(r.rivalMs));
    }

    std::printf("%zu races of %zu styles, %d lane draws, in %.0f s on %d processes at once\n\n", runs.size(),
                chosen.size(), kDraws, wall, jobs);
    std::printf("| mission | fps | styles that win | a moderate driver (lane draws 1, 2, 3) | poor drive |\n");
    std::printf("|---|---|---|---|---|\n");
    for (int m : missions)
        for (int fps : rates) {
            int wins = 0, total = 0;
            std::string mod, poor;
            for (const SRun& r : runs) {
                if (r.mission != m || r.fps != fps)
                    continue;
                if (r.kind == 0) {
                    ++total;
                    wins += r.won ? 1 : 0;
                } else if (r.kind == 1) {
                    mod += (mod.empty() ? "" : "; ") + moderate(r);
                } else {
                    poor = moderate(r);
                }
            }
            std::printf("| m0%d | %d | %d of %d (%.0f %%) | %s | %s |\n", m, fps, wins, total,
                        total ? 100.0 * wins / total : 0.0, mod.c_str(), poor.c_str());
        }
    return 0;
}
