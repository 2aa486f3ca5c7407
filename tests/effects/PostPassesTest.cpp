// The game's own shader programs on OpenGL, on small fixtures read back from render targets: a
// screen pass fills its target once with the picture of one draw of the quad, the glow's
// shrinking copy reads all of the scene, and the lighting keeps a surface in full sun within its
// texture.
#include <gtest/gtest.h>

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "core/CGameEngine.h"
#include "effects/CScreenQuadEntity.h"
#include "effects/CShaderManager.h"
#include "support/TestSupport.h"

using namespace irr;

namespace {

class PostPasses : public ::testing::Test {
protected:
    PostPasses()
    {
        engine.settings.shadows = 0;
        camera = engine->getSceneManager()->addCameraSceneNode();
        bool supported = false;
        testsupport::captureStdout([&] { shaders = new CShaderManager(engine.get(), &engine.settings, &supported); });
    }
    ~PostPasses() override { delete shaders; }

    video::ITexture* plainTexture(const char* name, u32 colour, u32 side = 16)
    {
        video::IVideoDriver* driver = engine->getVideoDriver();
        video::IImage* image = driver->createImage(video::ECF_A8R8G8B8, core::dimension2du(side, side));
        image->fill(video::SColor(colour));
        video::ITexture* texture = driver->addTexture(name, image);
        image->drop();
        return texture;
    }

    testsupport::CWorkingDir cwd{SANDVOLT_RUN_DIR};
    testsupport::CGLEngine engine{320, 240};
    scene::ICameraSceneNode* camera = nullptr;
    CShaderManager* shaders = nullptr;
};

int channelGap(u32 a, u32 b)
{
    const video::SColor x(a), y(b);
    return std::max({std::abs(static_cast<int>(x.getRed()) - static_cast<int>(y.getRed())),
                     std::abs(static_cast<int>(x.getGreen()) - static_cast<int>(y.getGreen())),
                     std::abs(static_cast<int>(x.getBlue()) - static_cast<int>(y.getBlue()))});
}

// The quad is drawn twice (from its vertices, then from its mesh buffer); only one of the two
// may reach the target, and the picture is that of a pass over every pixel. A blur of a plain
// texture is that texture again wherever it lands.
TEST_F(PostPasses, AScreenPassFillsItsTargetOnceWithThePictureOfOneDraw)
{
    const u32 kColour = 0xFF4080C0;
    video::ITexture* source = plainTexture("plain", kColour, 64);
    ASSERT_NE(source, nullptr);
    CScreenQuadEntity* quad = shaders->getScreenQuad();
    const core::dimension2du size(80, 60);
    for (E_SHADER_MATERIAL m : {ESM_BLUR_H, ESM_BLUR_V}) {
        SCOPED_TRACE(m);
        ASSERT_GE(shaders->materials[m], 0);
        video::SMaterial& material = quad->getMaterial(0);
        material.setFlag(video::EMF_BILINEAR_FILTER, true);
        material.MaterialType = static_cast<video::E_MATERIAL_TYPE>(shaders->materials[m]);
        material.setTexture(0, source);
        shaders->setScreenTextureSize(64, 64);
        GLuint query = 0;
        GLuint samples = 0;
        const std::vector<u32> shot = testsupport::captureFrame(engine.get(), size, video::SColor(0xFF000000), [&] {
            glGenQueries(1, &query);
            glBeginQuery(GL_SAMPLES_PASSED, query);
            quad->drawQuad();
            glEndQuery(GL_SAMPLES_PASSED);
            glGetQueryObjectuiv(query, GL_QUERY_RESULT, &samples);
            glDeleteQueries(1, &query);
        });
        material.setTexture(0, nullptr);
        ASSERT_EQ(shot.size(), size.getArea());
        EXPECT_EQ(samples, size.getArea());
        int off = 0;
        for (u32 pixel : shot)
            off += channelGap(pixel, kColour) > 1;
        EXPECT_EQ(off, 0);
    }
}

// The glow's shrinking copy takes the mean of each 4 x 4 block of the scene: one texel brighter
// than the rest counts the same wherever it lies in its block. Greys above the glow's threshold
// keep the copy linear in brightness, so every block must come out alike.
TEST_F(PostPasses, TheShrinkingCopyReadsEveryTexelOfItsBlock)
{
    video::IVideoDriver* driver = engine->getVideoDriver();
    driver->setTextureCreationFlag(video::ETCF_CREATE_MIP_MAPS, false);
    CScreenQuadEntity* quad = shaders->getScreenQuad();
    std::vector<u32> firsts;
    for (u32 at = 0; at < 16; ++at) {
        SCOPED_TRACE(testing::Message() << "bright texel at " << at % 4 << ", " << at / 4);
        video::IImage* image = driver->createImage(video::ECF_A8R8G8B8, core::dimension2du(16, 16));
        for (u32 y = 0; y < 16; ++y)
            for (u32 x = 0; x < 16; ++x)
                image->setPixel(x, y, video::SColor(x % 4 == at % 4 && y % 4 == at / 4 ? 0xFFFFFFFF : 0xFFDADADA));
        video::ITexture* source = driver->addTexture(("block" + std::to_string(at)).c_str(), image);
        image->drop();
        video::SMaterial& material = quad->getMaterial(0);
        material.setFlag(video::EMF_BILINEAR_FILTER, true);
        material.MaterialType = static_cast<video::E_MATERIAL_TYPE>(shaders->materials[ESM_SCREEN_COPY]);
        material.setTexture(0, source);
        const std::vector<u32> shot = testsupport::captureFrame(engine.get(), core::dimension2du(4, 4),
                                                                video::SColor(0xFF000000), [&] { quad->drawQuad(); });
        material.setTexture(0, nullptr);
        ASSERT_EQ(shot.size(), 16u);
        for (u32 pixel : shot)
            EXPECT_LE(channelGap(pixel, shot[0]), 1);
        firsts.push_back(shot[0]);
    }
    driver->setTextureCreationFlag(video::ETCF_CREATE_MIP_MAPS, true);
    for (u32 first : firsts)
        EXPECT_LE(channelGap(first, firsts[0]), 2);
    // Bright, but not blown out: (15 x 0.855 + 1) / 16 is just above the threshold.
    EXPECT_GT(video::SColor(firsts[0]).getRed(), 20u);
    EXPECT_LT(video::SColor(firsts[0]).getRed(), 160u);
}

// A plane facing the sun, seen from where the sun's light reflects into the eye: full sun and
// full shine. Each pixel stays within its texture, and is still lit near to it.
TEST_F(PostPasses, ASurfaceInFullSunStaysWithinItsTexture)
{
    scene::ISceneManager* scene = engine->getSceneManager();
    scene::IMesh* plane = scene->getGeometryCreator()->createPlaneMesh(core::dimension2df(20, 20));
    scene::IMeshSceneNode* node = scene->addMeshSceneNode(plane, nullptr, -1, core::vector3df(0, 0, 120));
    plane->drop();
    // Straight above the plane, and so below the sun at (0, 700, 120).
    camera->setPosition(core::vector3df(0, 10, 120));
    camera->setUpVector(core::vector3df(0, 0, 1));
    camera->setTarget(core::vector3df(0, 0, 120));
    const u32 textures[] = {0xFF808080, 0xFFCEAB76, 0xFFF0F0F0, 0xFF2040E0};
    for (u32 colour : textures) {
        SCOPED_TRACE(testing::Message() << std::hex << colour);
        node->setMaterialTexture(0, plainTexture(("lit" + std::to_string(colour)).c_str(), colour));
        node->setMaterialFlag(video::EMF_LIGHTING, false);
        node->setMaterialType(static_cast<video::E_MATERIAL_TYPE>(shaders->materials[ESM_LIGHTING]));
        const std::vector<u32> shot = testsupport::captureFrame(engine.get(), core::dimension2du(64, 64),
                                                                video::SColor(0xFF000000), [&] { scene->drawAll(); });
        ASSERT_EQ(shot.size(), 64u * 64u);
        const video::SColor texture(colour);
        int above = 0, dim = 0;
        for (u32 pixel : shot) {
            const video::SColor c(pixel);
            above += c.getRed() > texture.getRed() + 1 || c.getGreen() > texture.getGreen() + 1 ||
                     c.getBlue() > texture.getBlue() + 1;
            dim += c.getAverage() < texture.getAverage() * 9 / 10;
        }
        EXPECT_EQ(above, 0);
        EXPECT_EQ(dim, 0);
    }
}

} // namespace
