#pragma once
// A whole race on the null driver: a loaded mission's world (the test missions, or the game's
// missions) with the chase camera, the menu, the items creator and the race, built as the entry
// function builds them. The clock moves at 60 frames a second of game time, or at `framesPerSecond`.
#include <irrlicht.h>
#include <string>
#include <vector>

#include "menu/CMenu.h"
#include "race/CChaseCamera.h"
#include "race/CItemsCreator.h"
#include "race/CRace.h"
#include "world/MissionFixtures.h"

class CTranslation;
class CVehicleEntity;
class btRigidBody;

namespace racetest {

struct SWorldOptions {
    // The engine object holds the items creator, as in the game.
    bool itemsCreator = true;
    // The game's music tracks; without them the sound manager has no current track.
    bool music = true;
    // The race display's font, place images and texts, from the game's run folder; without them
    // the race runs with none, as the tests and benchmarks build it.
    bool display = false;
    // Place images (1 to 3) that the run folder lacks.
    std::vector<int> missingPlaceImages;
};

class CRaceWorld : public missiontest::CMissionWorld {
public:
    // `source` holds missions/ and data/ (the test missions' folder or a game run folder); the
    // engine sounds and music always come from the game's run folder.
    explicit CRaceWorld(const std::string& source, SWorldOptions options = SWorldOptions());
    ~CRaceWorld();
    CRaceWorld(const CRaceWorld&) = delete;
    CRaceWorld& operator=(const CRaceWorld&) = delete;

    // missions/<name>/ in this run folder is the source's missions/<mission>/.
    void linkMission(const std::string& name, const std::string& mission);
    // Loads at the current time and enters the race as the entry function does; what the load
    // printed is kept in `out`.
    bool load(const std::string& folder);
    // One race frame 1/framesPerSecond s of game time after the last; false when the race loop
    // is over.
    bool frame();
    // One race frame with the engine's timer at `timerMs`.
    bool frameAt(irr::u32 timerMs);
    bool endFrame(bool going);
    // Frames until the race loop is over or `count` have run; the number of frames run.
    int frames(int count);
    // Re-enters the race loop, as the menu's "Continue" does.
    void resume();
    // The clock jumps (time away from the race, in the menu).
    void advance(irr::u32 ms);
    irr::u32 now() const { return timeMs; }
    irr::f32 gameClock();
    // Game clock minus the race start (load time + 6000 ms).
    irr::f32 raceTime();

    void press(irr::EKEY_CODE key, bool down) { engine.postKey(key, down); }
    CVehicleEntity* player();
    CVehicleEntity* vehicle(int i);
    btRigidBody* bodyOf(CVehicleEntity* vehicle);
    // Puts the car somewhere else, at rest, facing along `yawDegrees`.
    void teleport(CVehicleEntity* vehicle, const irr::core::vector3df& position, float yawDegrees = 0.0f);

    std::string source;
    int framesPerSecond = 60;
    CChaseCamera camera{engine.get()};
    CItemsCreator creator{engine.get(), &entities};
    CMenu* menu = nullptr;
    CTranslation* texts = nullptr;
    CRace* race = nullptr;

private:
    void setTime(irr::u32 ms);

    irr::u32 timeMs = 100000;
    irr::u32 baseMs = 100000;
    int frameIndex = 0;
};

} // namespace racetest
