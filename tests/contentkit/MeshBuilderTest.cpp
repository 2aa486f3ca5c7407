// The basic shapes: closed, facing outwards, of the sizes asked for; the ground split into
// buffers the engine can index; the car layout where the physics puts the wheels.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <utility>

#include "ContentKitFixtures.h"
#include "core/CGameEngine.h"
#include "support/TestSupport.h"
#include "tools/contentkit/CB3DWriter.h"
#include "tools/contentkit/CCarMeshBuilder.h"
#include "tools/contentkit/CMeshBuilder.h"

using namespace irr;
using namespace contentkit;
using kittest::toIrr;

namespace {

core::vector3df frontNormal(const SSurface& s, size_t t)
{
    const core::vector3df a = toIrr(s.vertices[s.indices[3 * t]].position);
    const core::vector3df b = toIrr(s.vertices[s.indices[3 * t + 1]].position);
    const core::vector3df c = toIrr(s.vertices[s.indices[3 * t + 2]].position);
    return (b - a).crossProduct(c - a);
}

// Closed and consistently wound: each edge, taken by position, is used once in each direction.
::testing::AssertionResult isClosed(const SSurface& s)
{
    using SKey = std::tuple<float, float, float>;
    auto key = [&s](uint32_t i) { return SKey{s.vertices[i].position.x, s.vertices[i].position.y, s.vertices[i].position.z}; };
    std::map<std::pair<SKey, SKey>, int> edges;
    for (size_t t = 0; t < s.indices.size() / 3; ++t) {
        if (frontNormal(s, t).getLengthSQ() < 1e-12f)
            continue; // a degenerate triangle has no edges worth matching
        for (int k = 0; k < 3; ++k)
            ++edges[{key(s.indices[3 * t + k]), key(s.indices[3 * t + (k + 1) % 3])}];
    }
    for (const auto& [edge, count] : edges) {
        const auto back = edges.find({edge.second, edge.first});
        if (count != 1 || back == edges.end() || back->second != 1)
            return ::testing::AssertionFailure() << "an edge used " << count << " times forwards and "
                                                 << (back == edges.end() ? 0 : back->second) << " backwards";
    }
    return ::testing::AssertionSuccess();
}

struct SShapeCase {
    const char* name;
    SSurface surface;
    SVec3 minimum, maximum; // the extent asked for
};

TEST(MeshBuilder, ShapesAreClosedFaceOutwardsAndHaveTheirSize)
{
    const float r = 0.72f, w = 0.4f;
    const SShapeCase cases[] = {
        {"box", CMeshBuilder::box({1, 2, 3}, {-1, 0, 5}), {-1, 0, 3}, {1, 2, 5}},
        {"wheel", CMeshBuilder::cylinder(r, w, 24), {-0.5f * w, -r, -r}, {0.5f * w, r, r}},
        {"gate", CMeshBuilder::gate({40, 0, 0}, 16, 6, 2, 0), {32, 0, -1}, {48, 6, 1}},
        {"gate turned", CMeshBuilder::gate({0, 1, 100}, 16, 6, 2, 90), {-1, 1, 92}, {1, 7, 108}},
    };
    for (const SShapeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const SSurface& s = c.surface;
        EXPECT_TRUE(isClosed(s));
        core::aabbox3df extent(toIrr(s.vertices[0].position));
        core::vector3df centre(0, 0, 0);
        for (const SVertex& v : s.vertices) {
            extent.addInternalPoint(toIrr(v.position));
            centre += toIrr(v.position);
            EXPECT_NEAR(toIrr(v.normal).getLength(), 1.0f, 1e-5f);
        }
        centre /= float(s.vertices.size());
        EXPECT_TRUE(extent.MinEdge.equals(toIrr(c.minimum), 1e-4f))
            << extent.MinEdge.X << " " << extent.MinEdge.Y << " " << extent.MinEdge.Z;
        EXPECT_TRUE(extent.MaxEdge.equals(toIrr(c.maximum), 1e-4f))
            << extent.MaxEdge.X << " " << extent.MaxEdge.Y << " " << extent.MaxEdge.Z;
        for (size_t t = 0; t < s.indices.size() / 3; ++t) {
            const core::vector3df front = frontNormal(s, t);
            const core::vector3df a = toIrr(s.vertices[s.indices[3 * t]].position);
            // Drawn side outwards (the shapes are convex), and agreeing with the vertex normals.
            EXPECT_GT(front.dotProduct(a - centre), 0.0f) << "triangle " << t;
            EXPECT_GT(front.dotProduct(toIrr(s.vertices[s.indices[3 * t]].normal)), 0.0f) << "triangle " << t;
        }
    }
    // The tread is round: every rim vertex lies on the radius.
    for (const SVertex& v : CMeshBuilder::cylinder(r, w, 24).vertices) {
        const float fromAxle = std::hypot(v.position.y, v.position.z);
        EXPECT_TRUE(fromAxle < 1e-6f || std::fabs(fromAxle - r) < 1e-5f) << fromAxle;
    }
}

// A ground of 300 x 300 cells has 90601 vertices: it must come in strips the engine's 16-bit
// indices reach, that meet without a gap and all face up, with the texture tiled by metres.
TEST(MeshBuilder, LargeGroundSplitsIntoBuffersTheEngineCanIndex)
{
    testsupport::CScratchDir dir;
    testsupport::CNullEngine engine;
    kittest::CWorkingDir cwd(dir.path());
    const SMesh ground = CMeshBuilder::groundGrid(600.0f, 300.0f, 300, 300, 20.0f, {"sand.png"});
    ASSERT_GT(ground.surfaces.size(), 1u);
    ASSERT_TRUE(CB3DWriter::write("ground.b3d", ground));

    scene::IAnimatedMesh* loaded = kittest::loadMesh(engine.get(), "ground.b3d");
    ASSERT_NE(loaded, nullptr);
    scene::IMesh* frame = loaded->getMesh(0);
    ASSERT_EQ(frame->getMeshBufferCount(), ground.surfaces.size());
    EXPECT_TRUE(frame->getBoundingBox().MinEdge.equals({-300.0f, 0.0f, -150.0f}));
    EXPECT_TRUE(frame->getBoundingBox().MaxEdge.equals({300.0f, 0.0f, 150.0f}));
    u32 triangles = 0;
    f32 reached = -150.0f;
    for (u32 b = 0; b < frame->getMeshBufferCount(); ++b) {
        scene::IMeshBuffer* buffer = frame->getMeshBuffer(b);
        SCOPED_TRACE(b);
        EXPECT_LT(buffer->getVertexCount(), 65536u);
        EXPECT_EQ(buffer->getMaterial().getTexture(0), nullptr); // no such file here: no texture, no crash
        EXPECT_FLOAT_EQ(buffer->getBoundingBox().MinEdge.Z, reached); // strips meet
        reached = buffer->getBoundingBox().MaxEdge.Z;
        for (u32 t = 0; t < buffer->getIndexCount() / 3; ++t) {
            const core::vector3df front = kittest::windingNormal(buffer, t);
            ASSERT_GT(front.Y, 0.0f) << "triangle " << t;
        }
        triangles += buffer->getIndexCount() / 3;
        for (u32 i = 0; i < buffer->getVertexCount(); ++i) {
            const video::S3DVertex& v = static_cast<video::S3DVertex*>(buffer->getVertices())[i];
            ASSERT_NEAR(v.TCoords.X, (v.Pos.X + 300.0f) / 20.0f, 1e-4f);
            ASSERT_NEAR(v.TCoords.Y, (150.0f - v.Pos.Z) / 20.0f, 1e-4f);
        }
    }
    EXPECT_FLOAT_EQ(reached, 150.0f);
    EXPECT_EQ(triangles, 2u * 300u * 300u);
}

TEST(MeshBuilder, ImpossibleGroundIsRefusedWithAMessage)
{
    const struct {
        uint32_t cellsX, cellsZ;
        float tile;
    } cases[] = {{0, 10, 1.0f}, {10, 0, 1.0f}, {40000, 2, 1.0f}, {10, 10, 0.0f}};
    for (const auto& c : cases) {
        SMesh mesh;
        const std::string out = testsupport::captureStdout(
            [&] { mesh = CMeshBuilder::groundGrid(100.0f, 100.0f, c.cellsX, c.cellsZ, c.tile); });
        EXPECT_TRUE(mesh.surfaces.empty()) << c.cellsX << " x " << c.cellsZ;
        EXPECT_EQ(out.rfind("ERROR: a ground grid of", 0), 0u) << out;
    }
}

// The wheels and joints of a car sit where the physics puts them: for the "VEHICLE1" family
// with sizes X 2, Z 4, wheel 0 connects at (0.79, 1.3, 1.28) and wheel 3 at (0.79, 1.3, -1.136);
// the wheel centres hang the suspension's rest length (0.8) below.
TEST(MeshBuilder, CarLayoutFollowsThePhysicsWheelPlacement)
{
    const SCarLayout truck = SCarLayout::forShape("VEHICLE1", {2.0f, 1.0f, 4.0f});
    const SVec3 expected[4] = {{0.79f, 1.3f, 1.28f}, {-0.79f, 1.3f, 1.28f}, {-0.79f, 1.3f, -1.136f}, {0.79f, 1.3f, -1.136f}};
    for (int wheel = 0; wheel < 4; ++wheel) {
        EXPECT_TRUE(toIrr(truck.connectionPoint(wheel)).equals(toIrr(expected[wheel]), 1e-6f)) << wheel;
        EXPECT_TRUE(toIrr(truck.wheelCentre(wheel)).equals(toIrr({expected[wheel].x, 0.5f, expected[wheel].z}), 1e-6f))
            << wheel;
    }
    const struct {
        const char* shape;
        float radius;
    } families[] = {{"VEHICLE0", 0.5f}, {"VEHICLE0C", 0.5f}, {"VEHICLE1", 0.72f}, {"VEHICLE1C", 0.72f}, {"vehicle1", 0.5f}};
    for (const auto& f : families) {
        const SCarLayout layout = SCarLayout::forShape(f.shape, {2, 1, 4});
        EXPECT_FLOAT_EQ(layout.wheelRadius, f.radius) << f.shape;
        float widest = 0.0f, leftmost = 0.0f;
        const SMesh wheel = CCarMeshBuilder::wheel(layout);
        for (const SVertex& v : wheel.surfaces[0].vertices) {
            widest = std::max(widest, std::hypot(v.position.y, v.position.z));
            leftmost = std::min(leftmost, v.position.x);
        }
        EXPECT_NEAR(widest, f.radius, 1e-5f) << f.shape;
        // The tyre's outer face stays inside the chassis side: hub x + half its width < hx.
        EXPECT_LT(layout.connectionPoint(0).x - leftmost, 0.5f * layout.size.x) << f.shape;
    }
}

} // namespace
