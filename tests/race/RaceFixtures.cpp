#include "RaceFixtures.h"

#include <algorithm>
#include <filesystem>

#include "core/CGameEngine.h"
#include "core/CTranslation.h"
#include "world/CPhysicsBody.h"
#include "world/CVehicleEntity.h"
#include "world/VehicleFixtures.h"

using namespace irr;
namespace fs = std::filesystem;

namespace racetest {

namespace {

void linkDisplayArt(const fs::path& run, const fs::path& root, const std::vector<int>& missingPlaces)
{
    fs::create_directory_symlink(run / "data" / "fonts", root / "data" / "fonts");
    fs::create_directories(root / "data" / "2d" / "others");
    for (int place = 1; place <= 3; ++place) {
        if (std::find(missingPlaces.begin(), missingPlaces.end(), place) != missingPlaces.end())
            continue;
        const std::string image = "data/2d/others/place0" + std::to_string(place) + ".png";
        fs::create_symlink(run / image, root / image);
    }
}

} // namespace

CRaceWorld::CRaceWorld(const std::string& sourceFolder, SWorldOptions options)
    : CMissionWorld(sourceFolder, options.music), source(sourceFolder)
{
    if (options.itemsCreator)
        engine.get()->setItemsCreator(&creator);
    SGameSettings& settings = engine.settings;
    settings.keyForward = gameData.findKeyByName("KEY_KEY_W");
    settings.keyBackward = gameData.findKeyByName("KEY_KEY_S");
    settings.keyLeft = gameData.findKeyByName("KEY_KEY_A");
    settings.keyRight = gameData.findKeyByName("KEY_KEY_D");
    setTime(timeMs);
    if (options.display) {
        const fs::path run(SANDVOLT_RUN_DIR);
        // A source that is a run folder brings them along.
        if (!fs::exists(fs::path(dir.path()) / "data" / "fonts"))
            linkDisplayArt(run, dir.path(), options.missingPlaceImages);
        texts = new CTranslation((run / "data" / "translation.lang").c_str());
    }
    menu = new CMenu(&engine.settings, &gameData, engine.get(), &entities, sounds, texts);
    race = new CRace(engine.get(), &engine.settings, &gameData, &entities, sounds, &camera, nullptr,
                     menu, texts);
}

CRaceWorld::~CRaceWorld()
{
    delete race;
    delete menu;
    delete texts;
}

void CRaceWorld::linkMission(const std::string& name, const std::string& mission)
{
    fs::create_directory_symlink(fs::path(source) / "missions" / mission,
                                 fs::path(dir.path()) / "missions" / name);
}

bool CRaceWorld::load(const std::string& folder)
{
    if (!CMissionWorld::load(folder))
        return false;
    engine->setGameState(EGS_RACE);
    race->prepareMaterials();
    race->begin();
    return true;
}

void CRaceWorld::setTime(u32 ms)
{
    timeMs = ms;
    engine.setTime(ms);
}

bool CRaceWorld::frame()
{
    ++frameIndex;
    setTime(baseMs + static_cast<u32>(frameIndex * 1000LL / framesPerSecond));
    return endFrame(race->runFrame());
}

bool CRaceWorld::frameAt(u32 timerMs)
{
    baseMs = timerMs;
    frameIndex = 0;
    setTime(timerMs);
    return endFrame(race->runFrame());
}

// The events posted since the last frame were the device's delivery for this one; the presses it
// read are forgotten before the next, as the race loop's turn of the device does.
bool CRaceWorld::endFrame(bool going)
{
    engine->run();
    return going;
}

int CRaceWorld::frames(int count)
{
    for (int i = 0; i < count; ++i) {
        if (!frame())
            return i + 1;
    }
    return count;
}

void CRaceWorld::resume()
{
    engine->setGameState(EGS_RACE);
    race->prepareMaterials();
    race->begin();
}

void CRaceWorld::advance(u32 ms)
{
    baseMs = timeMs + ms;
    frameIndex = 0;
    setTime(baseMs);
}

f32 CRaceWorld::gameClock() { return static_cast<f32>(timeMs) - engine->pausedTime; }

f32 CRaceWorld::raceTime() { return gameClock() - (gameData.getRaceStartTime() + 6000.0f); }

CVehicleEntity* CRaceWorld::player() { return entities.getVehicle(entities.getPlayerVehicleIndex()); }

CVehicleEntity* CRaceWorld::vehicle(int i) { return entities.getVehicle(i); }

btRigidBody* CRaceWorld::bodyOf(CVehicleEntity* car) { return car->getPhysicsBody()->getRigidBody(); }

void CRaceWorld::teleport(CVehicleEntity* car, const core::vector3df& position, float yawDegrees)
{
    vehicletest::teleport(car, position, yawDegrees);
}

} // namespace racetest
