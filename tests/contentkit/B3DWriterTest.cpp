// B3D files from our writer, loaded through the engine library as the game loads its meshes.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "ContentKitFixtures.h"
#include "support/TestSupport.h"
#include "core/CGameEngine.h"
#include "tools/contentkit/CB3DWriter.h"
#include "tools/contentkit/CCarMeshBuilder.h"
#include "tools/contentkit/CMeshBuilder.h"

using namespace irr;
using namespace contentkit;
using kittest::toIrr;

namespace {

SMesh twoSurfaces(bool vertexColours)
{
    SMesh mesh;
    mesh.vertexColours = vertexColours;
    SSurface shell = CMeshBuilder::box({-1.0f, 0.0f, -2.0f}, {1.0f, 1.0f, 2.0f});
    shell.name = "shell";
    shell.textures = {"data/tex/paint.png", "data/tex/dirt.png"};
    shell.colour = {10, 20, 30, 255};
    for (size_t i = 0; i < shell.vertices.size(); ++i)
        shell.vertices[i].colour = {uint8_t(i * 10), uint8_t(255 - i), 7, 200};
    SSurface cap = CMeshBuilder::box({-0.5f, 1.0f, -1.0f}, {0.5f, 1.8f, 0.5f});
    cap.name = "cap";
    cap.textures = {"data/tex/dirt.png"};
    cap.colour = {200, 150, 100, 255};
    mesh.surfaces = {shell, cap};
    return mesh;
}

class B3DWriter : public ::testing::Test {
protected:
    testsupport::CScratchDir dir;
    testsupport::CNullEngine engine;
    kittest::CWorkingDir cwd{dir.path()};

    void SetUp() override
    {
        kittest::writeImage(engine.get(), "data/tex/paint.png");
        kittest::writeImage(engine.get(), "data/tex/dirt.png");
    }
};

// Every given vertex comes back in its place with its normal and texture coordinates, each
// surface as a mesh buffer with its brush's textures, and the triangles face outwards.
TEST_F(B3DWriter, StaticMeshLoadsAsWritten)
{
    const SMesh mesh = twoSurfaces(false);
    ASSERT_TRUE(CB3DWriter::write("data/meshes/thing.b3d", mesh));
    scene::IAnimatedMesh* loaded = kittest::loadMesh(engine.get(), "data/meshes/thing.b3d");
    ASSERT_NE(loaded, nullptr);
    scene::IMesh* frame = loaded->getMesh(0, 255, -1, -1);
    ASSERT_NE(frame, nullptr);
    ASSERT_EQ(frame->getMeshBufferCount(), 2u);

    const core::aabbox3df box = frame->getBoundingBox();
    EXPECT_TRUE(box.MinEdge.equals({-1.0f, 0.0f, -2.0f})) << box.MinEdge.X << " " << box.MinEdge.Y;
    EXPECT_TRUE(box.MaxEdge.equals({1.0f, 1.8f, 2.0f})) << box.MaxEdge.Y << " " << box.MaxEdge.Z;

    const char* layer0[2] = {"data/tex/paint.png", "data/tex/dirt.png"};
    for (u32 s = 0; s < 2; ++s) {
        const SSurface& given = mesh.surfaces[s];
        scene::IMeshBuffer* buffer = frame->getMeshBuffer(s);
        SCOPED_TRACE(given.name);
        ASSERT_EQ(buffer->getVertexCount(), given.vertices.size());
        ASSERT_EQ(buffer->getIndexCount(), given.indices.size());
        EXPECT_EQ(kittest::textureName(buffer->getMaterial().getTexture(0)), layer0[s]);
        for (u32 i = 0; i < buffer->getVertexCount(); ++i) {
            const video::S3DVertex& v = static_cast<video::S3DVertex*>(buffer->getVertices())[i];
            EXPECT_TRUE(v.Pos.equals(toIrr(given.vertices[i].position))) << i;
            EXPECT_TRUE(v.Normal.equals(toIrr(given.vertices[i].normal))) << i;
            EXPECT_TRUE(v.TCoords.equals({given.vertices[i].uv.x, given.vertices[i].uv.y})) << i;
            // Without vertex colours each vertex takes its brush's colour.
            EXPECT_EQ(v.Color, video::SColor(255, given.colour.r, given.colour.g, given.colour.b)) << i;
        }
        for (u32 t = 0; t < buffer->getIndexCount() / 3; ++t) {
            const u16 first = buffer->getIndices()[3 * t];
            EXPECT_GT(kittest::windingNormal(buffer, t).dotProduct(buffer->getNormal(first)), 0.0f) << t;
        }
    }
    EXPECT_EQ(kittest::textureName(frame->getMeshBuffer(0)->getMaterial().getTexture(1)), "data/tex/dirt.png");
}

TEST_F(B3DWriter, VertexColoursLoadPerVertex)
{
    const SMesh mesh = twoSurfaces(true);
    ASSERT_TRUE(CB3DWriter::write("data/meshes/painted.b3d", mesh));
    scene::IAnimatedMesh* loaded = kittest::loadMesh(engine.get(), "data/meshes/painted.b3d");
    ASSERT_NE(loaded, nullptr);
    scene::IMeshBuffer* buffer = loaded->getMesh(0)->getMeshBuffer(0);
    ASSERT_EQ(buffer->getVertexCount(), mesh.surfaces[0].vertices.size());
    for (u32 i = 0; i < buffer->getVertexCount(); ++i) {
        const SColour& c = mesh.surfaces[0].vertices[i].colour;
        EXPECT_EQ(static_cast<video::S3DVertex*>(buffer->getVertices())[i].Color, video::SColor(c.a, c.r, c.g, c.b))
            << i;
    }
}

// A mesh without surfaces is a valid file of one node: the engine loads it with no triangle
// (the "empty mesh" the mission loader must survive).
TEST_F(B3DWriter, MeshWithoutSurfacesLoadsEmpty)
{
    ASSERT_TRUE(CB3DWriter::write("empty.b3d", SMesh{}));
    scene::IAnimatedMesh* loaded = kittest::loadMesh(engine.get(), "empty.b3d");
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->getMesh(0)->getMeshBufferCount(), 0u);
}

// Faults in the data are refused with a message instead of a file the engine would misread.
TEST_F(B3DWriter, RefusesMeshesTheEngineCannotHold)
{
    SSurface tooBig;
    tooBig.name = "huge";
    tooBig.vertices.resize(70000);
    tooBig.indices = {0, 1, 69999};
    SSurface badIndex = CMeshBuilder::box({0, 0, 0}, {1, 1, 1});
    badIndex.indices.back() = 24;
    SSurface partial = CMeshBuilder::box({0, 0, 0}, {1, 1, 1});
    partial.indices.pop_back();
    SSurface notFinite = CMeshBuilder::box({0, 0, 0}, {1, 1, 1});
    notFinite.vertices[3].position.y = std::nanf("");

    const struct {
        const char* what;
        SSurface surface;
        const char* message;
    } cases[] = {{"more vertices than 16-bit indices reach", tooBig, "more than a mesh buffer holds"},
                 {"an index past the vertices", badIndex, "uses vertex 24 of 24"},
                 {"a partial triangle", partial, "not whole triangles"},
                 {"a NaN position", notFinite, "not finite"}};
    for (const auto& c : cases) {
        SMesh mesh;
        mesh.surfaces.push_back(c.surface);
        bool written = true;
        const std::string out = testsupport::captureStdout([&] { written = CB3DWriter::write("bad.b3d", mesh); });
        EXPECT_FALSE(written) << c.what;
        EXPECT_EQ(out.rfind("ERROR: \"bad.b3d\": ", 0), 0u) << c.what << ": " << out;
        EXPECT_NE(out.find(c.message), std::string::npos) << c.what << ": " << out;
    }
    EXPECT_FALSE(std::ifstream("bad.b3d").good());

    SSkinnedMesh body;
    body.mesh.surfaces.push_back(CMeshBuilder::box({0, 0, 0}, {1, 1, 1}));
    body.joints.push_back({"lewa_prod", {}, {{0, 24, 1.0f}}});
    bool written = true;
    const std::string out = testsupport::captureStdout([&] { written = CB3DWriter::write("bad.b3d", body); });
    EXPECT_FALSE(written);
    EXPECT_NE(out.find("ERROR: \"bad.b3d\": joint \"lewa_prod\" weighs vertex 24"), std::string::npos) << out;
}

struct SFamily {
    const char* shape;
    SVec3 size;
    float radius;
};
const SFamily kFamilies[] = {{"VEHICLE0", {2.0f, 1.0f, 4.0f}, 0.5f}, {"VEHICLE1", {2.4f, 1.2f, 4.8f}, 0.72f}};

// The car body loads as an animated skinned mesh whose four suspension joints the vehicle finds
// by name at the wheel centres of its physics, and whose suspension parts follow those joints.
TEST_F(B3DWriter, CarBodyJointsSitAtTheWheelsAndCarryTheSuspension)
{
    for (const SFamily& family : kFamilies) {
        SCOPED_TRACE(family.shape);
        const SCarLayout layout = SCarLayout::forShape(family.shape, family.size);
        ASSERT_FLOAT_EQ(layout.wheelRadius, family.radius);
        const SSkinnedMesh body = CCarMeshBuilder::body(layout, {"data/tex/paint.png"});
        const std::string file = std::string("data/cars/") + family.shape + ".b3d";
        ASSERT_TRUE(CB3DWriter::write(file, body));

        scene::ISceneManager* smgr = engine->getSceneManager();
        scene::IAnimatedMesh* mesh = kittest::loadMesh(engine.get(), file);
        ASSERT_NE(mesh, nullptr);
        EXPECT_EQ(mesh->getMeshType(), scene::EAMT_SKINNED);
        scene::IAnimatedMeshSceneNode* node = smgr->addAnimatedMeshSceneNode(mesh);
        node->setJointMode(scene::EJUOR_CONTROL);
        for (int wheel = 0; wheel < 4; ++wheel) {
            scene::IBoneSceneNode* joint = node->getJointNode(CCarMeshBuilder::kJointNames[wheel]);
            ASSERT_NE(joint, nullptr) << CCarMeshBuilder::kJointNames[wheel];
            EXPECT_TRUE(joint->getPosition().equals(toIrr(layout.wheelCentre(wheel))))
                << CCarMeshBuilder::kJointNames[wheel] << " at " << joint->getPosition().X << " "
                << joint->getPosition().Y << " " << joint->getPosition().Z;
        }
        EXPECT_EQ(kittest::textureName(mesh->getMeshBuffer(0)->getMaterial().getTexture(0)), "data/tex/paint.png");

        // Lift the front +x wheel's joint as the suspension would: its strut and mudguard rise
        // with it, the other wheels' parts and the body shell stay.
        const SSurface& parts = body.mesh.surfaces[1];
        scene::IBoneSceneNode* lifted = node->getJointNode("lewa_prod");
        lifted->setPosition(lifted->getPosition() + core::vector3df(0.0f, 0.3f, 0.0f));
        node->OnAnimate(1000);
        scene::IMeshBuffer* shell = mesh->getMeshBuffer(0);
        scene::IMeshBuffer* suspension = mesh->getMeshBuffer(1);
        ASSERT_EQ(suspension->getVertexCount(), parts.vertices.size());
        const std::vector<SWeight>& moving = body.joints[0].weights;
        for (u32 i = 0; i < parts.vertices.size(); ++i) {
            const bool follows = i >= moving.front().vertex && i <= moving.back().vertex;
            const core::vector3df expected =
                toIrr(parts.vertices[i].position) + core::vector3df(0.0f, follows ? 0.3f : 0.0f, 0.0f);
            EXPECT_TRUE(suspension->getPosition(i).equals(expected, 1e-5f)) << "vertex " << i;
        }
        for (u32 i = 0; i < shell->getVertexCount(); ++i)
            EXPECT_TRUE(shell->getPosition(i).equals(toIrr(body.mesh.surfaces[0].vertices[i].position))) << i;
        node->remove();
    }
}

// A body whose joints move no vertex (a car mesh without suspension parts) still has its
// joints where they were given.
TEST_F(B3DWriter, JointsWithoutWeightsKeepTheirPositions)
{
    SSkinnedMesh body;
    body.mesh.surfaces.push_back(CMeshBuilder::box({-1, 1, -2}, {1, 2, 2}));
    for (int wheel = 0; wheel < 4; ++wheel)
        body.joints.push_back({CCarMeshBuilder::kJointNames[wheel], {wheel * 1.0f, 0.5f, -wheel * 0.25f}, {}});
    ASSERT_TRUE(CB3DWriter::write("plain.b3d", body));
    scene::IAnimatedMesh* mesh = kittest::loadMesh(engine.get(), "plain.b3d");
    ASSERT_NE(mesh, nullptr);
    scene::IAnimatedMeshSceneNode* node = engine->getSceneManager()->addAnimatedMeshSceneNode(mesh);
    node->setJointMode(scene::EJUOR_CONTROL);
    for (const SJoint& joint : body.joints) {
        scene::IBoneSceneNode* found = node->getJointNode(joint.name.c_str());
        ASSERT_NE(found, nullptr) << joint.name;
        EXPECT_TRUE(found->getPosition().equals(toIrr(joint.position))) << joint.name << " at "
            << found->getPosition().X << " " << found->getPosition().Y << " " << found->getPosition().Z;
    }
}

TEST_F(B3DWriter, SameMeshGivesSameBytes)
{
    const SSkinnedMesh body = CCarMeshBuilder::body(SCarLayout::forShape("VEHICLE0", {2, 1, 4}), {"a.png"});
    const std::vector<uint8_t> first = CB3DWriter::encode(body);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(CB3DWriter::encode(body), first);
    EXPECT_EQ(CB3DWriter::encode(twoSurfaces(true)), CB3DWriter::encode(twoSurfaces(true)));
}

} // namespace
