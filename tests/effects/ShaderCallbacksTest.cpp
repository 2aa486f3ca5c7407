// The constant callbacks of the race's shader materials, against a recording stand-in for the
// constant services, on OpenGL: which names are looked up and when, and the values set by id.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "support/TestSupport.h"
#include "CRecordingConstants.h"
#include "core/CGameEngine.h"
#include "effects/CCombine2Tex_CB.h"
#include "effects/CDepth_CB.h"
#include "effects/CScreen_CB.h"
#include "effects/CScreen_FB_CB.h"
#include "effects/CSplatting3Tex_CB.h"
#include "effects/CVSM_FB_CB.h"
#include "effects/LightingCB.h"
#include "platform/CShaderConstantAdapter.h"

using namespace irr;
using effectstest::CRecordingConstants;
using effectstest::SSetConstant;

namespace {

struct SCallbackCase {
    const char* name;
    std::function<CShaderCallback*(CGameEngine*, scene::ICameraSceneNode*)> make;
    // Every constant, "v:" or "p:" by stage, in the order the values are set.
    std::vector<std::string> sets;
};

const SCallbackCase kCallbacks[] = {
    {"CDepth_CB", [](CGameEngine* e, scene::ICameraSceneNode*) { return new CDepth_CB(e); },
     {"v:WVP", "p:DiffuseTexture"}},
    {"CVSM_FB_CB", [](CGameEngine* e, scene::ICameraSceneNode* c) { return new CVSM_FB_CB(e, c, c); },
     {"v:WVP", "v:WVPS", "v:W", "v:S", "p:TextureSize", "p:CameraPosition", "p:Far", "p:Near", "p:ShadowMap"}},
    {"LightingCB", [](CGameEngine* e, scene::ICameraSceneNode*) { return new LightingCB(e); },
     {"v:WVP", "v:iW", "v:tW", "p:eyePosition", "p:lightPosition", "p:DiffuseTexture"}},
    {"CSplatting3Tex_CB", [](CGameEngine* e, scene::ICameraSceneNode*) { return new CSplatting3Tex_CB(e); },
     {"v:WVP", "v:W", "v:Resolution", "p:Blending", "p:S0", "p:C00", "p:C01", "p:C02"}},
    {"CScreen_CB", [](CGameEngine* e, scene::ICameraSceneNode*) { return new CScreen_CB(e, false); },
     {"v:TexelOffset", "v:YUV", "p:ScreenMap"}},
    {"CScreen_FB_CB", [](CGameEngine* e, scene::ICameraSceneNode*) { return new CScreen_FB_CB(e, false); },
     {"v:TexelOffset", "v:YUV", "p:TextureSize", "p:ScreenMap"}},
    {"CCombine2Tex_CB", [](CGameEngine* e, scene::ICameraSceneNode*) { return new CCombine2Tex_CB(e, false); },
     {"v:TexelOffset", "v:YUV", "p:FirstMap", "p:SecondMap"}},
};

// The name behind each recorded set, in order.
std::vector<std::string> setNames(const CRecordingConstants& r, const std::vector<std::string>& lookups)
{
    std::vector<std::string> out;
    for (const SSetConstant& s : r.sets) {
        const size_t index = static_cast<size_t>(s.id - 100);
        out.push_back(index < lookups.size() ? lookups[index] : "?");
    }
    return out;
}

void expectMatrix(const SSetConstant* set, const core::matrix4& m, const char* what)
{
    ASSERT_NE(set, nullptr) << what;
    ASSERT_EQ(set->floats.size(), 16u) << what;
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(set->floats[i], m[i], 1e-4f) << what << " element " << i;
}

class ShaderCallbacks : public ::testing::Test {
protected:
    ShaderCallbacks() : recorder(engine->getVideoDriver())
    {
        scene::ISceneManager* scene = engine->getSceneManager();
        camera = scene->addCameraSceneNode(nullptr, core::vector3df(3, 4, 5), core::vector3df(0, 0, 50));
        light = scene->addCameraSceneNode(nullptr, core::vector3df(10, 300, 20), core::vector3df(10, 0, 20));
        light->setFarValue(1000.0f);
        light->render(); // its view matrix
        scene->setActiveCamera(camera);
        video::IVideoDriver* driver = engine->getVideoDriver();
        projection.buildProjectionMatrixPerspectiveFovLH(0.9f, 1.3f, 1.0f, 500.0f);
        view.buildCameraLookAtMatrixLH(core::vector3df(1, 2, 3), core::vector3df(4, 0, 9), core::vector3df(0, 1, 0));
        world.setRotationDegrees(core::vector3df(0, 30, 0));
        world.setTranslation(core::vector3df(7, 1, -2));
        world.setScale(core::vector3df(2, 1, 1));
        driver->setTransform(video::ETS_PROJECTION, projection);
        driver->setTransform(video::ETS_VIEW, view);
        driver->setTransform(video::ETS_WORLD, world);
    }

    core::matrix4 pvw() const
    {
        core::matrix4 m = projection;
        m *= view;
        m *= world;
        return m;
    }

    testsupport::CGLEngine engine;
    CRecordingConstants recorder;
    scene::ICameraSceneNode* camera;
    scene::ICameraSceneNode* light;
    core::matrix4 projection, view, world;
};

TEST_F(ShaderCallbacks, FirstCallLooksEveryNameUpOnceLaterCallsSetByIdOnly)
{
    for (const SCallbackCase& c : kCallbacks) {
        CShaderCallback* callback = c.make(engine.get(), light);
        recorder.clear();
        callback->setConstants(&recorder);
        std::vector<std::string> sorted = recorder.lookups, expected = c.sets;
        std::sort(sorted.begin(), sorted.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(sorted, expected) << c.name;
        const std::vector<std::string> lookups = recorder.lookups;
        EXPECT_EQ(setNames(recorder, lookups), c.sets) << c.name;

        recorder.sets.clear();
        recorder.lookups.clear();
        callback->setConstants(&recorder);
        callback->setConstants(&recorder);
        EXPECT_TRUE(recorder.lookups.empty()) << c.name;
        std::vector<std::string> twice = c.sets;
        twice.insert(twice.end(), c.sets.begin(), c.sets.end());
        EXPECT_EQ(setNames(recorder, lookups), twice) << c.name;
        callback->drop();
    }
}

TEST_F(ShaderCallbacks, ShadowTermGetsBothViewsTheBiasMatrixAndTheMapsSize)
{
    CVSM_FB_CB* callback = new CVSM_FB_CB(engine.get(), camera, light);
    callback->setTextureSize(1024, 1024);
    callback->setConstants(&recorder);

    expectMatrix(recorder.find("WVP", true), pvw(), "WVP");
    core::matrix4 wvps = light->getProjectionMatrix();
    wvps *= light->getViewMatrix();
    wvps *= world;
    expectMatrix(recorder.find("WVPS", true), wvps, "WVPS");
    expectMatrix(recorder.find("W", true), world, "W");
    // OpenGL: the map's rows run up, and texel centres sit half a texel in.
    core::matrix4 bias(core::matrix4::EM4CONST_NOTHING);
    for (int i = 0; i < 16; ++i)
        bias[i] = 0.0f;
    bias[0] = 0.5f;
    bias[5] = 0.5f;
    bias[10] = bias[15] = 1.0f;
    bias[12] = bias[13] = 0.50048828f;
    core::matrix4 s = bias;
    s *= wvps;
    expectMatrix(recorder.find("S", true), s, "S");

    EXPECT_EQ(recorder.find("TextureSize", false)->floats, (std::vector<float>{1024.0f, 1024.0f}));
    EXPECT_EQ(recorder.find("CameraPosition", false)->floats, (std::vector<float>{3.0f, 4.0f, 5.0f}));
    EXPECT_EQ(recorder.find("Far", false)->floats, (std::vector<float>{1000.0f}));
    EXPECT_EQ(recorder.find("Near", false)->floats, (std::vector<float>{light->getNearValue()}));
    EXPECT_EQ(recorder.find("ShadowMap", false)->ints, (std::vector<s32>{4}));
    callback->drop();
}

TEST_F(ShaderCallbacks, LightingGetsTheNormalsMatrixAndAFixedSun)
{
    LightingCB* callback = new LightingCB(engine.get());
    callback->setConstants(&recorder);
    expectMatrix(recorder.find("WVP", true), pvw(), "WVP");
    expectMatrix(recorder.find("tW", true), world.getTransposed(), "tW");
    core::matrix4 inverse;
    ASSERT_TRUE(world.getInverse(inverse));
    expectMatrix(recorder.find("iW", true), inverse.getTransposed(), "iW");
    EXPECT_EQ(recorder.find("lightPosition", false)->floats, (std::vector<float>{0.0f, 700.0f, 120.0f}));
    EXPECT_EQ(recorder.find("eyePosition", false)->floats, (std::vector<float>{3.0f, 4.0f, 5.0f}));
    EXPECT_EQ(recorder.find("DiffuseTexture", false)->ints, (std::vector<s32>{0}));

    // A world flattened on one axis has no inverse: its own transpose stands in.
    core::matrix4 flat = world;
    flat.setScale(core::vector3df(2, 0, 1));
    engine->getVideoDriver()->setTransform(video::ETS_WORLD, flat);
    light->setPosition(core::vector3df(-50, 20, 0));
    recorder.sets.clear();
    callback->setConstants(&recorder);
    expectMatrix(recorder.find("iW", true), flat.getTransposed(), "iW of a flat world");
    EXPECT_EQ(recorder.find("lightPosition", false)->floats, (std::vector<float>{0.0f, 700.0f, 120.0f}));
    callback->drop();
}

TEST_F(ShaderCallbacks, SplattingAndScreenPassesGetTheirSizesAndSamplerUnits)
{
    CSplatting3Tex_CB* splatting = new CSplatting3Tex_CB(engine.get());
    splatting->setConstants(&recorder);
    expectMatrix(recorder.find("WVP", true), pvw(), "WVP");
    expectMatrix(recorder.find("W", true), world, "W");
    EXPECT_EQ(recorder.find("Resolution", true)->floats, (std::vector<float>{16.0f, 25.0f, 25.0f}));
    EXPECT_EQ(recorder.find("Blending", false)->floats, (std::vector<float>{0.2f, 7.0f, 23.0f}));
    const char* units[] = {"S0", "C00", "C01", "C02"};
    for (s32 i = 0; i < 4; ++i)
        EXPECT_EQ(recorder.find(units[i], false)->ints, (std::vector<s32>{i})) << units[i];
    splatting->drop();

    // OpenGL, with the offset meant for Direct3D 9: none, and the flip of OpenGL.
    {
        CScreen_FB_CB* screen = new CScreen_FB_CB(engine.get(), false);
        screen->setTextureSize(341, 192);
        recorder.clear();
        screen->setConstants(&recorder);
        EXPECT_EQ(recorder.find("TexelOffset", true)->floats, (std::vector<float>{0.0f, 0.0f}));
        EXPECT_EQ(recorder.find("YUV", true)->ints, (std::vector<s32>{-1, 1}));
        EXPECT_EQ(recorder.find("TextureSize", false)->floats, (std::vector<float>{341.0f, 192.0f}));
        EXPECT_EQ(recorder.find("ScreenMap", false)->ints, (std::vector<s32>{0}));
        screen->drop();
    }
    // The offset, where it applies, is half a pixel of the current target (here the 1366 x 768
    // screen) towards the top left.
    CScreen_FB_CB* offset = new CScreen_FB_CB(engine.get(), true);
    recorder.clear();
    offset->setConstants(&recorder);
    const std::vector<float> texel = recorder.find("TexelOffset", true)->floats;
    ASSERT_EQ(texel.size(), 2u);
    EXPECT_FLOAT_EQ(texel[0], -1.0f / 1366.0f);
    EXPECT_FLOAT_EQ(texel[1], 1.0f / 768.0f);
    offset->drop();
    CScreen_CB* copy = new CScreen_CB(engine.get(), false);
    recorder.clear();
    copy->setConstants(&recorder);
    EXPECT_EQ(recorder.find("YUV", true)->ints, (std::vector<s32>{-1, 1}));
    EXPECT_EQ(recorder.find("ScreenMap", false)->ints, (std::vector<s32>{0}));
    copy->drop();
    CCombine2Tex_CB* combine = new CCombine2Tex_CB(engine.get(), false);
    recorder.clear();
    combine->setConstants(&recorder);
    EXPECT_EQ(recorder.find("TexelOffset", true)->floats, (std::vector<float>{0.0f, 0.0f}));
    EXPECT_EQ(recorder.find("FirstMap", false)->ints, (std::vector<s32>{0}));
    EXPECT_EQ(recorder.find("SecondMap", false)->ints, (std::vector<s32>{1}));
    combine->drop();
}

// The engine library's side of the adapter: constants set by name, floats and integers apart.
class CNamedConstants : public video::IMaterialRendererServices {
public:
    struct SCall { bool vertex; std::string name; std::vector<float> floats; std::vector<s32> ints; };
    void setBasicRenderStates(const video::SMaterial&, const video::SMaterial&, bool) override {}
    bool setVertexShaderConstant(const c8* n, const f32* v, int c) override { return add(true, n, v, nullptr, c); }
    bool setVertexShaderConstant(const c8*, const bool*, int) override { return false; }
    bool setVertexShaderConstant(const c8* n, const s32* v, int c) override { return add(true, n, nullptr, v, c); }
    void setVertexShaderConstant(const f32*, s32, s32) override {}
    bool setPixelShaderConstant(const c8* n, const f32* v, int c) override { return add(false, n, v, nullptr, c); }
    bool setPixelShaderConstant(const c8*, const bool*, int) override { return false; }
    bool setPixelShaderConstant(const c8* n, const s32* v, int c) override { return add(false, n, nullptr, v, c); }
    void setPixelShaderConstant(const f32*, s32, s32) override {}
    video::IVideoDriver* getVideoDriver() override { return nullptr; }
    std::vector<SCall> calls;

private:
    bool add(bool vertex, const c8* name, const f32* f, const s32* i, int count)
    {
        calls.push_back({vertex, name, f ? std::vector<float>(f, f + count) : std::vector<float>(),
                         i ? std::vector<s32>(i, i + count) : std::vector<s32>()});
        return true;
    }
};

TEST(ShaderConstantAdapter, AnIdStandsForItsNameInEveryMaterial)
{
    CNamedConstants first, second;
    CShaderConstantAdapter a(&first), b(&second);
    const s32 wvp = a.getVertexShaderConstantID("WVP");
    const s32 map = a.getPixelShaderConstantID("ScreenMap");
    EXPECT_NE(wvp, map);
    // Another material's program: the same name, the same id, whichever stage asks.
    EXPECT_EQ(b.getPixelShaderConstantID("WVP"), wvp);
    EXPECT_EQ(b.getVertexShaderConstantID("ScreenMap"), map);

    const f32 m[16] = {1, 2, 3};
    const s32 unit = 4;
    b.setVertexShaderConstant(wvp, m, 16);
    b.setPixelShaderConstant(map, &unit, 1);
    b.setPixelShaderConstant(-1, &unit, 1);
    b.setPixelShaderConstant(1 << 20, &unit, 1);
    ASSERT_EQ(second.calls.size(), 2u);
    EXPECT_TRUE(second.calls[0].vertex);
    EXPECT_EQ(second.calls[0].name, "WVP");
    EXPECT_EQ(second.calls[0].floats, std::vector<float>(m, m + 16));
    EXPECT_FALSE(second.calls[1].vertex);
    EXPECT_EQ(second.calls[1].name, "ScreenMap");
    EXPECT_EQ(second.calls[1].ints, std::vector<s32>{4});
    EXPECT_TRUE(first.calls.empty());
}

TEST(ShaderCallbackThroughEngine, OnSetConstantsSetsByNameThroughTheAdapter)
{
    testsupport::CNullEngine engine;
    CNamedConstants services;
    CScreen_CB* callback = new CScreen_CB(engine.get(), false);
    callback->OnSetConstants(&services, 0);
    callback->OnSetConstants(&services, 0);
    ASSERT_EQ(services.calls.size(), 6u);
    const char* names[] = {"TexelOffset", "YUV", "ScreenMap"};
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(services.calls[i].name, names[i % 3]);
    EXPECT_EQ(services.calls[1].ints, (std::vector<s32>{-1, 1}));
    callback->drop();
}

} // namespace
