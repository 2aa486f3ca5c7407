#pragma once
// The game's long-lived objects for a tool that loads missions from a run folder: settings,
// engine object (with a window on OpenGL, or none on the null driver), sound manager, game data
// and entity manager, built and torn down in the game's own order.
#include <string>
#include <vector>

#include <irrlicht.h>

class CEntityManager;
class CGameData;
class CGameEngine;
class CSoundManager;
struct SGameSettings;

class CMissionSession {
public:
    // Works inside `runDir` from here on; `width` x `height` is the window on OpenGL.
    CMissionSession(const std::string& runDir, irr::video::E_DRIVER_TYPE driver, irr::u32 width = 640,
                    irr::u32 height = 400);
    ~CMissionSession();
    CMissionSession(const CMissionSession&) = delete;
    CMissionSession& operator=(const CMissionSession&) = delete;

    // False (after an "ERROR: " line) when the run folder or the device could not be opened.
    bool isReady() const { return ready; }

    SGameSettings* settings = nullptr;
    CGameEngine* engine = nullptr;
    CSoundManager* sounds = nullptr;
    CGameData* gameData = nullptr;
    CEntityManager* entities = nullptr;

    // The mission numbers among the program's arguments from `first` on; all eight when none.
    static std::vector<int> missionNumbers(int argc, char** argv, int first);
    static std::string folderOf(int mission); // "missions/m03/"

private:
    bool ready = false;
};
