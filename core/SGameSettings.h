#pragma once
#include <irrlicht.h>

class SKeyEntry;

// The one configuration record of the game. The live block is in force for this run; the saved
// block holds the display options as they go to "settings.xml", so a change of resolution, driver,
// anti-aliasing, vertical sync or shadows in the options takes effect at the next start.
struct SGameSettings {
    SGameSettings();
    ~SGameSettings();

    irr::u32 width;
    irr::u32 height;
    irr::s32 bits;
    bool fullscreen;
    bool antiAliasing;
    bool vSync;
    irr::s32 filtering;      // 0 bilinear, 1 trilinear, 2 anisotropic
    irr::s32 shadows;        // 0 off, 1 shadow map 1024, 2 shadow map 2048
    bool postProcessing;
    irr::s32 graphicMode;    // 1 DirectX (opens OpenGL here), 0 OpenGL
    irr::s32 musicVolume;
    irr::s32 environmentVolume;
    irr::s32 controller;     // 0 keyboard, 1 gamepad
    SKeyEntry* keyForward;   // entries of the key table, owned by the game data
    SKeyEntry* keyBackward;
    SKeyEntry* keyLeft;
    SKeyEntry* keyRight;
    irr::s32 progressLevel;  // highest mission unlocked, 1 to 8
    bool showFps;

    irr::u32 savedWidth;
    irr::u32 savedHeight;
    irr::s32 savedBits;
    bool savedFullscreen;
    bool savedAntiAliasing;
    bool savedVSync;
    irr::s32 savedFiltering;
    irr::s32 savedShadows;
    irr::s32 savedGraphicMode;
};
