#pragma once
#include <irrlicht.h>
#include <string>

class CEntityManager;
class CGameEngine;

// Developer tool for making waypoint path files: while it is on (F1), each press of the space
// bar records where the player's car stands as one waypoint and drops a small marker there.
class CGoCapRecorder {
public:
    CGoCapRecorder(CGameEngine* engine, CEntityManager* entities);
    ~CGoCapRecorder();

    bool isEnabled();
    // One frame of the tool, on the engine's input snapshot.
    void update();
    // Writes the path recorded so far; nothing happens before the tool was first switched on.
    // False (after an "ERROR: " line) when the file cannot be written.
    bool save(const std::string& fileName);

private:
    irr::core::stringc text;
    irr::s32 pointCount;
    bool enabled;
    bool toggleKeyHeld;
    bool recordKeyHeld;
    bool started;
    CGameEngine* engine;
    CEntityManager* entities;
};
