// The static mesh shape: its collision tree and bounds must be the physics library's own, bit for
// bit, or the cars would drive differently on the ground and against the scenery. Compared on
// every mesh the game's missions build a mesh body from, and on small meshes made for the edges.
#include <gtest/gtest.h>

#include <BulletCollision/CollisionShapes/btOptimizedBvh.h>
#include <btBulletDynamicsCommon.h>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/CGameEngine.h"
#include "support/TestSupport.h"
#include "world/CMeshShape.h"

using namespace irr;
using testsupport::captureStdout;

namespace {

bool sameBits(const btVector3& a, const btVector3& b)
{
    return std::memcmp(&a[0], &b[0], 3 * sizeof(btScalar)) == 0;
}

std::string describe(const btVector3& v)
{
    return std::to_string(v.x()) + " " + std::to_string(v.y()) + " " + std::to_string(v.z());
}

// Field by field: the library leaves a header's padding unset.
bool sameHeaders(const BvhSubtreeInfoArray& a, const BvhSubtreeInfoArray& b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (std::memcmp(a[i].m_quantizedAabbMin, b[i].m_quantizedAabbMin, sizeof a[i].m_quantizedAabbMin) != 0 ||
            std::memcmp(a[i].m_quantizedAabbMax, b[i].m_quantizedAabbMax, sizeof a[i].m_quantizedAabbMax) != 0 ||
            a[i].m_rootNodeIndex != b[i].m_rootNodeIndex || a[i].m_subtreeSize != b[i].m_subtreeSize)
            return false;
    }
    return true;
}

// The first node where the two trees part, or -1.
int firstDifferentNode(btOptimizedBvh* a, btOptimizedBvh* b)
{
    QuantizedNodeArray& x = a->getQuantizedNodeArray();
    QuantizedNodeArray& y = b->getQuantizedNodeArray();
    for (int i = 0; i < x.size() && i < y.size(); ++i) {
        if (std::memcmp(&x[i], &y[i], sizeof(btQuantizedBvhNode)) != 0)
            return i;
    }
    return x.size() == y.size() ? -1 : std::min(x.size(), y.size());
}

// The library builds its shape first, while the mesh still has no bounds of its own.
void expectLibraryTree(btStridingMeshInterface* mesh, const std::string& what)
{
    SCOPED_TRACE(what);
    btBvhTriangleMeshShape library(mesh, true, true);
    CMeshShape ours(mesh);

    EXPECT_TRUE(sameBits(ours.getLocalAabbMin(), library.getLocalAabbMin()))
        << describe(ours.getLocalAabbMin()) << " against " << describe(library.getLocalAabbMin());
    EXPECT_TRUE(sameBits(ours.getLocalAabbMax(), library.getLocalAabbMax()))
        << describe(ours.getLocalAabbMax()) << " against " << describe(library.getLocalAabbMax());
    EXPECT_EQ(ours.getShapeType(), library.getShapeType());

    // The shape owns a tree only when the library built it.
    EXPECT_FALSE(ours.getOwnsBvh());
    btOptimizedBvh* a = ours.getOptimizedBvh();
    btOptimizedBvh* b = library.getOptimizedBvh();
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(a->isQuantized());
    // The quantization: the corner and the step of the grid.
    const unsigned short corners[3][3] = {{0, 0, 0}, {1, 1, 1}, {65533, 65534, 65535}};
    for (const auto& corner : corners)
        EXPECT_TRUE(sameBits(a->unQuantize(corner), b->unQuantize(corner)));
    // Node count and subtree header count.
    EXPECT_EQ(a->calculateSerializeBufferSize(), b->calculateSerializeBufferSize());
    EXPECT_EQ(firstDifferentNode(a, b), -1) << "of " << b->getQuantizedNodeArray().size() << " nodes";
    EXPECT_TRUE(sameHeaders(a->getSubtreeInfoArray(), b->getSubtreeInfoArray()))
        << a->getSubtreeInfoArray().size() << " subtree headers against " << b->getSubtreeInfoArray().size();
}

// A seeded heap of triangles in a box of `size`; `grid` > 0 snaps the corners to a grid of that
// pitch, which makes flat and thin triangles, equal centres and coordinates of 0 and -0.
std::unique_ptr<btTriangleMesh> triangleHeap(int triangles, float size, float grid, unsigned seed,
                                             bool wideIndices = true)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> coordinate(-size, size);
    auto mesh = std::make_unique<btTriangleMesh>(wideIndices, false);
    for (int t = 0; t < triangles; ++t) {
        btVector3 corner[3];
        for (btVector3& c : corner) {
            for (int axis = 0; axis < 3; ++axis) {
                float value = coordinate(random);
                if (grid > 0)
                    value = std::round(value / grid) * grid;
                c[axis] = value;
            }
        }
        mesh->addTriangle(corner[0], corner[1], corner[2], false);
    }
    return mesh;
}

TEST(MeshShape, TreeOfEveryMissionMeshIsTheLibrarysOwn)
{
    testsupport::CNullEngine engine;
    testsupport::CWorkingDir cwd{SANDVOLT_RUN_DIR};
    std::vector<std::string> meshes;
    for (const char* folder : {"data/tracks", "data/scenery"}) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            if (entry.path().extension() == ".b3d")
                meshes.push_back(entry.path().string());
        }
    }
    ASSERT_GE(meshes.size(), 30u);
    int grounds = 0;
    for (const std::string& path : meshes) {
        scene::IAnimatedMesh* animated = nullptr;
        captureStdout([&] { animated = engine->getSceneManager()->getMesh(path.c_str()); });
        ASSERT_NE(animated, nullptr) << path;
        std::unique_ptr<btTriangleMesh> triangles(
            engine->createTriangleMesh(animated->getMesh(0), core::vector3df(1, 1, 1)));
        engine->getSceneManager()->getMeshCache()->removeMesh(animated);
        if (triangles->getNumTriangles() == 0)
            continue;
        grounds += path.find("ground") != std::string::npos;
        expectLibraryTree(triangles.get(), path);
    }
    EXPECT_EQ(grounds, 8);
}

TEST(MeshShape, TreeOfAnyTriangleHeapIsTheLibrarysOwn)
{
    struct SCase {
        const char* what;
        int triangles;
        float size, grid;
        bool wideIndices;
    };
    const SCase cases[] = {
        {"one triangle", 1, 5, 0, true},
        {"two triangles", 2, 5, 0, true},
        {"a tree within one subtree", 60, 10, 0, true},
        {"just past one subtree", 130, 10, 0, true},
        {"many triangles", 20000, 500, 0, true},
        {"thin and flat triangles on a grid", 3000, 4, 1, true},
        {"every corner at 0 or -0", 50, 0.4f, 1, true},
        {"16-bit indices", 5000, 50, 0.5f, false},
        {"a tiny world", 4000, 0.01f, 0, true},
        {"a huge world", 4000, 5e6f, 0, true},
    };
    unsigned seed = 1;
    for (const SCase& c : cases) {
        std::unique_ptr<btTriangleMesh> mesh = triangleHeap(c.triangles, c.size, c.grid, seed++, c.wideIndices);
        expectLibraryTree(mesh.get(), c.what);
    }
}

TEST(MeshShape, ScaledAndManyPartMeshesKeepTheLibrarysTree)
{
    std::unique_ptr<btTriangleMesh> scaled = triangleHeap(3000, 20, 0, 7);
    scaled->setScaling(btVector3(2.0f, 0.5f, 3.0f));
    expectLibraryTree(scaled.get(), "a scaled mesh");

    // Two parts: the second part's triangles carry its number in their leaves.
    std::unique_ptr<btTriangleMesh> first = triangleHeap(1500, 30, 0, 8);
    std::unique_ptr<btTriangleMesh> second = triangleHeap(700, 30, 0.25f, 9);
    btTriangleIndexVertexArray parts;
    for (btTriangleMesh* part : {first.get(), second.get()})
        parts.addIndexedMesh(part->getIndexedMeshArray()[0], PHY_INTEGER);
    expectLibraryTree(&parts, "a mesh of two parts");
}

TEST(MeshShape, MeshesOutsidePlainNumbersGetTheLibrarysOwnBuild)
{
    const float kInfinity = std::numeric_limits<float>::infinity();
    const float kNaN = std::numeric_limits<float>::quiet_NaN();
    for (float odd : {kInfinity, -kInfinity, kNaN, 1e19f}) {
        SCOPED_TRACE(odd);
        std::unique_ptr<btTriangleMesh> mesh = triangleHeap(200, 10, 0, 11);
        mesh->addTriangle(btVector3(0, 0, 0), btVector3(1, odd, 0), btVector3(0, 0, 1), false);
        btBvhTriangleMeshShape library(mesh.get(), true, true);
        CMeshShape ours(mesh.get());
        EXPECT_FALSE(mesh->hasPremadeAabb());
        EXPECT_TRUE(ours.getOwnsBvh());
        btOptimizedBvh* a = ours.getOptimizedBvh();
        btOptimizedBvh* b = library.getOptimizedBvh();
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->calculateSerializeBufferSize(), b->calculateSerializeBufferSize());
        EXPECT_EQ(firstDifferentNode(a, b), -1);
    }
}

} // namespace
