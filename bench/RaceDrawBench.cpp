// What a drawn race frame costs at 1024 x 768 on OpenGL (under Xvfb: Mesa's software renderer):
// one mission with each shadow type, raced for a fixed number of frames with shadows 0, 1 and 2,
// each with bloom off and on, and the same race drawn as the scene stands (no shader manager).
// The clock moves 1/60 s per frame, so every configuration races the same frames; the wall time
// of the whole frame (rules, physics, drawing, buffer swap) is measured.
//   usage: race_draw_bench RUN_FOLDER [FRAMES] [NORMALFIXED_MISSION NORMAL_MISSION]
//   usage: race_draw_bench RUN_FOLDER --shots OUT_DIR [MISSION...]
//     the screen after 1 s of racing with shadows 0, 1 and 2, for every mission, as
//     OUT_DIR/mNN-shadowsS.png with bloom on and OUT_DIR/mNN-shadowsS-bloom-off.png without (taken
//     from the X screen with ImageMagick's import)
//   usage: race_draw_bench RUN_FOLDER --memory [FRAMES] [MISSION]
//     the process's peak memory over a race with shadows 2 and bloom on
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "audio/CSoundManager.h"
#include "core/CGameData.h"
#include "core/CGameEngine.h"
#include "core/SGameSettings.h"
#include "effects/CShaderManager.h"
#include "race/CChaseCamera.h"
#include "race/CItemsCreator.h"
#include "race/CRace.h"
#include "world/CEntityManager.h"

#include "SBenchWorld.h"

namespace {

using Clock = std::chrono::steady_clock;

// The game's objects, and the clock the races move on from one configuration to the next.
struct SSession : SBenchWorld {
    irr::u32 now = 1000;
};

std::string peakMemory()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return line.substr(6);
    }
    return "?";
}

struct SFigures {
    double fps = -1.0;
    double updateMs = 0.0; // rules, controls, physics, camera and sound
    double drawMs = 0.0;   // the scene passes, the display and the buffer swap
};

// Races `mission` for `frames` frames; the frames per second of wall time and where a frame's
// time went (fps -1 when the mission does not load). `shadows` -1: no shader manager. With
// `shot`, the screen is taken after the last frame.
SFigures race(SSession& s, const std::string& mission, int shadows, bool bloom, int frames,
              const std::string& shot = "")
{
    s.settings.shadows = shadows < 0 ? 0 : shadows;
    s.settings.postProcessing = bloom;
    CShaderManager* shaders = nullptr;
    if (shadows >= 0) {
        bool supported = false;
        shaders = new CShaderManager(s.engine, &s.settings, &supported);
        if (!supported) {
            std::fprintf(stderr, "ERROR: the driver runs no shaders\n");
            std::exit(1);
        }
    }
    CRace* race = new CRace(s.engine, &s.settings, s.gameData, s.entities, s.sounds, s.camera, shaders,
                            nullptr, nullptr);
    irr::ITimer* timer = s.engine->getDevice()->getTimer();
    timer->setTime(s.now);
    SFigures figures;
    if (s.gameData->loadMission(mission.c_str(), s.entities, s.sounds, &s.settings)) {
        s.engine->setGameState(EGS_RACE);
        race->prepareMaterials();
        race->begin();
        const irr::u32 start = s.now;
        const Clock::time_point begin = Clock::now();
        double update = 0.0, draw = 0.0;
        int f = 1;
        for (; f <= frames && s.engine->getDevice()->run(); ++f) {
            s.now = start + static_cast<irr::u32>(f * 1000LL / 60);
            timer->setTime(s.now);
            const Clock::time_point frameStart = Clock::now();
            if (!race->updateFrame())
                break;
            const Clock::time_point drawStart = Clock::now();
            race->drawFrame();
            update += std::chrono::duration<double, std::milli>(drawStart - frameStart).count();
            draw += std::chrono::duration<double, std::milli>(Clock::now() - drawStart).count();
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
        const int drawn = f - 1;
        if (drawn > 0) {
            figures.fps = drawn / seconds;
            figures.updateMs = update / drawn;
            figures.drawMs = draw / drawn;
        }
        if (!shot.empty()) {
            const std::string command = "import -display \"$DISPLAY\" -window root " + shot;
            if (std::system(command.c_str()) != 0)
                std::fprintf(stderr, "ERROR: no screenshot %s\n", shot.c_str());
        }
        s.now += 1000;
    }
    s.entities->clear();
    delete race;
    if (shaders) {
        // The driver keeps render targets for the whole run; a benchmark that builds several
        // shader managers gives them back.
        irr::video::IVideoDriver* driver = s.engine->getVideoDriver();
        for (irr::video::ITexture* target : shaders->shadowTargets)
            if (target)
                driver->removeTexture(target);
        for (irr::video::ITexture* target : shaders->bloomTargets)
            if (target)
                driver->removeTexture(target);
        delete shaders;
    }
    return figures;
}

std::string folderOf(const char* mission) { return std::string("missions/") + mission + "/"; }

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::printf("usage: %s RUN_FOLDER [FRAMES] [NORMALFIXED_MISSION NORMAL_MISSION]\n", argv[0]);
        return 1;
    }
    if (!SBenchWorld::enterRunFolder(argv[1]))
        return 1;
    const bool shots = argc > 2 && std::strcmp(argv[2], "--shots") == 0;
    const bool memory = argc > 2 && std::strcmp(argv[2], "--memory") == 0;

    SSession s;
    s.settings.width = 1024;
    s.settings.height = 768;
    s.settings.fullscreen = false;
    s.settings.vSync = false;
    if (!SBenchWorld::outputTo("/tmp/race_draw_bench.log"))
        return 1;
    if (!s.build(irr::video::EDT_OPENGL)) {
        std::fprintf(stderr, "ERROR: no OpenGL window\n");
        return 1;
    }
    s.sounds->loadAudio();
    irr::video::IVideoDriver* driver = s.engine->getVideoDriver();
    s.engine->skyBox = s.engine->getSceneManager()->addSkyBoxSceneNode(
        driver->getTexture("data/2d/sky/up.dds"), driver->getTexture("data/2d/sky/down.dds"),
        driver->getTexture("data/2d/sky/left.dds"), driver->getTexture("data/2d/sky/right.dds"),
        driver->getTexture("data/2d/sky/front.dds"), driver->getTexture("data/2d/sky/back.dds"));
    s.engine->skyBox->setVisible(false);

    std::vector<std::string> report;
    char line[256];
    if (shots) {
        const std::string out = argc > 3 ? argv[3] : ".";
        std::vector<std::string> missions;
        for (int i = 4; i < argc; ++i)
            missions.push_back(argv[i]);
        if (missions.empty())
            missions = {"m01", "m02", "m03", "m04", "m05", "m06", "m07", "m08"};
        for (const std::string& m : missions) {
            for (int shadows : {0, 1, 2}) {
                for (bool bloom : {true, false}) {
                    const std::string shot = out + "/" + m + "-shadows" + std::to_string(shadows) +
                                             (bloom ? "" : "-bloom-off") + ".png";
                    race(s, folderOf(m.c_str()), shadows, bloom, 60, shot);
                    report.push_back(shot + "\n");
                }
            }
        }
    } else if (memory) {
        const int frames = argc > 3 ? std::atoi(argv[3]) : 300;
        const char* mission = argc > 4 ? argv[4] : "m02";
        race(s, folderOf(mission), 2, true, frames);
        std::snprintf(line, sizeof line, "peak memory over %d frames of %s with shadows 2 and bloom on: %s\n",
                      frames, mission, peakMemory().c_str());
        report.push_back(line);
    } else {
        const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 300;
        const char* missions[2] = {argc > 4 ? argv[3] : "m01", argc > 4 ? argv[4] : "m02"};
        std::snprintf(line, sizeof line,
                      "race frames per second at 1024 x 768, %d frames each (in brackets: ms of a frame "
                      "spent updating / drawing)\n", frames);
        report.push_back(line);
        std::snprintf(line, sizeof line, "  %-34s %26s %26s\n", "configuration", missions[0], missions[1]);
        report.push_back(line);
        struct SConfig { const char* name; int shadows; bool bloom; };
        const SConfig configs[] = {{"scene as it stands (no shaders)", -1, false},
                                   {"shadows 0, bloom off", 0, false}, {"shadows 0, bloom on", 0, true},
                                   {"shadows 1, bloom off", 1, false}, {"shadows 1, bloom on", 1, true},
                                   {"shadows 2, bloom off", 2, false}, {"shadows 2, bloom on", 2, true}};
        for (const SConfig& c : configs) {
            SFigures f[2];
            for (int m = 0; m < 2; ++m)
                f[m] = race(s, folderOf(missions[m]), c.shadows, c.bloom, frames);
            std::snprintf(line, sizeof line, "  %-34s %8.1f (%5.1f / %6.1f) %8.1f (%5.1f / %6.1f)\n", c.name,
                          f[0].fps, f[0].updateMs, f[0].drawMs, f[1].fps, f[1].updateMs, f[1].drawMs);
            report.push_back(line);
        }
    }

    s.tearDown();
    SBenchWorld::restoreOutput();
    for (const std::string& l : report)
        std::fputs(l.c_str(), stdout);
    return 0;
}
