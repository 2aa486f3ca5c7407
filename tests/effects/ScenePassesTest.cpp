// The race's scene passes on OpenGL, read back as pictures: the "flat" test mission (its ground,
// a rock, the player's car) raced for a moment, then drawn with the settings under test. The
// scene itself is read from bloom target 0, the finished picture from the back buffer.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <vector>

#include "CGLEngine.h"
#include "support/TestSupport.h"
#include "audio/CSoundManager.h"
#include "core/CGameData.h"
#include "core/CGameEngine.h"
#include "effects/CShaderManager.h"
#include "race/CChaseCamera.h"
#include "race/CRace.h"
#include "world/CEntityManager.h"
#include "world/CVehicleEntity.h"

using namespace irr;

namespace {

struct SPicture {
    u32 width = 0, height = 0;
    std::vector<video::SColor> pixels;
    float brightness(size_t i) const
    {
        const video::SColor& c = pixels[i];
        return (0.299f * c.getRed() + 0.587f * c.getGreen() + 0.114f * c.getBlue()) / 255.0f;
    }
};

class ScenePasses : public ::testing::Test {
protected:
    ScenePasses()
    {
        testsupport::linkRunFolder(dir.path(), SANDVOLT_FIXTURE_DIR, false);
        engine.settings.shadows = 1;
        engine.settings.postProcessing = true;
        gameData.setEngine(engine.get());
        testsupport::captureStdout([&] {
            sounds = new CSoundManager(&engine.settings, engine.get());
            camera = new CChaseCamera(engine.get());
            bool supported = false;
            shaders = new CShaderManager(engine.get(), &engine.settings, &supported);
            race = new CRace(engine.get(), &engine.settings, &gameData, &entities, sounds, camera, shaders,
                             nullptr, nullptr);
            loaded = gameData.loadMission("missions/flat/", &entities, sounds, &engine.settings);
        });
        engine->setGameState(EGS_RACE);
        race->prepareMaterials();
        race->begin();
        // A second of the countdown: the car settles and the camera is behind it.
        for (u32 f = 1; f <= 60; ++f) {
            engine->getDevice()->getTimer()->setTime(1000 + f * 1000 / 60);
            race->updateFrame();
        }
    }
    ~ScenePasses()
    {
        testsupport::captureStdout([&] { entities.clear(); });
        delete race;
        delete shaders;
        delete camera;
        delete sounds;
    }

    // One frame's scene, and the finished picture on the back buffer.
    void draw(SPicture& scene, SPicture& finished)
    {
        video::IVideoDriver* driver = engine->getVideoDriver();
        driver->beginScene(true, true, video::SColor(0xFFFFFFFF));
        race->drawScene();
        const core::dimension2d<u32> size = driver->getScreenSize();
        finished.width = size.Width;
        finished.height = size.Height;
        std::vector<u8> rgba(size.Width * size.Height * 4);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, size.Width, size.Height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        finished.pixels.resize(size.Width * size.Height);
        for (u32 y = 0; y < size.Height; ++y)
            for (u32 x = 0; x < size.Width; ++x) {
                const u8* p = &rgba[((size.Height - 1 - y) * size.Width + x) * 4];
                finished.pixels[y * size.Width + x] = video::SColor(255, p[0], p[1], p[2]);
            }
        driver->endScene();
        read(shaders->bloomTargets[0], scene);
    }

    static void read(video::ITexture* target, SPicture& picture)
    {
        picture.width = target->getSize().Width;
        picture.height = target->getSize().Height;
        picture.pixels.resize(picture.width * picture.height);
        const u32* texels = static_cast<const u32*>(target->lock(video::ETLM_READ_ONLY));
        ASSERT_NE(texels, nullptr);
        for (size_t i = 0; i < picture.pixels.size(); ++i)
            picture.pixels[i] = video::SColor(texels[i] | 0xFF000000);
        target->unlock();
    }

    testsupport::CScratchDir dir;
    testsupport::CWorkingDir cwd{dir.path()};
    effectstest::CGLEngine engine{640, 480};
    CGameData gameData{nullptr};
    CEntityManager entities{engine.get()};
    CSoundManager* sounds = nullptr;
    CChaseCamera* camera = nullptr;
    CShaderManager* shaders = nullptr;
    CRace* race = nullptr;
    bool loaded = false;
};

// Pixels of `a` darker (or brighter) than the same pixels of `b` by more than `by`.
int countDarker(const SPicture& a, const SPicture& b, float by)
{
    int n = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        n += a.brightness(i) < b.brightness(i) - by;
    return n;
}

TEST_F(ScenePasses, TheCarCastsAShadowOnTheGroundWithShadowsOnOnly)
{
    ASSERT_TRUE(loaded);
    SPicture shadowed, finished, plain;
    draw(shadowed, finished);
    engine.settings.shadows = 0;
    draw(plain, finished);
    // The car's shadow on the ground round its wheels; nothing gets lighter.
    EXPECT_GT(countDarker(shadowed, plain, 0.1f), 300);
    EXPECT_EQ(countDarker(plain, shadowed, 0.02f), 0);
    // The ground below the horizon is nowhere black or missing (above it, without a sky box, the
    // scene target keeps its black).
    int black = 0;
    for (size_t i = shadowed.pixels.size() / 2; i < shadowed.pixels.size(); ++i)
        black += shadowed.brightness(i) < 0.05f;
    EXPECT_LT(black, 50);
}

TEST_F(ScenePasses, BloomBrightensTheSceneAroundItsBrightPartsOnly)
{
    ASSERT_TRUE(loaded);
    SPicture scene, glowing, unused, plain;
    draw(scene, glowing);
    engine.settings.postProcessing = false;
    draw(unused, plain);
    ASSERT_EQ(scene.pixels.size(), glowing.pixels.size());
    // Without bloom the scene reaches the screen as it is.
    EXPECT_LT(countDarker(plain, scene, 0.03f) + countDarker(scene, plain, 0.03f), 50);
    // With it, nothing darkens, and the glow spills onto dull pixels next to bright ones.
    EXPECT_EQ(countDarker(glowing, scene, 0.02f), 0);
    int dullLit = 0;
    for (size_t i = 0; i < scene.pixels.size(); ++i)
        dullLit += scene.brightness(i) < 0.6f && glowing.brightness(i) > scene.brightness(i) + 0.04f;
    EXPECT_GT(dullLit, 100);
}

} // namespace
