#pragma once
// The game's engine object on OpenGL in a window of the X server the test runs on (Xvfb), with
// the engine library's clock stopped so that the test alone moves time.
#include <irrlicht.h>

#include "core/SGameSettings.h"

class CGameEngine;

namespace effectstest {

class CGLEngine {
public:
    explicit CGLEngine(irr::u32 width = 1366, irr::u32 height = 768);
    ~CGLEngine();
    CGLEngine(const CGLEngine&) = delete;
    CGLEngine& operator=(const CGLEngine&) = delete;

    CGameEngine* get() { return engine; }
    CGameEngine* operator->() { return engine; }

    SGameSettings settings;

private:
    CGameEngine* engine;
};

} // namespace effectstest
