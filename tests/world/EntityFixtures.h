#pragma once
// Small real files, counters and a world of entities shared by the entity tests.
#include <gtest/gtest.h>
#include <irrlicht.h>
#include <string>
#include <vector>

#include "support/TestSupport.h"
#include "world/CEntityManager.h"

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
// Every node below the scene root, the root itself not counted.
int sceneNodeCount(CGameEngine* engine);
int bodyCount(CGameEngine* engine);

// The game's engine object on the null driver, an empty entity manager and a scratch folder for
// the meshes and images the entities load.
class EntityWorldTest : public ::testing::Test {
protected:
    int nodes() { return sceneNodeCount(engine.get()); }
    int bodies() { return bodyCount(engine.get()); }
    // The texture of the scratch folder's file `name`, if the driver holds it.
    irr::video::ITexture* loaded(const std::string& name);

    testsupport::CScratchDir dir;
    testsupport::CNullEngine engine;
    CEntityManager manager{engine.get()};
};

} // namespace entitytest
