// The engine object's physics helpers and text conversion, on the null driver with a real world.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>
#include <clocale>

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

TEST(GameEngine, TheTestClockOnlyMovesWhenSet)
{
    CNullEngine engine(5000);
    engine->getDevice()->run();
    EXPECT_EQ(engine->getDevice()->getTimer()->getTime(), 5000u);
    engine.setTime(6000);
    EXPECT_EQ(engine->getDevice()->getTimer()->getTime(), 6000u);
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

TEST(GameEngine, TangentBuffersAreSolidToo)
{
    CNullEngine engine;
    scene::SMeshBufferTangents* buffer = new scene::SMeshBufferTangents();
    for (int i = 0; i < 3; ++i)
        buffer->Vertices.push_back(video::S3DVertexTangents(static_cast<f32>(i), 0, static_cast<f32>(i % 2)));
    for (u16 i : {0, 1, 2})
        buffer->Indices.push_back(i);
    scene::SMesh* mesh = new scene::SMesh();
    mesh->addMeshBuffer(buffer);
    buffer->drop();
    btTriangleMesh* triangles = engine->createTriangleMesh(mesh, core::vector3df(1, 1, 1));
    EXPECT_EQ(triangleCount(triangles), 1);
    delete triangles;
    mesh->drop();
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
