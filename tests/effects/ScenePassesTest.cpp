// The race's scene passes on OpenGL, read back as pictures: the "flat" test mission (its ground,
// a rock, the player's car) raced for a moment, then drawn with the settings under test; and the
// same mission painted: a striped splat map over three plain detail colours, and the rock made
// transparent scenery just ahead of the car. The scene itself is read from bloom target 0, the
// finished picture from the back buffer.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <array>
#include <filesystem>

#include <fstream>
#include <sstream>
#include <vector>

#include "CRaceSceneFixture.h"
#include "support/TestSupport.h"
#include "audio/CSoundManager.h"
#include "core/CGameData.h"
#include "core/CGameEngine.h"
#include "effects/CShaderManager.h"
#include "race/CChaseCamera.h"
#include "race/CRace.h"
#include "tools/dds/CDDSWriter.h"
#include "world/CChunkedMeshNode.h"
#include "world/CEntityManager.h"
#include "world/CPhysicsBody.h"
#include "world/CStaticObjectEntity.h"
#include "world/CVehicleEntity.h"

using namespace irr;

namespace {

const u32 kRed = 0xFFE02020, kGreen = 0xFF20E020, kBlue = 0xFF2020E0, kMagenta = 0xFFFF00FF;
const u32 kSand = 0xFFCEAB76, kGrey = 0xFF808080;

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// "missions/painted/": the flat mission with the splat map in stripes of red, green and blue
// shares over detail textures of those colours, and the rock, half of its texture see-through,
// as transparent scenery 15 m ahead of the car.
void writePaintedMission(const std::string& root)
{
    std::filesystem::create_directories(root + "/data/painted");
    CDDSWriter::write(root + "/data/painted/splat.dds",
                      {kRed, kRed, 0xFF00FF00, 0xFF00FF00, 0xFF0000FF, 0xFF0000FF}, 6, 1, EDF_A8R8G8B8);
    const char* names[3] = {"red", "green", "blue"};
    const u32 colours[3] = {kRed, kGreen, kBlue};
    for (int i = 0; i < 3; ++i)
        CDDSWriter::write(root + "/data/painted/" + names[i] + ".dds", std::vector<uint32_t>(16, colours[i]), 4, 4,
                          EDF_A8R8G8B8);
    for (const auto& [name, colour] : {std::pair<const char*, u32>{"white", 0xFFFFFFFF}, {"sand", kSand}, {"grey", kGrey}})
        CDDSWriter::write(root + "/data/painted/" + name + ".dds", std::vector<uint32_t>(16, colour), 4, 4,
                          EDF_A8R8G8B8);
    CDDSWriter::write(root + "/data/painted/holes.dds", {kMagenta, 0x00FF00FF, kMagenta, 0x00FF00FF}, 2, 2,
                      EDF_A8R8G8B8);
    std::ifstream in(std::string(SANDVOLT_FIXTURE_DIR) + "/missions/flat/mission.xml");
    std::stringstream text;
    text << in.rdbuf();
    std::string mission = text.str();
    mission = replaced(mission, "data/ground/sand.dds", "data/painted/splat.dds");
    mission = replaced(mission, "data/ground/gravel.dds\"/>", "data/painted/red.dds\"/>\n\t<Texture Value=\"data/painted/green.dds\"/>");
    mission = replaced(mission, "data/ground/grass.dds", "data/painted/blue.dds");
    mission = replaced(mission, "<Position X=\"12\" Y=\"0\" Z=\"40\"/>", "<Position X=\"0\" Y=\"0\" Z=\"-105\"/>");
    mission = replaced(mission, "<Texture Value=\"data/scenery/rock.dds\"/>",
                       "<Transparent Value=\"1\"/>\n\t<Texture Value=\"data/painted/holes.dds\"/>");
    std::filesystem::create_directories(root + "/missions/painted");
    std::ofstream(root + "/missions/painted/mission.xml") << mission;
    std::filesystem::copy_file(std::string(SANDVOLT_FIXTURE_DIR) + "/missions/flat/waypoints.xml",
                               root + "/missions/painted/waypoints.xml");
}

class ScenePasses : public CRaceSceneFixture {
protected:
    explicit ScenePasses(const char* mission = "missions/flat/")
    {
        writePaintedMission(dir.path());
        start(mission, 1);
    }
};

// Pixels of `a` darker than the same pixels of `b` by more than `by`, from pixel `from` on.
int countDarker(const SPicture& a, const SPicture& b, float by, size_t from = 0)
{
    int n = 0;
    for (size_t i = from; i < a.pixels.size(); ++i)
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

// A render target the driver could not make, or a material that did not build, leaves its pass
// out; the picture still comes: the scene straight on the screen, the ground lit, never black.
TEST_F(ScenePasses, AMissingTargetMaterialOrPlayerCarLeavesItsPassOut)
{
    ASSERT_TRUE(loaded);
    video::ITexture* bloomTarget = shaders->bloomTargets[1];
    video::ITexture* shadowMap = shaders->shadowTargets[0];
    const s32 shadowTerm = shaders->materials[ESM_SHADOW_NF];
    SPicture lit, unused, finished;
    engine.settings.shadows = 0;
    engine.settings.postProcessing = true;
    draw(lit, unused);
    engine.settings.shadows = 1;

    shaders->bloomTargets[1] = nullptr;
    shaders->shadowTargets[0] = nullptr;
    draw(unused, finished);
    // Below the horizon: above it the screen keeps the white it was cleared to.
    const size_t ground = lit.pixels.size() / 2;
    EXPECT_LT(countDarker(finished, lit, 0.03f, ground) + countDarker(lit, finished, 0.03f, ground), 50);

    shaders->bloomTargets[1] = bloomTarget;
    shaders->shadowTargets[0] = shadowMap;
    shaders->materials[ESM_SHADOW_NF] = -1;
    SPicture scene;
    draw(scene, finished);
    EXPECT_LT(countDarker(scene, lit, 0.03f) + countDarker(lit, scene, 0.03f), 50);
    shaders->materials[ESM_SHADOW_NF] = shadowTerm;

    // Without the player's car the light camera stays where it was.
    const core::vector3df light = shaders->getLightCamera()->getPosition();
    testsupport::captureStdout([&] { entities.removeVehicleAt(entities.getPlayerVehicleIndex()); });
    draw(scene, finished);
    EXPECT_EQ(shaders->getLightCamera()->getPosition(), light);
}

// A triangle as it is drawn: its corners' positions and texture coordinates.
using STriangle = std::array<f32, 24>;

void addTriangles(const scene::IMeshBuffer* buffer, std::vector<STriangle>& out)
{
    for (u32 t = 0; t + 2 < buffer->getIndexCount(); t += 3) {
        STriangle triangle;
        for (u32 k = 0; k < 3; ++k) {
            const u32 i = buffer->getIndexType() == video::EIT_32BIT
                              ? reinterpret_cast<const u32*>(buffer->getIndices())[t + k]
                              : buffer->getIndices()[t + k];
            const core::vector3df& at = buffer->getPosition(i);
            const core::vector2df& uv = buffer->getTCoords(i);
            const core::vector3df& normal = buffer->getNormal(i);
            const f32 values[8] = {at.X, at.Y, at.Z, uv.X, uv.Y, normal.X, normal.Y, normal.Z};
            std::copy(values, values + 8, triangle.begin() + 8 * k);
        }
        out.push_back(triangle);
    }
}

// The ground's node draws its mesh in chunks, culled by the camera: every triangle of the mesh
// in exactly one chunk, the same picture as the engine's own mesh node of the whole mesh from a
// view that culls some of them, and the collision mesh is still the whole mesh.
TEST_F(ScenePasses, TheGroundInChunksDrawsTheWholeGroundAndCollidesAsBefore)
{
    ASSERT_TRUE(loaded);
    CStaticObjectEntity* ground = nullptr;
    for (int i = 0; i < entities.getStaticObjectCount(); ++i)
        if (entities.getStaticObject(i)->getName() == "Ground")
            ground = entities.getStaticObject(i);
    ASSERT_NE(ground, nullptr);
    CChunkedMeshNode* chunked = dynamic_cast<CChunkedMeshNode*>(ground->getNode());
    ASSERT_NE(chunked, nullptr);
    scene::IMesh* mesh = chunked->getMesh();
    ASSERT_EQ(mesh, ground->getMesh());

    std::vector<STriangle> whole, chunks;
    for (u32 b = 0; b < mesh->getMeshBufferCount(); ++b)
        addTriangles(mesh->getMeshBuffer(b), whole);
    for (u32 c = 0; c < chunked->getChunkCount(); ++c)
        addTriangles(chunked->getChunk(c), chunks);
    ASSERT_GT(chunked->getChunkCount(), 16u);
    std::sort(whole.begin(), whole.end());
    std::sort(chunks.begin(), chunks.end());
    EXPECT_EQ(chunks, whole);

    const btCollisionShape* shape = ground->getPhysicsBody()->getRigidBody()->getCollisionShape();
    ASSERT_EQ(shape->getShapeType(), TRIANGLE_MESH_SHAPE_PROXYTYPE);
    const btStridingMeshInterface* collision = static_cast<const btBvhTriangleMeshShape*>(shape)->getMeshInterface();
    size_t collisionTriangles = 0;
    for (int part = 0; part < collision->getNumSubParts(); ++part) {
        const unsigned char *vertices = nullptr, *indices = nullptr;
        int vertexCount = 0, stride = 0, indexStride = 0, faces = 0;
        PHY_ScalarType type, indexType;
        collision->getLockedReadOnlyVertexIndexBase(&vertices, vertexCount, type, stride, &indices, indexStride,
                                                    faces, indexType, part);
        collisionTriangles += static_cast<size_t>(faces);
        collision->unLockReadOnlyVertexBase(part);
    }
    EXPECT_EQ(collisionTriangles, whole.size());

    // The ground alone, plainly textured and laying its own depth, from the race's camera.
    scene::ISceneManager* sceneManager = engine->getSceneManager();
    std::vector<std::pair<scene::ISceneNode*, bool>> shown;
    for (scene::ISceneNode* node : sceneManager->getRootSceneNode()->getChildren()) {
        if (node == sceneManager->getActiveCamera())
            continue;
        shown.push_back({node, node->isVisible()});
        node->setVisible(false);
    }
    scene::IMeshSceneNode* plain = sceneManager->addMeshSceneNode(mesh, nullptr, -1, chunked->getPosition(),
                                                                  chunked->getRotation());
    for (u32 m = 0; m < chunked->getMaterialCount(); ++m) {
        video::SMaterial& material = chunked->getMaterial(m);
        material.MaterialType = video::EMT_SOLID;
        material.ZBuffer = video::ECFN_LESSEQUAL;
        material.ZWriteEnable = true;
        material.ColorMask = video::ECP_ALL;
        for (u32 layer = 1; layer < video::MATERIAL_MAX_TEXTURES; ++layer)
            material.setTexture(layer, nullptr);
        plain->getMaterial(m) = material;
    }
    std::vector<u32> pictures[2];
    for (int k = 0; k < 2; ++k) {
        chunked->setVisible(k == 0);
        plain->setVisible(k == 1);
        pictures[k] = testsupport::captureFrame(engine.get(), core::dimension2du(320, 240), video::SColor(0xFF000000),
                                                [&] { sceneManager->drawAll(); });
        if (k == 0) {
            EXPECT_GT(chunked->getChunksDrawn(), 0u);
            EXPECT_LT(chunked->getChunksDrawn(), chunked->getChunkCount());
        }
    }
    ASSERT_EQ(pictures[0].size(), 320u * 240u);
    EXPECT_TRUE(pictures[0] == pictures[1]);
    int covered = 0;
    for (u32 pixel : pictures[0])
        covered += (pixel & 0xFFFFFF) != 0;
    EXPECT_GT(covered, 320 * 240 / 3);
    plain->remove();
    for (const auto& [node, visible] : shown)
        node->setVisible(visible);
}

class PaintedScene : public ScenePasses {
protected:
    PaintedScene() : ScenePasses("missions/painted/") {}

    // Pixels whose strongest colour is red, green or blue by a wide margin, in the rows given.
    std::array<int, 3> dominant(const SPicture& p, u32 fromRow, u32 toRow)
    {
        std::array<int, 3> n{0, 0, 0};
        for (u32 y = fromRow; y < toRow; ++y)
            for (u32 x = 0; x < p.width; ++x) {
                const video::SColor& c = p.pixels[y * p.width + x];
                const int rgb[3] = {static_cast<int>(c.getRed()), static_cast<int>(c.getGreen()),
                                    static_cast<int>(c.getBlue())};
                for (int k = 0; k < 3; ++k)
                    n[k] += rgb[k] > 2 * rgb[(k + 1) % 3] + 20 && rgb[k] > 2 * rgb[(k + 2) % 3] + 20;
            }
        return n;
    }
};

TEST_F(PaintedScene, TheSplatMapSelectsTheThreeDetailTextures)
{
    ASSERT_TRUE(loaded);
    for (s32 shadows : {1, 0}) {
        engine.settings.shadows = shadows;
        SPicture scene, finished;
        draw(scene, finished);
        // The ground below the car: every stripe of the splat map shows its own detail colour,
        // and the ground shows nothing else.
        const std::array<int, 3> n = dominant(scene, scene.height * 3 / 4, scene.height);
        const int ground = static_cast<int>(scene.width * (scene.height / 4));
        for (int k = 0; k < 3; ++k)
            EXPECT_GT(n[k], ground / 10) << "colour " << k << ", shadows " << shadows;
        EXPECT_GT(n[0] + n[1] + n[2], ground * 8 / 10) << "shadows " << shadows;
    }
}

TEST_F(PaintedScene, TransparentSceneryDrawsWithTheAlphaMaterials)
{
    ASSERT_TRUE(loaded);
    SPicture scene, finished;
    draw(scene, finished);
    scene::ISceneNode* rock = nullptr;
    for (int i = 0; i < entities.getStaticObjectCount(); ++i)
        if (entities.getStaticObject(i)->getName() == "Rock")
            rock = entities.getStaticObject(i)->getNode();
    ASSERT_NE(rock, nullptr);
    for (u32 m = 0; m < rock->getMaterialCount(); ++m)
        EXPECT_EQ(rock->getMaterial(m).MaterialType, shaders->materials[ESM_LIGHTING_ALPHAREF]);
    // Its opaque half is drawn; through the other half the ground's stripes show.
    scene::ISceneCollisionManager* view = engine->getSceneManager()->getSceneCollisionManager();
    core::vector3df corners[8];
    rock->getTransformedBoundingBox().getEdges(corners);
    core::rect<s32> area(scene.width, scene.height, 0, 0);
    for (const core::vector3df& corner : corners) {
        const core::position2d<s32> at = view->getScreenCoordinatesFrom3DPosition(corner);
        area.UpperLeftCorner.X = std::min(area.UpperLeftCorner.X, at.X);
        area.UpperLeftCorner.Y = std::min(area.UpperLeftCorner.Y, at.Y);
        area.LowerRightCorner.X = std::max(area.LowerRightCorner.X, at.X);
        area.LowerRightCorner.Y = std::max(area.LowerRightCorner.Y, at.Y);
    }
    area.clipAgainst(core::rect<s32>(0, 0, scene.width, scene.height));
    ASSERT_GT(area.getArea(), 400);
    int magenta = 0, stripes = 0;
    for (s32 y = area.UpperLeftCorner.Y; y < area.LowerRightCorner.Y; ++y)
        for (s32 x = area.UpperLeftCorner.X; x < area.LowerRightCorner.X; ++x) {
            const video::SColor& c = scene.pixels[y * scene.width + x];
            const u32 r = c.getRed(), g = c.getGreen(), b = c.getBlue();
            magenta += r > 2 * g + 40 && b > 2 * g + 40;
            stripes += (r > 2 * b + 40 && r > 2 * g + 40) || (g > 2 * r + 40 && g > 2 * b + 40);
        }
    EXPECT_GT(magenta, area.getArea() / 10);
    EXPECT_GT(stripes, area.getArea() / 20);
}

// Pixels within `radius` (each way) of a pixel for which `is` holds.
template <class TIs>
std::vector<bool> near(const SPicture& p, int radius, TIs is)
{
    const int w = static_cast<int>(p.width), h = static_cast<int>(p.height);
    std::vector<bool> rows(p.pixels.size()), area(p.pixels.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (is(p.pixels[y * w + x]))
                for (int k = std::max(0, x - radius); k <= std::min(w - 1, x + radius); ++k)
                    rows[y * w + k] = true;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (rows[y * w + x])
                for (int k = std::max(0, y - radius); k <= std::min(h - 1, y + radius); ++k)
                    area[k * w + x] = true;
    return area;
}

// The ground's stripes white, sand and mid-grey: only the white glows, and its glow reaches past
// its edge; the sand and the grey away from it reach the screen as they were, tone and hue.
TEST_F(PaintedScene, BloomGlowsAroundWhiteOnlyAndLeavesDullColoursAsTheyAre)
{
    ASSERT_TRUE(loaded);
    video::IVideoDriver* driver = engine->getVideoDriver();
    video::ITexture* details[3] = {driver->getTexture("data/painted/white.dds"),
                                   driver->getTexture("data/painted/sand.dds"),
                                   driver->getTexture("data/painted/grey.dds")};
    for (int i = 0; i < entities.getStaticObjectCount(); ++i) {
        scene::ISceneNode* node = entities.getStaticObject(i)->getNode();
        if (entities.getStaticObject(i)->getName() == "Ground")
            for (u32 m = 0; m < node->getMaterialCount(); ++m)
                for (u32 k = 0; k < 3; ++k)
                    node->getMaterial(m).setTexture(k + 1, details[k]);
    }
    SPicture scene, glowing, unused, plain;
    draw(scene, glowing);
    engine.settings.postProcessing = false;
    draw(unused, plain);
    ASSERT_EQ(scene.pixels.size(), glowing.pixels.size());
    // Without bloom the scene reaches the screen as it is.
    EXPECT_LT(countDarker(plain, scene, 0.03f) + countDarker(scene, plain, 0.03f), 50);

    auto white = [](const video::SColor& c) { return c.getRed() > 250 && c.getGreen() > 250 && c.getBlue() > 250; };
    // Anything near white may glow (a white stripe in the shade, its seams with the grey).
    auto bright = [](const video::SColor& c) { return c.getLuminance() > 0.75f * 255; };
    const std::vector<bool> glowReach = near(scene, 48, bright), edge = near(scene, 6, white);
    int dull = 0, changed = 0, beside = 0, lit = 0, sand = 0, grey = 0;
    for (size_t i = 0; i < scene.pixels.size(); ++i) {
        const video::SColor& before = scene.pixels[i];
        const video::SColor& after = glowing.pixels[i];
        if (!glowReach[i]) {
            ++dull;
            changed += std::max({std::abs(static_cast<int>(after.getRed()) - static_cast<int>(before.getRed())),
                                 std::abs(static_cast<int>(after.getGreen()) - static_cast<int>(before.getGreen())),
                                 std::abs(static_cast<int>(after.getBlue()) - static_cast<int>(before.getBlue()))}) > 2;
            sand += before.getRed() > before.getBlue() + 40;
            grey += before.getRed() > 60 && std::abs(static_cast<int>(before.getRed()) - static_cast<int>(before.getBlue())) < 8;
        } else if (edge[i] && !white(before)) {
            ++beside;
            lit += glowing.brightness(i) > scene.brightness(i) + 0.04f;
        }
    }
    // Enough of both dull colours is far from the white to judge.
    EXPECT_GT(sand, 1000);
    EXPECT_GT(grey, 1000);
    EXPECT_GT(dull, 10000);
    EXPECT_EQ(changed, 0);
    ASSERT_GT(beside, 500);
    EXPECT_GT(lit, beside / 2);
}

} // namespace
