#include "CRaceSceneFixture.h"

#include <GL/gl.h>

#include "audio/CSoundManager.h"
#include "core/CGameEngine.h"
#include "effects/CShaderManager.h"
#include "race/CChaseCamera.h"
#include "race/CRace.h"

using namespace irr;

float SPicture::brightness(size_t i) const
{
    const video::SColor& c = pixels[i];
    return (0.299f * c.getRed() + 0.587f * c.getGreen() + 0.114f * c.getBlue()) / 255.0f;
}

bool SPicture::operator==(const SPicture& other) const
{
    return width == other.width && height == other.height && pixels == other.pixels;
}

CRaceSceneFixture::CRaceSceneFixture()
{
    testsupport::linkRunFolder(dir.path(), SANDVOLT_FIXTURE_DIR, false);
}

void CRaceSceneFixture::start(const char* mission, s32 shadows)
{
    engine.settings.shadows = shadows;
    engine.settings.postProcessing = true;
    gameData.setEngine(engine.get());
    testsupport::captureStdout([&] {
        sounds = new CSoundManager(&engine.settings, engine.get());
        camera = new CChaseCamera(engine.get());
        bool supported = false;
        shaders = new CShaderManager(engine.get(), &engine.settings, &supported);
        race = new CRace(engine.get(), &engine.settings, &gameData, &entities, sounds, camera, shaders, nullptr,
                         nullptr);
        loaded = gameData.loadMission(mission, &entities, sounds, &engine.settings);
    });
    engine->setGameState(EGS_RACE);
    race->prepareMaterials();
    race->begin();
    for (u32 f = 1; f <= 60; ++f) {
        engine->getDevice()->getTimer()->setTime(1000 + f * 1000 / 60);
        race->updateFrame();
    }
}

CRaceSceneFixture::~CRaceSceneFixture()
{
    testsupport::captureStdout([&] { entities.clear(); });
    delete race;
    if (shaders) {
        // The 2048 x 2048 float maps are large: gone with the test, not with the process.
        video::IVideoDriver* driver = engine->getVideoDriver();
        for (video::ITexture* target : shaders->shadowTargets)
            if (target)
                driver->removeTexture(target);
        for (video::ITexture* target : shaders->bloomTargets)
            if (target)
                driver->removeTexture(target);
    }
    delete shaders;
    delete camera;
    delete sounds;
}

void CRaceSceneFixture::draw(SPicture& scene, SPicture& finished)
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

SPicture CRaceSceneFixture::drawScene()
{
    SPicture scene, finished;
    draw(scene, finished);
    return scene;
}

void CRaceSceneFixture::read(video::ITexture* target, SPicture& picture)
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

bool CRaceSceneFixture::groundPixel(const SPicture& picture, f32 x, f32 z, s32 margin, s32& px, s32& py)
{
    const core::position2d<s32> at =
        engine->getSceneManager()->getSceneCollisionManager()->getScreenCoordinatesFrom3DPosition({x, 0.0f, z});
    px = at.X;
    py = at.Y;
    return at.X >= margin && at.Y >= margin && at.X < static_cast<s32>(picture.width) - margin &&
           at.Y < static_cast<s32>(picture.height) - margin;
}
