#pragma once
#include <irrlicht.h>
#include <vector>

class CGameEngine;

// What the scene and the mesh cache still draw with. Textures and meshes are shared by path, so an
// entity that goes may only take away what nothing else shows any more.

// True when a material of `node` or of any node below it has `texture` in one of its layers.
bool sceneUsesTexture(irr::scene::ISceneNode* node, const irr::video::ITexture* texture);
// True when a mesh buffer of a cached mesh has `texture` in one of its layers.
bool meshCacheUsesTexture(irr::scene::IMeshCache* cache, const irr::video::ITexture* texture);
// True when a mesh node at or below `node` shows `mesh` (as its mesh or as an animated mesh).
bool sceneShowsMesh(irr::scene::ISceneNode* node, const irr::scene::IMesh* mesh);

// Removes from the driver each of `textures` (repeats allowed) that no scene node and no cached
// mesh uses any more; null entries are skipped.
void releaseUnusedTextures(CGameEngine* engine, const std::vector<irr::video::ITexture*>& textures);
