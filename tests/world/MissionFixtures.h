#pragma once
// A loaded mission on the null driver: a run folder of its own, entered for the object's life,
// with the engine (its clock stopped), the sound manager on a silent device, the game data and
// the entity manager, built as the entry function builds them.
#include <string>

#include "core/CGameData.h"
#include "support/TestSupport.h"
#include "world/CEntityManager.h"

class CSoundManager;

namespace missiontest {

class CMissionWorld {
public:
    // `source` holds missions/ and data/ (the test missions' folder or a game run folder); the
    // engine sounds, and with `music` the music, always come from the game's run folder.
    CMissionWorld(const std::string& source, bool music);
    ~CMissionWorld();
    CMissionWorld(const CMissionWorld&) = delete;
    CMissionWorld& operator=(const CMissionWorld&) = delete;

    // Loads a mission folder at the engine's current time; what the load printed is kept in `out`.
    bool load(const std::string& folder);

    testsupport::CScratchDir dir;
    testsupport::CNullEngine engine;
    testsupport::CWorkingDir cwd{dir.path()};
    CSoundManager* sounds = nullptr;
    CGameData gameData{nullptr};
    CEntityManager entities{engine.get()};
    std::string out;
};

} // namespace missiontest
