#pragma once
// Small real files and counters shared by the entity tests.
#include <irrlicht.h>
#include <string>
#include <vector>

class CGameEngine;

namespace entitytest {

struct SBox {
    irr::core::vector3df minimum;
    irr::core::vector3df maximum;
};

// A Wavefront mesh of closed boxes, in the coordinates the game sees after loading (the engine's
// loader mirrors X). With a material name it uses "usemtl" from `materialLibrary`.
std::string boxesObj(const std::vector<SBox>& boxes, const std::string& materialLibrary = "",
                     const std::string& material = "");
// A 2x2 image file written through the engine's own image writer.
void writeImage(CGameEngine* engine, const std::string& path);
// Every node below the scene root, the root itself not counted.
int sceneNodeCount(CGameEngine* engine);
int bodyCount(CGameEngine* engine);

} // namespace entitytest
