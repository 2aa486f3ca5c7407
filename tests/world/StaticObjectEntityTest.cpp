// Static objects: the node and body built from a mission record, the ground friction rule, failed
// construction, textures, and a moving body carrying its node.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>

#include "EntityFixtures.h"
#include "support/TestSupport.h"
#include "core/CGameEngine.h"
#include "world/CEntityManager.h"
#include "world/CPhysicsBody.h"
#include "world/CStaticObjectEntity.h"
#include "world/SEntityDesc.h"

using namespace irr;
using testsupport::captureStdout;

namespace {

struct SObjectRecord {
    std::string mesh = "block.obj";
    bool withBody = true;
    f32 mass = 0;
    int mapping = 0;
    bool transparent = false;
    core::vector3df position{0, 0, 0};
    core::vector3df rotation{0, 0, 0};
    core::vector3df scale{1, 1, 1};
    core::vector3df offset{0, 0, 0};
    std::vector<std::string> textures;
};

struct StaticObjectTest : entitytest::EntityWorldTest {
    StaticObjectTest()
    {
        dir.write("block.obj", entitytest::boxesObj({{{-1, 0, -1}, {1, 2, 1}}}));
    }
    // Built as the loader builds it and handed to the manager; the output is kept in `out`.
    CStaticObjectEntity* build(const std::string& name, const SObjectRecord& record)
    {
        CStaticObjectEntity* object = nullptr;
        out = captureStdout([&] {
            CPhysicsBody* body = nullptr;
            if (record.withBody)
                body = new CPhysicsBody("MESH", dir.file("block.obj"), 1, 1, 1, record.mass,
                                        engine.get(), nullptr);
            std::vector<std::string> paths;
            for (const std::string& texture : record.textures)
                paths.push_back(dir.file(texture));
            object = new CStaticObjectEntity(manager.getStaticObjectCount(), name, "Display",
                                             record.mesh == "NULL" ? record.mesh : dir.file(record.mesh),
                                             record.position, record.rotation,
                                             record.scale, record.offset, record.transparent,
                                             record.mapping, paths, body, engine.get());
            manager.addStaticObject(object);
        });
        return object;
    }

    std::string out;
};

} // namespace

TEST_F(StaticObjectTest, PlacesItsNodeAndBodyInTheWorld)
{
    SObjectRecord record;
    record.position = core::vector3df(10, 2, -5);
    record.rotation = core::vector3df(0, 90, 0);
    record.scale = core::vector3df(2, 3, 4);
    record.transparent = true;
    const int bodies = entitytest::bodyCount(engine.get());
    CStaticObjectEntity* object = build("Hill", record);
    EXPECT_NE(out.find("StaticObject is creating... [OK]\n\n"), std::string::npos) << out;
    EXPECT_EQ(object->getId(), 0);
    ASSERT_NE(object->getNode(), nullptr);
    EXPECT_EQ(object->getNode()->getPosition(), record.position);
    EXPECT_EQ(object->getNode()->getRotation(), record.rotation);
    EXPECT_EQ(object->getNode()->getMaterial(0).MaterialType, video::EMT_TRANSPARENT_ALPHA_CHANNEL);
    EXPECT_FALSE(object->getNode()->getMaterial(0).BackfaceCulling);
    EXPECT_EQ(object->getMesh()->getMeshBuffer(0)->getHardwareMappingHint_Vertex(), scene::EHM_STATIC);

    btRigidBody* body = object->getPhysicsBody()->getRigidBody();
    EXPECT_EQ(entitytest::bodyCount(engine.get()), bodies + 1);
    EXPECT_EQ(body->getUserPointer(), object);
    const btTransform& placed = body->getWorldTransform();
    EXPECT_NEAR(placed.getOrigin().x(), 10.0f, 1e-5f);
    EXPECT_NEAR(placed.getOrigin().z(), -5.0f, 1e-5f);
    // A quarter turn about the vertical axis takes the body's +x to world -z.
    const btVector3 side = placed.getBasis() * btVector3(1, 0, 0);
    EXPECT_NEAR(side.z(), -1.0f, 1e-5f);
}

TEST_F(StaticObjectTest, TriplanarGroundHasNoFrictionAndAnUnscaledNode)
{
    struct Case { int mapping; f32 friction; core::vector3df nodeScale; };
    const Case cases[] = {{1, 0.0f, core::vector3df(1, 1, 1)}, {0, 0.75f, core::vector3df(2, 3, 4)}};
    for (const Case& c : cases) {
        SObjectRecord record;
        record.mapping = c.mapping;
        record.scale = core::vector3df(2, 3, 4);
        CStaticObjectEntity* object = build(c.mapping ? "Ground" : "Rock", record);
        ASSERT_NE(object->getNode(), nullptr) << c.mapping;
        EXPECT_FLOAT_EQ(object->getPhysicsBody()->getRigidBody()->getFriction(), c.friction) << c.mapping;
        EXPECT_EQ(object->getNode()->getScale(), c.nodeScale) << c.mapping;
        EXPECT_EQ(object->getNode()->getMaterial(0).MaterialType, video::EMT_SOLID) << c.mapping;
    }
}

TEST_F(StaticObjectTest, DescriptionHasOpaqueWhiteAndNoWheelsEvenWhenNotBuilt)
{
    for (bool withBody : {true, false}) {
        SObjectRecord record;
        record.withBody = withBody;
        record.mapping = 1;
        record.offset = core::vector3df(0, 0.5f, 0);
        record.textures = {"a.png"};
        const SEntityDesc* desc = build(withBody ? "Built" : "Template", record)->getDesc();
        ASSERT_NE(desc, nullptr);
        EXPECT_EQ(desc->getColor(), video::SColor(255, 255, 255, 255)) << withBody;
        for (const std::string& wheel : {desc->getWheelFL(), desc->getWheelFR(), desc->getWheelBL(), desc->getWheelBR()})
            EXPECT_EQ(wheel, "NULL");
        // The loader copies these into children.
        EXPECT_EQ(desc->getMapping(), 1);
        EXPECT_EQ(desc->getOffset(), record.offset);
        EXPECT_EQ(desc->getTexture(0), dir.file("a.png"));
        EXPECT_EQ(desc->getMesh(), dir.file("block.obj"));
    }
}

TEST_F(StaticObjectTest, WithoutMeshOrBodyNothingIsBuilt)
{
    struct Case { const char* what; const char* mesh; bool withBody; const char* message; };
    const Case cases[] = {
        {"no mesh file", "missing.obj", true, "ERROR: StaticObject \"Broken\": mesh"},
        {"no mesh given", "NULL", true, "ERROR: StaticObject \"Broken\": mesh"},
        {"no body", "block.obj", false, "ERROR: StaticObject \"Broken\" has no physics body"},
    };
    for (const Case& c : cases) {
        const int bodies = entitytest::bodyCount(engine.get());
        const int nodes = entitytest::sceneNodeCount(engine.get());
        SObjectRecord record;
        record.mesh = c.mesh;
        record.withBody = c.withBody;
        record.mass = 2.0f;
        CStaticObjectEntity* object = build("Broken", record);
        EXPECT_NE(out.find(c.message), std::string::npos) << c.what << ": " << out;
        EXPECT_NE(out.find("StaticObject is creating... [ERROR]\n\n"), std::string::npos) << c.what;
        // Only a file that is not there fails to load; "NULL" names no file to look for.
        EXPECT_EQ(out.find("Could not load mesh") != std::string::npos, c.mesh == std::string("missing.obj"))
            << c.what << ": " << out;
        EXPECT_EQ(object->getId(), -1) << c.what;
        EXPECT_EQ(object->getNode(), nullptr) << c.what;
        EXPECT_EQ(entitytest::bodyCount(engine.get()), bodies) << c.what;
        EXPECT_EQ(entitytest::sceneNodeCount(engine.get()), nodes) << c.what;
        // The race calls this every frame for every object.
        object->update();
        captureStdout([&] { EXPECT_TRUE(manager.removeStaticObject("Broken")); });
    }
}

TEST_F(StaticObjectTest, TexturesThatLoadFillTheFirstFourLayers)
{
    for (const char* name : {"t1.png", "t3.png", "t4.png", "t5.png"})
        testsupport::writeImage(engine.get(), dir.file(name));
    SObjectRecord record;
    record.textures = {"t1.png", "t2.png", "t3.png", "t4.png", "t5.png"};
    CStaticObjectEntity* object = build("Hill", record);
    ASSERT_NE(object->getNode(), nullptr);
    const video::SMaterial& material = object->getNode()->getMaterial(0);
    const char* expected[4] = {"t1.png", "t3.png", "t4.png", "t5.png"};
    for (u32 k = 0; k < 4; ++k) {
        ASSERT_NE(material.getTexture(k), nullptr) << k;
        EXPECT_EQ(material.getTexture(k), loaded(expected[k])) << k;
    }
    EXPECT_EQ(material.getTexture(4), nullptr);
}

TEST_F(StaticObjectTest, OnlyTexturesNothingElseDrawsWithLeaveTheDriver)
{
    // The mesh file brings a texture of its own; the two objects share one of theirs.
    for (const char* name : {"mesh.png", "shared.png", "own.png"})
        testsupport::writeImage(engine.get(), dir.file(name));
    dir.write("painted.mtl", "newmtl paint\nmap_Kd mesh.png\n");
    dir.write("painted.obj", entitytest::boxesObj({{{-1, 0, -1}, {1, 2, 1}}}, "painted.mtl", "paint"));
    SObjectRecord first;
    first.mesh = "painted.obj";
    first.textures = {"shared.png", "own.png"};
    SObjectRecord second;
    second.mesh = "painted.obj";
    second.textures = {"shared.png"};
    build("First", first);
    CStaticObjectEntity* other = build("Second", second);
    // Layer 2 and up keep the mesh's material; the mesh's texture is in layer 0 underneath.
    video::ITexture* meshTexture = loaded("mesh.png");
    ASSERT_NE(meshTexture, nullptr);
    EXPECT_EQ(other->getNode()->getMaterial(0).getTexture(0), loaded("shared.png"));

    captureStdout([&] { manager.removeStaticObject("First"); });
    EXPECT_EQ(loaded("own.png"), nullptr);
    EXPECT_NE(loaded("shared.png"), nullptr);
    EXPECT_EQ(other->getNode()->getMaterial(0).getTexture(0), loaded("shared.png"));

    captureStdout([&] { manager.removeStaticObject("Second"); });
    EXPECT_EQ(loaded("shared.png"), nullptr);
    // The cached mesh still draws with its own texture.
    EXPECT_EQ(loaded("mesh.png"), meshTexture);
}

TEST_F(StaticObjectTest, AMovingBodyCarriesItsNodeRaisedByTheOffset)
{
    struct Case { f32 mass; bool follows; };
    for (const Case& c : {Case{2.0f, true}, Case{0.0f, false}}) {
        SObjectRecord record;
        record.mass = c.mass;
        record.position = core::vector3df(1, 5, 2);
        record.offset = core::vector3df(3, 0.25f, 3);
        CStaticObjectEntity* object = build(c.follows ? "Crate" : "Wall", record);
        ASSERT_NE(object->getNode(), nullptr);
        for (int i = 0; i < 24; ++i)
            engine->getDynamicsWorld()->stepSimulation(1.0f / 60.0f, 6, 1.0f / 60.0f);
        object->update();
        const btVector3 origin = object->getPhysicsBody()->getRigidBody()->getWorldTransform().getOrigin();
        const core::vector3df expected = c.follows ? core::vector3df(origin.x(), origin.y() + 0.25f, origin.z())
                                                   : record.position;
        if (c.follows) {
            EXPECT_LT(origin.y(), 5.0f - 1.5f);
        }
        EXPECT_NEAR(object->getNode()->getPosition().X, expected.X, 1e-4f) << c.mass;
        EXPECT_NEAR(object->getNode()->getPosition().Y, expected.Y, 1e-4f) << c.mass;
        EXPECT_NEAR(object->getNode()->getPosition().Z, expected.Z, 1e-4f) << c.mass;
        captureStdout([&] { manager.clear(); });
    }
}
