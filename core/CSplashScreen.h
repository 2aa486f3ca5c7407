#pragma once
#include <irrlicht.h>
#include <string>

class CGameEngine;

// Fades one full-height splash image in from black or out to black in a frame loop of its own.
// A fade-out holds the image until 7 s after the fade-in began; Escape may end the hold early.
class CSplashScreen {
public:
    explicit CSplashScreen(CGameEngine* engine);

    void show(const std::string& path, irr::u32 widthDivisor, bool skippable, bool fadeIn,
              irr::video::SColor background);

private:
    irr::f32 startTime;
    CGameEngine* engine;
};
