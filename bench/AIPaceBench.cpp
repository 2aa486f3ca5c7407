// How long the computer cars of every lap race of a run folder take for the mission's laps, at
// several frame rates and lane draws: the real loader and race loop on the null driver, the
// clock moved by the frame rate. The player's car is taken out of the physics world, so that
// nobody meets it on the grid. Prints each car's lane length and race time, and the field's mean
// time against the one at the first frame rate of the same draw.
// usage: ai_pace_bench RUN_FOLDER [DRAWS [FPS...]]   (default: 3 draws at 60, 20 and 15 fps)
#include <algorithm>
#include <btBulletDynamicsCommon.h>
#include <cmath>
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
#include "race/CAIControllerPack.h"
#include "race/CChaseCamera.h"
#include "race/CItemsCreator.h"
#include "race/CRace.h"
#include "race/CWaypoint.h"
#include "world/CEntityManager.h"
#include "world/CPhysicsBody.h"
#include "world/CVehicleEntity.h"
#include "SBenchWorld.h"

namespace {

const float kLimitSeconds = 900.0f;

struct SCarTime {
    std::string name;
    float laneMetres = 0.0f;
    float seconds = -1.0f; // -1: not home within the limit
};

float laneLength(CAIControllerPack* path)
{
    float metres = 0.0f;
    const int n = path->getWaypointCount();
    for (int i = 0; i < n; ++i) {
        const CWaypoint* a = path->getWaypoint(i);
        const CWaypoint* b = path->getWaypoint((i + 1) % n);
        metres += std::hypot(b->getX() - a->getX(), b->getZ() - a->getZ());
    }
    return metres;
}

float meanOf(const std::vector<SCarTime>& cars)
{
    float sum = 0.0f;
    int count = 0;
    for (const SCarTime& car : cars) {
        if (car.seconds >= 0.0f) {
            sum += car.seconds;
            ++count;
        }
    }
    return count ? sum / count : -1.0f;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::printf("usage: %s RUN_FOLDER [DRAWS [FPS...]]\n", argv[0]);
        return 1;
    }
    const int draws = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    std::vector<int> rates;
    for (int i = 3; i < argc; ++i)
        rates.push_back(std::max(1, std::atoi(argv[i])));
    if (rates.empty())
        rates = {60, 20, 15};
    if (!SBenchWorld::enterRunFolder(argv[1]))
        return 1;
    const std::vector<std::string> missions = SBenchWorld::missionFolders();
    SBenchWorld bench;
    bench.build(irr::video::EDT_NULL);
    bench.buildRace(true);

    if (!SBenchWorld::outputTo("/tmp/ai_pace_bench.log"))
        return 1;
    bench.sounds->loadAudio();
    std::vector<std::string> lines;
    irr::u32 now = 1000;
    for (const std::string& mission : missions) {
        for (int draw = 1; draw <= draws; ++draw) {
            float firstMean = -1.0f;
            for (const int fps : rates) {
                bench.timer->setTime(now);
                // The same seed gives the same lanes at every frame rate.
                std::srand(static_cast<unsigned>(draw));
                if (!bench.gameData->loadMission(mission.c_str(), bench.entities, bench.sounds, &bench.settings))
                    break;
                if (bench.gameData->getRaceType() != 0)
                    break;
                CVehicleEntity* player = bench.entities->getVehicle(bench.entities->getPlayerVehicleIndex());
                btDiscreteDynamicsWorld* world = bench.engine->getDynamicsWorld();
                if (player && player->getPhysicsBody()) {
                    world->removeVehicle(player->getPhysicsBody()->getVehicle());
                    world->removeRigidBody(player->getPhysicsBody()->getRigidBody());
                }
                std::vector<SCarTime> cars;
                std::vector<CVehicleEntity*> racing;
                for (int i = 0; i < bench.entities->getVehicleCount(); ++i) {
                    CVehicleEntity* car = bench.entities->getVehicle(i);
                    auto* path = dynamic_cast<CAIControllerPack*>(car->getControllerPack());
                    if (!path)
                        continue;
                    cars.push_back({car->getName(), laneLength(path)});
                    racing.push_back(car);
                }
                bench.race->prepareMaterials();
                bench.race->begin();
                const irr::u32 start = now;
                const float raceStart = bench.gameData->getRaceStartTime() + 6000.0f;
                size_t home = 0;
                for (int f = 1; home < cars.size() && f < (kLimitSeconds + 6.0f) * fps; ++f) {
                    now = start + static_cast<irr::u32>(f * 1000LL / fps);
                    bench.timer->setTime(now);
                    bench.race->updateFrame();
                    for (size_t c = 0; c < racing.size(); ++c) {
                        if (cars[c].seconds < 0.0f && racing[c]->getLap() >= bench.gameData->getLaps()) {
                            cars[c].seconds = (static_cast<float>(now) - raceStart) / 1000.0f;
                            ++home;
                        }
                    }
                }
                if (player && player->getPhysicsBody()) {
                    world->addRigidBody(player->getPhysicsBody()->getRigidBody());
                    world->addVehicle(player->getPhysicsBody()->getVehicle());
                }
                const float mean = meanOf(cars);
                if (firstMean < 0.0f)
                    firstMean = mean;
                char line[512];
                int at = std::snprintf(line, sizeof line, "  %-16s %4d %4d", mission.c_str(), draw, fps);
                for (const SCarTime& car : cars)
                    at += std::snprintf(line + at, sizeof line - at, "  %s %4.0fm %6.1fs", car.name.c_str(),
                                        car.laneMetres, car.seconds);
                std::snprintf(line + at, sizeof line - at, "   mean %6.1f s (%+5.1f %%)", mean,
                              firstMean > 0.0f ? 100.0f * (mean - firstMean) / firstMean : 0.0f);
                lines.push_back(line);
                now += 1000;
            }
        }
    }
    bench.entities->clear();
    SBenchWorld::restoreOutput();

    std::printf("computer cars' race times by lane draw and frame rate; a car not home in %.0f s "
                "shows -1 (game output in /tmp/ai_pace_bench.log)\n", kLimitSeconds);
    std::printf("  %-16s %4s %4s  car, lane length, time ...   field's mean (against the first rate)\n",
                "mission", "draw", "fps");
    for (const std::string& line : lines)
        std::printf("%s\n", line.c_str());

    bench.tearDown();
    return 0;
}
