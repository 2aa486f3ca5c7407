// OBJ files from our writer come out of the engine library's OBJ loader as we meant them,
// although that loader mirrors X, flips V and reverses the corner order.
#include <gtest/gtest.h>

#include <fstream>

#include "ContentKitFixtures.h"
#include "core/CGameEngine.h"
#include "support/TestSupport.h"
#include "tools/contentkit/CMeshBuilder.h"
#include "tools/contentkit/COBJWriter.h"

using namespace irr;
using namespace contentkit;
using kittest::toIrr;

namespace {

class OBJWriter : public ::testing::Test {
protected:
    testsupport::CScratchDir dir;
    testsupport::CNullEngine engine;
    kittest::CWorkingDir cwd{dir.path()};
};

// Looks a loaded vertex up among the given ones by position and normal (the loader merges and
// reorders vertices).
const SVertex* findGiven(const SSurface& surface, const video::S3DVertex& v)
{
    for (const SVertex& given : surface.vertices)
        if (v.Pos.equals(toIrr(given.position), 1e-5f) && v.Normal.equals(toIrr(given.normal), 1e-5f))
            return &given;
    return nullptr;
}

// An off-centre box (so a mirrored X would show) and a slab with a colour but no texture: each
// surface is one buffer, every vertex keeps its place, normal and texture coordinates, every
// triangle faces out, and the materials carry the texture and the colour.
TEST_F(OBJWriter, MeshLoadsWithTheIntendedOrientationAndTextureCoordinates)
{
    kittest::writeImage(engine.get(), "data/tex/wall.png");
    SMesh mesh;
    SSurface wall = CMeshBuilder::box({1.0f, 0.0f, 2.0f}, {3.0f, 1.0f, 5.0f});
    wall.name = "wall";
    wall.textures = {"data/tex/wall.png"};
    // Texture coordinates that tell u from v and 0 from 1.
    for (SVertex& v : wall.vertices)
        v.uv = {0.25f * v.uv.x + 0.1f, 0.5f * v.uv.y + 0.3f};
    SSurface slab = CMeshBuilder::box({-4.0f, 0.0f, -1.0f}, {-2.0f, 0.5f, 0.0f});
    slab.name = "red slab"; // a space: the loader reads one word
    slab.colour = {13, 127, 254, 255}; // components the loader would read one step low if written plainly
    mesh.surfaces = {wall, slab};
    ASSERT_TRUE(COBJWriter::write("data/meshes/wall.obj", mesh));

    scene::IAnimatedMesh* loaded = kittest::loadMesh(engine.get(), "data/meshes/wall.obj");
    ASSERT_NE(loaded, nullptr);
    scene::IMesh* frame = loaded->getMesh(0);
    ASSERT_EQ(frame->getMeshBufferCount(), 2u);
    EXPECT_TRUE(frame->getBoundingBox().MinEdge.equals({-4.0f, 0.0f, -1.0f}));
    EXPECT_TRUE(frame->getBoundingBox().MaxEdge.equals({3.0f, 1.0f, 5.0f}));

    for (u32 s = 0; s < 2; ++s) {
        const SSurface& given = mesh.surfaces[s];
        SCOPED_TRACE(given.name);
        // Find our buffer by a point only this surface covers.
        scene::IMeshBuffer* buffer = nullptr;
        const core::vector3df inside = toIrr(given.vertices[0].position) * 0.5f + toIrr(given.vertices[6].position) * 0.5f;
        for (u32 b = 0; b < 2; ++b)
            if (frame->getMeshBuffer(b)->getBoundingBox().isPointInside(inside))
                buffer = frame->getMeshBuffer(b);
        ASSERT_NE(buffer, nullptr);
        ASSERT_EQ(buffer->getVertexCount(), given.vertices.size());
        ASSERT_EQ(buffer->getIndexCount(), given.indices.size());
        for (u32 i = 0; i < buffer->getVertexCount(); ++i) {
            const video::S3DVertex& v = static_cast<video::S3DVertex*>(buffer->getVertices())[i];
            const SVertex* match = findGiven(given, v);
            ASSERT_NE(match, nullptr) << "no given vertex at " << v.Pos.X << " " << v.Pos.Y << " " << v.Pos.Z;
            EXPECT_NEAR(v.TCoords.X, match->uv.x, 1e-6f);
            EXPECT_NEAR(v.TCoords.Y, match->uv.y, 1e-6f);
        }
        for (u32 t = 0; t < buffer->getIndexCount() / 3; ++t) {
            const u16 first = buffer->getIndices()[3 * t];
            EXPECT_GT(kittest::windingNormal(buffer, t).dotProduct(buffer->getNormal(first)), 0.0f) << t;
        }
        const video::SMaterial& material = buffer->getMaterial();
        if (s == 0) {
            EXPECT_EQ(kittest::textureName(material.getTexture(0)), "data/tex/wall.png");
        } else {
            EXPECT_EQ(material.getTexture(0), nullptr);
            EXPECT_EQ(material.DiffuseColor, video::SColor(255, 13, 127, 254));
        }
    }
}

// The ".mtl" sits beside the ".obj" and the ".obj" names it by its file name alone, so the pair
// loads from any working directory.
TEST_F(OBJWriter, MaterialFileLiesBesideTheMesh)
{
    SMesh mesh;
    mesh.surfaces.push_back(CMeshBuilder::box({0, 0, 0}, {1, 1, 1}));
    mesh.surfaces[0].colour = {0, 0, 255, 255};
    ASSERT_TRUE(COBJWriter::write("deep/folder/block.obj", mesh));
    std::ifstream obj("deep/folder/block.obj");
    std::string line;
    std::getline(obj, line);
    std::getline(obj, line);
    EXPECT_EQ(line, "mtllib block.mtl");
    kittest::CWorkingDir elsewhere("deep");
    scene::IAnimatedMesh* loaded = kittest::loadMesh(engine.get(), "folder/block.obj");
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->getMesh(0)->getMeshBuffer(0)->getMaterial().DiffuseColor, video::SColor(255, 0, 0, 255));
}

TEST_F(OBJWriter, ExtraTexturesAreReportedAndMeshesTooLargeRefused)
{
    SMesh layered;
    layered.surfaces.push_back(CMeshBuilder::box({0, 0, 0}, {1, 1, 1}));
    layered.surfaces[0].name = "ground";
    layered.surfaces[0].textures = {"a.png", "b.png"};
    SOBJText text;
    const std::string said = testsupport::captureStdout([&] { ASSERT_TRUE(COBJWriter::encode(layered, "x.mtl", text)); });
    EXPECT_EQ(said, "Warning: \"OBJ mesh\": surface \"ground\" keeps only its first texture in OBJ form\n");
    EXPECT_NE(text.mtl.find("map_Kd a.png\n"), std::string::npos);
    EXPECT_EQ(text.mtl.find("b.png"), std::string::npos);

    SMesh huge;
    huge.surfaces.emplace_back();
    huge.surfaces[0].vertices.resize(65536);
    bool ok = true;
    const std::string out = testsupport::captureStdout([&] { ok = COBJWriter::write("huge.obj", huge); });
    EXPECT_FALSE(ok);
    EXPECT_EQ(out.rfind("ERROR: \"huge.obj\"", 0), 0u) << out;
    EXPECT_FALSE(std::ifstream("huge.obj").good());
}

} // namespace
