// The ground's shadow term on OpenGL, read back from the scene target: the "flat" test mission
// with its rock made a thin plate whose top is 1 unit above the ground, 15 m ahead of the car. The
// ground's colour passes and the lit pass are left out (their materials taken away, which hides
// what they would draw), so the ground shows the shadow term alone: 1 in light, 0.45 in shadow.
// Each case runs at both shadow map sizes.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "CRaceSceneFixture.h"
#include "core/CGameEngine.h"
#include "effects/CShaderManager.h"
#include "race/CRace.h"

using namespace irr;

namespace {

// The plate's top is 1 unit above the ground, its sides 4 units long, square to the axes.
const f32 kPlateTop = 1.0f;
const f32 kPlateSide = 4.0f;
const f32 kShadowLight = 0.45f;

// "missions/plate/": the flat mission with its rock made the plate, centred at (x, z).
void writePlateMission(const std::string& root, const char* name, f32 x, f32 z)
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
        mission.replace(at, rock.size(),
                        "<Position X=\"" + std::to_string(x) + "\" Y=\"0.85\" Z=\"" + std::to_string(z) +
                            "\"/>\n\t<Rotation X=\"0\" Y=\"0\" Z=\"0\"/>\n\t<Scale X=\"2\" Y=\"0.1\" Z=\"2\"/>");
    const std::string folder = root + "/missions/" + name;
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/mission.xml") << mission;
    std::filesystem::copy_file(std::string(SANDVOLT_FIXTURE_DIR) + "/missions/flat/waypoints.xml",
                               folder + "/waypoints.xml");
}

class ShadowTerm : public CRaceSceneFixture, public ::testing::WithParamInterface<s32> {
protected:
    explicit ShadowTerm(f32 plateX = 0.0f, f32 plateZ = -105.0f)
    {
        writePlateMission(dir.path(), "plate", plateX, plateZ);
        start("missions/plate/", GetParam());
        for (E_SHADER_MATERIAL m : {ESM_SPLATTING_BLEND, ESM_LIGHTING, ESM_LIGHTING_ALPHAREF, ESM_LIGHTING_BLEND})
            shaders->materials[m] = -1;
    }

    // The shadow term at the ground point (x, z) of a drawn scene: the mean of the 5 x 5 pixels
    // round it, or of that one pixel.
    float termAt(const SPicture& scene, f32 x, f32 z, bool single = false)
    {
        s32 px = 0, py = 0;
        if (!groundPixel(scene, x, z, 2, px, py)) {
            ADD_FAILURE() << "ground point off the picture: " << px << ", " << py;
            return -1.0f;
        }
        const s32 reach = single ? 0 : 2;
        float sum = 0.0f;
        for (s32 y = py - reach; y <= py + reach; ++y)
            for (s32 x2 = px - reach; x2 <= px + reach; ++x2)
                sum += scene.pixels[y * scene.width + x2].getRed() / 255.0f;
        return sum / static_cast<float>((2 * reach + 1) * (2 * reach + 1));
    }

    // Where a point `height` above the ground at (x, z) throws its shadow, seen from the light.
    core::vector3df shadowOf(f32 x, f32 height, f32 z)
    {
        const core::vector3df light = shaders->getLightCamera()->getPosition();
        const core::vector3df point(x, height, z);
        return light + (point - light) * (light.Y / (light.Y - height));
    }

    // The side of a shadow map texel on the ground below the light.
    f32 texelOnGround()
    {
        scene::ICameraSceneNode* light = shaders->getLightCamera();
        const f32 side = static_cast<f32>(shaders->shadowTargets[0]->getSize().Width);
        return 2.0f * light->getPosition().Y * std::tan(light->getFOV() / 2.0f) / side;
    }

    // The shadow map as it leaves the blurs: four floats a texel, rows as the driver keeps them.
    std::vector<float> readShadowMap()
    {
        video::IVideoDriver* driver = engine->getVideoDriver();
        video::ITexture* map = shaders->shadowTargets[0];
        const u32 side = map->getSize().Width;
        std::vector<float> texels(side * side * 4);
        driver->setRenderTarget(map, false, false, video::SColor(0));
        glReadPixels(0, 0, side, side, GL_RGBA, GL_FLOAT, texels.data());
        driver->setRenderTarget(nullptr, false, false, video::SColor(0));
        return texels;
    }
};

// A caster only 1 unit above the ground shadows it fully; the open ground beside it stays in
// full light.
TEST_P(ShadowTerm, APlateOneUnitAboveTheGroundCastsAFullShadow)
{
    ASSERT_TRUE(loaded);
    drawScene();
    const SPicture scene = drawScene();
    const core::vector3df centre = shadowOf(0.0f, kPlateTop, -105.0f);
    EXPECT_NEAR(termAt(scene, centre.X, centre.Z), kShadowLight, 0.04f);
    EXPECT_GT(termAt(scene, centre.X + kPlateSide, centre.Z), 0.97f);
}

// Across the plate's shadow the term falls from full light to full shadow in a ramp several
// texels wide, not in a step; the half-way points on both sides lie where the plate's edges throw
// their shadow, within a texel, so the shadow keeps the plate's size.
TEST_P(ShadowTerm, TheShadowKeepsThePlatesSizeAndHasASoftEdge)
{
    ASSERT_TRUE(loaded);
    drawScene();
    const SPicture scene = drawScene();
    const core::vector3df centre = shadowOf(0.0f, kPlateTop, -105.0f);
    const f32 texel = texelOnGround();
    const f32 half = shadowOf(kPlateSide / 2.0f, kPlateTop, -105.0f).X - centre.X;
    const f32 step = texel / 8.0f;
    std::vector<float> term;
    for (f32 x = centre.X - 2.0f * half; x <= centre.X + 2.0f * half; x += step)
        term.push_back(termAt(scene, x, centre.Z, true));
    const float middle = (1.0f + kShadowLight) / 2.0f, spread = 1.0f - kShadowLight;
    // The first and last sample in shadow beyond half-way, and the left edge's ramp from 90 % to
    // 10 % of the light.
    int left = -1, right = -1, litEnd = -1, darkStart = -1;
    for (int i = 0; i < static_cast<int>(term.size()); ++i) {
        if (term[i] < middle) {
            right = i;
            if (left < 0)
                left = i;
        }
        if (left < 0 && term[i] >= kShadowLight + 0.9f * spread)
            litEnd = i;
        if (darkStart < 0 && term[i] <= kShadowLight + 0.1f * spread)
            darkStart = i;
    }
    ASSERT_GE(left, 0);
    ASSERT_GT(litEnd, 0);
    ASSERT_GT(darkStart, litEnd);
    const f32 width = static_cast<f32>(right - left) * step;
    EXPECT_NEAR(width, 2.0f * half, texel) << "texel " << texel;
    const f32 ramp = static_cast<f32>(darkStart - litEnd) * step;
    EXPECT_GT(ramp, 1.5f * texel);
    EXPECT_LT(ramp, 6.0f * texel);
    // Fully dark inside, fully lit well outside.
    EXPECT_LT(term[term.size() / 2], kShadowLight + 0.03f);
    EXPECT_GT(term.front(), 0.97f);
    EXPECT_GT(term.back(), 0.97f);
}

// Two draws of the same frame give the same pixels, on the screen and in the scene.
TEST_P(ShadowTerm, TwoDrawsOfTheSameFrameAreTheSame)
{
    ASSERT_TRUE(loaded);
    SPicture scenes[2], finished[2];
    draw(scenes[0], finished[0]);
    // Whatever the targets held before (another frame, another race) takes no part: every target
    // is filled with a colour no pass writes, its depth too, before the second draw.
    video::IVideoDriver* driver = engine->getVideoDriver();
    driver->beginScene(true, true, video::SColor(0xFF3377AA));
    for (video::ITexture* target : shaders->shadowTargets)
        driver->setRenderTarget(target, true, true, video::SColor(0x10204080));
    for (video::ITexture* target : shaders->bloomTargets)
        driver->setRenderTarget(target, true, true, video::SColor(0xFF00FF00));
    driver->setRenderTarget(nullptr, false, false, video::SColor(0));
    driver->endScene();
    draw(scenes[1], finished[1]);
    EXPECT_TRUE(scenes[0] == scenes[1]);
    EXPECT_TRUE(finished[0] == finished[1]);
}

INSTANTIATE_TEST_SUITE_P(MapSizes, ShadowTerm, ::testing::Values(1, 2));

} // namespace
