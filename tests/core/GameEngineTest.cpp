// The engine object's physics helpers and text conversion, on the null driver with a real world.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>
#include <clocale>
#include <vector>

#include "support/TestSupport.h"
#include "core/CGameEngine.h"
#include "effects/CScreenQuadEntity.h"

using namespace irr;
using testsupport::CNullEngine;

namespace {

int triangleCount(btTriangleMesh* mesh)
{
    return mesh->getNumTriangles();
}

// One buffer of a single triangle (plus a broken one when `badIndex`), of the given index width.
scene::SMesh* meshWith(video::E_INDEX_TYPE indexType, bool badIndex)
{
    scene::CDynamicMeshBuffer* buffer = new scene::CDynamicMeshBuffer(video::EVT_STANDARD, indexType);
    const video::S3DVertex corners[3] = {
        video::S3DVertex(0, 0, 0, 0, 1, 0, video::SColor(255, 255, 255, 255), 0, 0),
        video::S3DVertex(1, 0, 0, 0, 1, 0, video::SColor(255, 255, 255, 255), 1, 0),
        video::S3DVertex(0, 0, 2, 0, 1, 0, video::SColor(255, 255, 255, 255), 0, 1)};
    for (const video::S3DVertex& v : corners)
        buffer->getVertexBuffer().push_back(v);
    for (u32 i : {0u, 1u, 2u})
        buffer->getIndexBuffer().push_back(i);
    if (badIndex) {
        for (u32 i : {0u, 1u, 70000u})
            buffer->getIndexBuffer().push_back(i);
    }
    scene::SMesh* mesh = new scene::SMesh();
    mesh->addMeshBuffer(buffer);
    buffer->drop();
    return mesh;
}

} // namespace

TEST(GameEngine, StartsInTheQuitStateWithAQuadAndAWorld)
{
    CNullEngine engine;
    EXPECT_EQ(engine->getGameState(), EGS_QUIT);
    ASSERT_NE(engine->getScreenQuad(), nullptr);
    EXPECT_EQ(engine->getScreenQuad()->getMaterial(0).TextureLayer[4].TextureWrapU, video::ETC_CLAMP);
    ASSERT_NE(engine->getDynamicsWorld(), nullptr);
    EXPECT_FLOAT_EQ(engine->getDynamicsWorld()->getGravity().y(), -20.0f);
    EXPECT_EQ(engine->getGoCap(), nullptr);
    engine->setGoCap(nullptr);
    EXPECT_EQ(engine->getGoCap(), nullptr);
}

TEST(GameEngine, TriangleMeshHonoursIndexWidthAndScale)
{
    CNullEngine engine;
    for (video::E_INDEX_TYPE type : {video::EIT_16BIT, video::EIT_32BIT}) {
        scene::SMesh* mesh = meshWith(type, false);
        btTriangleMesh* triangles = engine->createTriangleMesh(mesh, core::vector3df(2, 1, 3));
        ASSERT_EQ(triangleCount(triangles), 1) << type;
        btVector3 minimum, maximum;
        btBvhTriangleMeshShape shape(triangles, true);
        shape.getAabb(btTransform::getIdentity(), minimum, maximum);
        EXPECT_NEAR(maximum.x(), 2.0f, 0.1f);
        EXPECT_NEAR(maximum.z(), 6.0f, 0.1f);
        delete triangles;
        mesh->drop();
    }
}

TEST(GameEngine, TriangleMeshSkipsIndicesPastTheVertices)
{
    CNullEngine engine;
    scene::SMesh* mesh = meshWith(video::EIT_32BIT, true);
    btTriangleMesh* triangles = engine->createTriangleMesh(mesh, core::vector3df(1, 1, 1));
    EXPECT_EQ(triangleCount(triangles), 1);
    delete triangles;
    mesh->drop();
}

// The corners of every triangle, in order.
struct STriangleCorners : btInternalTriangleIndexCallback {
    void internalProcessTriangleIndex(btVector3* triangle, int, int) override
    {
        for (int k = 0; k < 3; ++k)
            corners.push_back(triangle[k]);
    }
    std::vector<btVector3> corners;
};

template <class TVertex>
scene::IMeshBuffer* bufferOf(video::E_VERTEX_TYPE type, const core::vector3df (&at)[3])
{
    scene::CDynamicMeshBuffer* buffer = new scene::CDynamicMeshBuffer(type, video::EIT_16BIT);
    for (const core::vector3df& p : at) {
        TVertex v;
        v.Pos = p;
        v.Normal = core::vector3df(7, 8, 9); // never a position
        buffer->getVertexBuffer().push_back(v);
    }
    for (u32 i : {0u, 1u, 2u})
        buffer->getIndexBuffer().push_back(i);
    return buffer;
}

// Every vertex type gives its own positions: a mesh exported with a second texture layer or
// with tangents (for normal maps) must be as solid where it is drawn, or the cars fall through.
TEST(GameEngine, EveryVertexTypeGivesTheTrianglesItsPositions)
{
    CNullEngine engine;
    const core::vector3df at[3] = {{1, 2, 3}, {-4, 5, 6}, {7, -8, 9}};
    scene::IMeshBuffer* buffers[] = {bufferOf<video::S3DVertex>(video::EVT_STANDARD, at),
                                     bufferOf<video::S3DVertex2TCoords>(video::EVT_2TCOORDS, at),
                                     bufferOf<video::S3DVertexTangents>(video::EVT_TANGENTS, at)};
    for (scene::IMeshBuffer* buffer : buffers) {
        SCOPED_TRACE(buffer->getVertexType());
        scene::SMesh* mesh = new scene::SMesh();
        mesh->addMeshBuffer(buffer);
        buffer->drop();
        btTriangleMesh* triangles = engine->createTriangleMesh(mesh, core::vector3df(2, 1, 0.5f));
        STriangleCorners seen;
        const btVector3 huge(1e9f, 1e9f, 1e9f);
        triangles->InternalProcessAllTriangles(&seen, -huge, huge);
        ASSERT_EQ(seen.corners.size(), 3u);
        for (int k = 0; k < 3; ++k) {
            EXPECT_FLOAT_EQ(seen.corners[k].x(), 2 * at[k].X) << k;
            EXPECT_FLOAT_EQ(seen.corners[k].y(), at[k].Y) << k;
            EXPECT_FLOAT_EQ(seen.corners[k].z(), 0.5f * at[k].Z) << k;
        }
        delete triangles;
        mesh->drop();
    }
}

TEST(GameEngine, TouchingMeansAPenetratingContactEitherWayRound)
{
    CNullEngine engine;
    btDiscreteDynamicsWorld* world = engine->getDynamicsWorld();
    btBoxShape box(btVector3(1, 1, 1));
    // Static bodies never collide with each other: the middle one has mass.
    btSphereShape ball(1.0f);
    auto makeBody = [&](float x, float mass, btCollisionShape* shape = nullptr) {
        btRigidBody* body = new btRigidBody(mass, nullptr, shape ? shape : &box, btVector3(1, 1, 1));
        btTransform place = btTransform::getIdentity();
        place.setOrigin(btVector3(x, 0, 0));
        body->setWorldTransform(place);
        world->addRigidBody(body);
        return body;
    };
    btRigidBody* ground = makeBody(0.0f, 0.0f);
    btRigidBody* overlapping = makeBody(1.5f, 1.0f);
    btRigidBody* apart = makeBody(10.0f, 0.0f);
    btRigidBody* nearlyTouching = makeBody(3.51f, 0.0f, &ball); // 1 cm gap: a contact point, not a touch
    world->performDiscreteCollisionDetection();

    EXPECT_TRUE(engine->isTouching(ground, overlapping));
    EXPECT_TRUE(engine->isTouching(overlapping, ground));
    EXPECT_FALSE(engine->isTouching(ground, apart));
    EXPECT_FALSE(engine->isTouching(apart, overlapping));

    int pointsAtTheGap = 0;
    btDispatcher* dispatcher = world->getDispatcher();
    for (int m = 0; m < dispatcher->getNumManifolds(); ++m) {
        btPersistentManifold* manifold = dispatcher->getManifoldByIndexInternal(m);
        if (manifold->getBody0() == nearlyTouching || manifold->getBody1() == nearlyTouching)
            pointsAtTheGap += manifold->getNumContacts();
    }
    EXPECT_GT(pointsAtTheGap, 0);
    EXPECT_FALSE(engine->isTouching(overlapping, nearlyTouching));

    for (btRigidBody* body : {ground, overlapping, apart, nearlyTouching}) {
        world->removeRigidBody(body);
        delete body;
    }
}

TEST(GameEngine, WideTextFromNarrowText)
{
    EXPECT_EQ(core::stringw(L"Lap 2/3"), toStringW("Lap 2/3"));
    EXPECT_EQ(toStringW("").size(), 0u);
    // In the C locale a byte above 127 cannot be converted: it is shown as it is, not dropped.
    std::setlocale(LC_ALL, "C");
    const core::stringw text = toStringW("Ol\xe9!");
    ASSERT_EQ(text.size(), 4u);
    EXPECT_EQ(text[0], L'O');
    EXPECT_EQ(text[3], L'!');
}
