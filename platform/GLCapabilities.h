#pragma once
#include <irrlicht.h>

// True when the OpenGL driver offers S3TC texture compression (the game's DXT textures).
bool hasS3TCCompression(irr::video::IVideoDriver* driver);

// True when the space-separated extension list names `name` as a whole word (another extension
// may start with the same letters).
bool hasGLExtension(const char* list, const char* name);
