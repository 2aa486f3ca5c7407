#pragma once
#include <irrlicht.h>

// True when the OpenGL driver offers S3TC texture compression (the game's DXT textures).
bool hasS3TCCompression(irr::video::IVideoDriver* driver);
