// Checkpoint objects: invisible trigger hulls that cars drive through while the world reports
// the contact.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>

#include "EntityFixtures.h"
#include "support/TestSupport.h"
#include "core/CGameEngine.h"
#include "world/CEntityManager.h"
#include "world/COSEntity.h"

using namespace irr;
using testsupport::captureStdout;

namespace {

struct CheckpointTest : entitytest::EntityWorldTest {
    CheckpointTest()
    {
        // A gate 4 wide, 4 high and 4 deep, and two posts with nothing between them.
        dir.write("gate.obj", entitytest::boxesObj({{{-2, 0, -2}, {2, 4, 2}}}));
        dir.write("posts.obj", entitytest::boxesObj({{{-4, 0, -1}, {-3, 4, 1}}, {{3, 0, -1}, {4, 4, 1}}}));
    }
    COSEntity* newCheckpoint(s32 id, const std::string& mesh, std::string* out = nullptr)
    {
        COSEntity* checkpoint = nullptr;
        const std::string text = captureStdout([&] { checkpoint = new COSEntity(id, mesh, &manager); });
        if (out)
            *out = text;
        return checkpoint;
    }
};

// A falling ball released at `start`, stepped for `frames` sixtieths of a second.
struct SBall {
    SBall(btDiscreteDynamicsWorld* world, const btVector3& start)
        : world(world), shape(0.5f), motion(btTransform(btQuaternion::getIdentity(), start))
    {
        btVector3 inertia;
        shape.calculateLocalInertia(1.0f, inertia);
        body = new btRigidBody(1.0f, &motion, &shape, inertia);
        world->addRigidBody(body);
    }
    ~SBall()
    {
        world->removeRigidBody(body);
        delete body;
    }
    void fall(int frames)
    {
        for (int i = 0; i < frames; ++i)
            world->stepSimulation(1.0f / 60.0f, 6, 1.0f / 60.0f);
    }
    btDiscreteDynamicsWorld* world;
    btSphereShape shape;
    btDefaultMotionState motion;
    btRigidBody* body;
};

} // namespace

TEST_F(CheckpointTest, IsAnInvisibleStaticTriggerInTheWorld)
{
    const int bodies = entitytest::bodyCount(engine.get());
    const int nodes = entitytest::sceneNodeCount(engine.get());
    std::string out;
    COSEntity* checkpoint = newCheckpoint(2, dir.file("gate.obj"), &out);
    EXPECT_EQ(out.rfind("OS is creating...\n", 0), 0u) << out;
    EXPECT_EQ(out.find("ERROR"), std::string::npos) << out;

    EXPECT_EQ(checkpoint->getId(), 2);
    ASSERT_EQ(manager.getCheckpointCount(), 1);
    EXPECT_EQ(manager.getCheckpoint(0), checkpoint);
    btRigidBody* body = checkpoint->getRigidBody();
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(entitytest::bodyCount(engine.get()), bodies + 1);
    EXPECT_TRUE(body->isStaticObject());
    EXPECT_TRUE(body->getCollisionFlags() & btCollisionObject::CF_NO_CONTACT_RESPONSE);
    EXPECT_EQ(body->getUserPointer(), checkpoint);
    // Nothing of it is drawn, and its mesh does not stay in the cache.
    EXPECT_EQ(entitytest::sceneNodeCount(engine.get()), nodes);
    EXPECT_FALSE(engine->getSceneManager()->getMeshCache()->isMeshLoaded(dir.file("gate.obj").c_str()));

    out = captureStdout([&] { manager.clearCheckpoints(); });
    EXPECT_EQ(out, "OS is removing...\n");
    EXPECT_EQ(entitytest::bodyCount(engine.get()), bodies);
}

TEST_F(CheckpointTest, ACarPassesThroughUnslowedWhileTouchingIt)
{
    struct Case { const char* mesh; btVector3 start; };
    // The posts' hull spans the gap between them: a car in the gap still touches the checkpoint.
    const Case cases[] = {{"gate.obj", btVector3(0, 3, 0)}, {"posts.obj", btVector3(0, 3, 0)}};
    for (const Case& c : cases) {
        COSEntity* checkpoint = newCheckpoint(0, dir.file(c.mesh));
        ASSERT_NE(checkpoint->getRigidBody(), nullptr) << c.mesh;
        SBall ball(engine->getDynamicsWorld(), c.start);
        ball.fall(10);
        EXPECT_TRUE(engine->isTouching(ball.body, checkpoint->getRigidBody())) << c.mesh;
        // Free fall under the world's gravity of 20: nothing held the ball back.
        EXPECT_NEAR(ball.body->getLinearVelocity().y(), -20.0f * 10 / 60, 1e-3f) << c.mesh;
        EXPECT_NEAR(ball.body->getLinearVelocity().x(), 0.0f, 1e-6f) << c.mesh;
        manager.clearCheckpoints();
    }
}

TEST_F(CheckpointTest, AMeshThatCannotBeLoadedGivesACheckpointWithoutBody)
{
    dir.write("empty.obj", "# nothing here\n");
    const int bodies = entitytest::bodyCount(engine.get());
    for (const char* mesh : {"missing.obj", "empty.obj"}) {
        std::string out;
        COSEntity* checkpoint = newCheckpoint(1, dir.file(mesh), &out);
        EXPECT_NE(out.find("ERROR: OS 1 has no trigger"), std::string::npos) << out;
        EXPECT_EQ(checkpoint->getRigidBody(), nullptr) << mesh;
        EXPECT_EQ(checkpoint->getId(), 1) << mesh;
        EXPECT_EQ(entitytest::bodyCount(engine.get()), bodies) << mesh;
        // The race's touch test with it simply finds nothing.
        EXPECT_FALSE(engine->isTouching(checkpoint->getRigidBody(), nullptr)) << mesh;
    }
    // The manager owns them still and removes them without trouble.
    EXPECT_EQ(manager.getCheckpointCount(), 2);
    captureStdout([&] { manager.clear(); });
    EXPECT_EQ(manager.getCheckpointCount(), 0);
}
