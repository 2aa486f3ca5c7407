#pragma once
#include <irrlicht.h>
#include <string>

class CGameEngine;

// A menu image from the driver's texture cache; null, after a "Warning: " line, when the file is
// missing or cannot be read. The widget then stays invisible but still takes clicks.
irr::video::ITexture* loadMenuImage(CGameEngine* engine, const std::string& path);
