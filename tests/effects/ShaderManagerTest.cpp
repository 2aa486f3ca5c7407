// The shader manager on OpenGL: every material built, the render targets of each shadow setting,
// what it prints, the cameras; on the null driver nothing at all; a missing shader file reported.
#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>

#include "support/TestSupport.h"
#include "core/CGameEngine.h"
#include "effects/CShaderManager.h"

using namespace irr;

namespace {

// What the manager printed, from its first line on (the engine library's log comes before).
std::string managerLines(const std::string& out)
{
    const size_t start = out.find("Shader Model 2.0 Support");
    return start == std::string::npos ? "" : out.substr(start);
}

struct SShadowCase {
    s32 shadows;
    u32 side;  // 0: no shadow targets
    const char* printed;
};

const char* const kBloomLines = "Bloom RTTs are creating... \n0, 1, 2 [DONE].\n";
const SShadowCase kShadows[] = {
    {0, 0, ""},
    {1, 1024, "Shadow RTTs are creating... \n0, 1 [DONE].\n"},
    {2, 2048, "Shadow RTTs are creating... \n0, 1 [DONE].\n"},
    {3, 2048, "Shadow RTTs are creating... \n0, 1 [DONE].\n"},
};

class ShaderManager : public ::testing::Test {
protected:
    ShaderManager() { camera = engine->getSceneManager()->addCameraSceneNode(); }
    testsupport::CWorkingDir cwd{SANDVOLT_RUN_DIR};
    testsupport::CGLEngine engine{1366, 768};
    scene::ICameraSceneNode* camera;
};

TEST_F(ShaderManager, BuildsEveryMaterialAndTheTargetsOfEachShadowSetting)
{
    video::IVideoDriver* driver = engine->getVideoDriver();
    for (const SShadowCase& c : kShadows) {
        engine.settings.shadows = c.shadows;
        bool supported = false;
        CShaderManager* shaders = nullptr;
        const std::string out = testsupport::captureStdout(
            [&] { shaders = new CShaderManager(engine.get(), &engine.settings, &supported); });
        ASSERT_TRUE(supported) << c.shadows;
        EXPECT_EQ(managerLines(out),
                  std::string("Shader Model 2.0 Support [PASSED]\n") + c.printed + kBloomLines) << c.shadows;
        EXPECT_TRUE(testsupport::gameLines(out).empty()) << out;
        for (int m = 0; m < ESM_COUNT; ++m)
            EXPECT_GE(shaders->materials[m], 0) << "material " << m << ", shadows " << c.shadows;
        for (video::ITexture* target : shaders->shadowTargets) {
            if (c.side == 0) {
                EXPECT_EQ(target, nullptr);
                continue;
            }
            ASSERT_NE(target, nullptr);
            EXPECT_EQ(target->getSize(), core::dimension2d<u32>(c.side, c.side));
            EXPECT_EQ(target->getColorFormat(), video::ECF_A32B32G32R32F);
        }
        const core::dimension2d<u32> sizes[3] = {{1366, 768}, {341, 192}, {341, 192}};
        for (int t = 0; t < 3; ++t) {
            ASSERT_NE(shaders->bloomTargets[t], nullptr);
            EXPECT_EQ(shaders->bloomTargets[t]->getSize(), sizes[t]) << t;
            EXPECT_EQ(shaders->bloomTargets[t]->getColorFormat(), video::ECF_A8R8G8B8) << t;
        }
        EXPECT_EQ(engine->getSceneManager()->getActiveCamera(), camera);
        scene::ICameraSceneNode* light = shaders->getLightCamera();
        ASSERT_NE(light, nullptr);
        EXPECT_EQ(light->getPosition(), core::vector3df(0.0f, 700.0f, 120.0f));
        EXPECT_FLOAT_EQ(light->getFarValue(), 1000.0f);
        EXPECT_FLOAT_EQ(light->getFOV(), 0.7853982f);
        // The post quad hangs hidden under the light camera: the scene never draws it.
        CScreenQuadEntity* quad = shaders->getScreenQuad();
        ASSERT_NE(quad, nullptr);
        EXPECT_EQ(reinterpret_cast<scene::ISceneNode*>(quad)->getParent(), light);
        EXPECT_FALSE(reinterpret_cast<scene::ISceneNode*>(quad)->isVisible());
        for (video::ITexture* target : shaders->shadowTargets)
            if (target)
                driver->removeTexture(target);
        delete shaders;
    }
}

TEST(ShaderManagerNullDriver, BuildsNothingAndPrintsNothing)
{
    testsupport::CNullEngine engine;
    const s32 nodes = static_cast<s32>(engine->getSceneManager()->getRootSceneNode()->getChildren().size());
    bool supported = true;
    CShaderManager* shaders = nullptr;
    const std::string out = testsupport::captureStdout(
        [&] { shaders = new CShaderManager(engine.get(), &engine.settings, &supported); });
    EXPECT_FALSE(supported);
    EXPECT_EQ(out.find("Shader"), std::string::npos) << out;
    EXPECT_EQ(out.find("RTT"), std::string::npos) << out;
    EXPECT_EQ(shaders->getLightCamera(), nullptr);
    EXPECT_EQ(shaders->getScreenQuad(), nullptr);
    EXPECT_EQ(static_cast<s32>(engine->getSceneManager()->getRootSceneNode()->getChildren().size()), nodes);
    delete shaders;
}

// A missing shader file, or a missing piece that files include, is reported and leaves out only
// the materials built from it.
TEST(ShaderManagerFiles, AMissingShaderFileIsReportedAndItsMaterialsLeftUnbuilt)
{
    const struct {
        const char* file;
        std::vector<int> unbuilt;
        int reports;
    } cases[] = {{"pp/bloom.glsl", {ESM_BLOOM}, 1},
                 {"shadow/blur.glsl", {ESM_SHADOW_BLUR_H, ESM_SHADOW_BLUR_V}, 2}};
    for (const auto& c : cases) {
        testsupport::CScratchDir dir;
        std::filesystem::create_directories(dir.file("data"));
        std::filesystem::copy(std::string(SANDVOLT_RUN_DIR) + "/data/shaders", dir.file("data/shaders"),
                              std::filesystem::copy_options::recursive);
        std::filesystem::remove(dir.file(std::string("data/shaders/") + c.file));
        testsupport::CWorkingDir cwd(dir.path());
        testsupport::CGLEngine engine(640, 480);
        bool supported = false;
        CShaderManager* shaders = nullptr;
        const std::string out = testsupport::captureStdout(
            [&] { shaders = new CShaderManager(engine.get(), &engine.settings, &supported); });
        EXPECT_TRUE(supported);
        const std::string line = std::string("ERROR: shader file \"data/shaders/") + c.file + "\" could not be read";
        EXPECT_EQ(testsupport::gameLines(out), std::vector<std::string>(c.reports, line)) << c.file;
        for (int m = 0; m < ESM_COUNT; ++m) {
            if (std::find(c.unbuilt.begin(), c.unbuilt.end(), m) != c.unbuilt.end())
                EXPECT_EQ(shaders->materials[m], -1) << c.file << " " << m;
            else
                EXPECT_GE(shaders->materials[m], 0) << c.file << " " << m;
        }
        delete shaders;
    }
}

} // namespace
