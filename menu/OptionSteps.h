#pragma once
#include <irrlicht.h>

class CGameData;
struct SGameSettings;

// What one click on an options row does to its value.

// Volumes go up in tens and wrap to 0 past 100; a value from the file outside 0 to 100 (even one
// near the top of the integer range) wraps to 0 as well.
irr::s32 nextVolume(irr::s32 volume);
// Bilinear (0), trilinear (1), anisotropic (2), then round again; anything else starts over.
irr::s32 nextFilter(irr::s32 filtering);
// Off (0), normal (1), high (2), then round again; anything else starts over.
irr::s32 nextShadows(irr::s32 shadows);
// OpenGL (0) and DirectX (1) take turns.
irr::s32 nextDriver(irr::s32 graphicMode);
// The next video mode into the saved resolution; false, changing nothing, without any mode.
bool nextResolution(CGameData* gameData, SGameSettings* settings);
