#include "MissionFixtures.h"

#include "audio/CSoundManager.h"

namespace missiontest {

CMissionWorld::CMissionWorld(const std::string& source, bool music)
{
    testsupport::linkRunFolder(dir.path(), source, music);
    gameData.setEngine(engine.get());
    out = testsupport::captureStdout([&] {
        sounds = new CSoundManager(&engine.settings, engine.get());
        sounds->loadAudio();
    });
}

CMissionWorld::~CMissionWorld()
{
    testsupport::captureStdout([&] { entities.clear(); });
    delete sounds;
}

bool CMissionWorld::load(const std::string& folder)
{
    bool loaded = false;
    out = testsupport::captureStdout([&] {
        loaded = gameData.loadMission(folder.c_str(), &entities, sounds, &engine.settings);
    });
    return loaded;
}

} // namespace missiontest
