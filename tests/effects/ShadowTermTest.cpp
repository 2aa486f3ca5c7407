// The ground's shadow term on OpenGL, read back from the scene target: the "flat" test mission
// with its rock made a thin plate whose top is 1 unit above the ground, 15 m ahead of the car. The
// ground's colour passes and the lit pass are left out (their materials taken away, which hides
// what they would draw), so the ground shows the shadow term alone: 1 in light, 0.45 in shadow.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

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

void writePlateMission(const std::string& root)
{
    std::ifstream in(std::string(SANDVOLT_FIXTURE_DIR) + "/missions/flat/mission.xml");
    std::stringstream text;
    text << in.rdbuf();
    std::string mission = text.str();
    // The rock's box is 2 x 1.5 x 2: scaled to a 4 x 0.15 x 4 plate from 0.85 to 1 above the ground.
    const std::string rock = "<Position X=\"12\" Y=\"0\" Z=\"40\"/>\n\t<Rotation X=\"0\" Y=\"30\" Z=\"0\"/>\n"
                             "\t<Scale X=\"2\" Y=\"1.5\" Z=\"2\"/>";
    const size_t at = mission.find(rock);
    if (at != std::string::npos)
        mission.replace(at, rock.size(), "<Position X=\"0\" Y=\"0.85\" Z=\"-105\"/>\n\t<Rotation X=\"0\" Y=\"0\" Z=\"0\"/>\n"
                                         "\t<Scale X=\"2\" Y=\"0.1\" Z=\"2\"/>");
    std::filesystem::create_directories(root + "/missions/plate");
    std::ofstream(root + "/missions/plate/mission.xml") << mission;
    std::filesystem::copy_file(std::string(SANDVOLT_FIXTURE_DIR) + "/missions/flat/waypoints.xml",
                               root + "/missions/plate/waypoints.xml");
}

class ShadowTerm : public ::testing::TestWithParam<s32> {
protected:
    ShadowTerm()
    {
        testsupport::linkRunFolder(dir.path(), SANDVOLT_FIXTURE_DIR, false);
        writePlateMission(dir.path());
        engine.settings.shadows = GetParam();
        engine.settings.postProcessing = true;
        gameData.setEngine(engine.get());
        testsupport::captureStdout([&] {
            sounds = new CSoundManager(&engine.settings, engine.get());
            camera = new CChaseCamera(engine.get());
            bool supported = false;
            shaders = new CShaderManager(engine.get(), &engine.settings, &supported);
            race = new CRace(engine.get(), &engine.settings, &gameData, &entities, sounds, camera, shaders,
                             nullptr, nullptr);
            loaded = gameData.loadMission("missions/plate/", &entities, sounds, &engine.settings);
        });
        engine->setGameState(EGS_RACE);
        race->prepareMaterials();
        race->begin();
        for (u32 f = 1; f <= 60; ++f) {
            engine->getDevice()->getTimer()->setTime(1000 + f * 1000 / 60);
            race->updateFrame();
        }
        for (E_SHADER_MATERIAL m : {ESM_SPLATTING_BLEND, ESM_LIGHTING, ESM_LIGHTING_ALPHAREF, ESM_LIGHTING_BLEND})
            shaders->materials[m] = -1;
    }
    ~ShadowTerm()
    {
        testsupport::captureStdout([&] { entities.clear(); });
        delete race;
        video::IVideoDriver* driver = engine->getVideoDriver();
        for (video::ITexture* target : shaders->shadowTargets)
            if (target)
                driver->removeTexture(target);
        for (video::ITexture* target : shaders->bloomTargets)
            if (target)
                driver->removeTexture(target);
        delete shaders;
        delete camera;
        delete sounds;
    }

    // The shadow term's mean over the 5 x 5 pixels round the point of the ground at (x, z).
    float termAt(f32 x, f32 z)
    {
        video::IVideoDriver* driver = engine->getVideoDriver();
        driver->beginScene(true, true, video::SColor(0xFFFFFFFF));
        race->drawScene();
        driver->endScene();
        const core::position2d<s32> at =
            engine->getSceneManager()->getSceneCollisionManager()->getScreenCoordinatesFrom3DPosition({x, 0.0f, z});
        video::ITexture* target = shaders->bloomTargets[0];
        const s32 w = static_cast<s32>(target->getSize().Width), h = static_cast<s32>(target->getSize().Height);
        const u32* texels = static_cast<const u32*>(target->lock(video::ETLM_READ_ONLY));
        if (!texels || at.X < 2 || at.Y < 2 || at.X >= w - 2 || at.Y >= h - 2) {
            if (texels)
                target->unlock();
            ADD_FAILURE() << "ground point off the picture: " << at.X << ", " << at.Y;
            return -1.0f;
        }
        float sum = 0.0f;
        for (s32 y = at.Y - 2; y <= at.Y + 2; ++y)
            for (s32 x2 = at.X - 2; x2 <= at.X + 2; ++x2)
                sum += video::SColor(texels[y * w + x2]).getRed() / 255.0f;
        target->unlock();
        return sum / 25.0f;
    }

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

// A caster only 1 unit above the ground shadows it fully, at both map sizes; the open ground
// beside it stays in full light.
TEST_P(ShadowTerm, APlateOneUnitAboveTheGroundCastsAFullShadow)
{
    ASSERT_TRUE(loaded);
    termAt(0.0f, -105.0f);
    // The plate's shadow centre, seen from the light camera above the car.
    const core::vector3df light = shaders->getLightCamera()->getPosition();
    const core::vector3df top(0.0f, 1.0f, -105.0f);
    const core::vector3df ground = light + (top - light) * (light.Y / (light.Y - top.Y));
    EXPECT_NEAR(termAt(ground.X, ground.Z), 0.45f, 0.04f);
    EXPECT_GT(termAt(ground.X + 4.0f, ground.Z), 0.97f);
}

INSTANTIATE_TEST_SUITE_P(MapSizes, ShadowTerm, ::testing::Values(1, 2));

} // namespace
