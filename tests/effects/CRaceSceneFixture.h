// A race on OpenGL for the scene pass tests: a test mission loaded with the shader manager and
// the settings under test, raced for a second of the countdown (the car settles and the camera is
// behind it), then drawn frame by frame and read back as pictures: the scene from bloom target 0,
// the finished frame from the back buffer.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TestSupport.h"
#include "core/CGameData.h"
#include "world/CEntityManager.h"

class CChaseCamera;
class CRace;
class CShaderManager;
class CSoundManager;

struct SPicture {
    irr::u32 width = 0, height = 0;
    std::vector<irr::video::SColor> pixels;
    float brightness(size_t i) const;
    bool operator==(const SPicture& other) const;
};

class CRaceSceneFixture : public ::testing::Test {
protected:
    CRaceSceneFixture();
    ~CRaceSceneFixture() override;

    // The mission (a folder under the run folder, such as "missions/flat/") raced with these
    // shadows and post-processing on.
    void start(const char* mission, irr::s32 shadows);

    // One frame's scene, and the finished picture on the back buffer.
    void draw(SPicture& scene, SPicture& finished);
    // One frame's scene alone.
    SPicture drawScene();
    static void read(irr::video::ITexture* target, SPicture& picture);

    // The pixel of `picture` where the ground point (x, 0, z) lands on the screen; false when it
    // lies off the picture (less than `margin` pixels from its edge).
    bool groundPixel(const SPicture& picture, irr::f32 x, irr::f32 z, irr::s32 margin, irr::s32& px, irr::s32& py);

    testsupport::CScratchDir dir;
    testsupport::CWorkingDir cwd{dir.path()};
    testsupport::CGLEngine engine{640, 480};
    CGameData gameData{nullptr};
    CEntityManager entities{engine.get()};
    CSoundManager* sounds = nullptr;
    CChaseCamera* camera = nullptr;
    CShaderManager* shaders = nullptr;
    CRace* race = nullptr;
    bool loaded = false;
};
