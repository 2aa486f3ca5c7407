// Physics bodies: every shape type, the wheel placement of both car families, the size rules,
// the mesh cache, bodies copied from a parent, and bad data that must leave a whole, empty body.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>
#include <cmath>
#include <string>

#include "EntityFixtures.h"
#include "PhysicsFixtures.h"
#include "core/CGameEngine.h"
#include "world/CPhysicsBody.h"
#include "world/CPhysicsShapeDesc.h"
#include "world/CVehicleTuningParams.h"
#include "world/vehicle/btRaycastVehicle.h"

using namespace irr;
using namespace physicstest;
using testsupport::captureStdout;
using testsupport::gameLines;
using Vehicle = sandvolt::btRaycastVehicle;
using Wheel = sandvolt::btWheelInfo;

namespace {

bool isVehicleType(const std::string& type)
{
    return type == "VEHICLE0" || type == "VEHICLE1" || type == "VEHICLE0C" || type == "VEHICLE1C";
}

// A game message line of the captured output that begins with `prefix` and names `naming`.
bool hasLine(const std::string& out, const std::string& prefix, const std::string& naming)
{
    for (const std::string& line : gameLines(out)) {
        if (line.rfind(prefix, 0) == 0 && line.find(naming) != std::string::npos)
            return true;
    }
    return false;
}

// A mesh of one buffer of the given kind, placed in the scene's mesh cache under `name`.
void cacheMesh(CGameEngine* engine, const char* name, scene::IMeshBuffer* buffer)
{
    scene::SMesh* mesh = new scene::SMesh();
    if (buffer) {
        mesh->addMeshBuffer(buffer);
        buffer->drop();
    }
    scene::SAnimatedMesh* animated = new scene::SAnimatedMesh(mesh);
    mesh->drop();
    engine->getSceneManager()->getMeshCache()->addMesh(name, animated);
    animated->drop();
}

struct PhysicsBodyTest : PhysicsWorldTest {
    PhysicsBodyTest()
    {
        dir.write("box.obj", entitytest::boxesObj({{{-1, -0.5f, -2}, {1, 0.5f, 2}}}));
        cacheMesh(engine(), "nobuffers.mesh", nullptr);
    }
    // A body as the mission loader builds it; a car type gets its tuning record.
    CPhysicsBody* build(const std::string& type, const std::string& mesh, float x, float y,
                        float z, float mass, bool tuning = true)
    {
        CPhysicsBody* body = nullptr;
        out = captureStdout([&] {
            body = new CPhysicsBody(type, mesh, x, y, z, mass, engine(),
                                    tuning ? new CVehicleTuningParams(type) : nullptr);
        });
        return body;
    }
    std::string file(const char* name) { return dir.file(name); }

    testsupport::CScratchDir dir;
    std::string out;
};

btCollisionShape* compoundChild(CPhysicsBody* body)
{
    btCollisionShape* shape = body->getRigidBody()->getCollisionShape();
    if (!shape->isCompound())
        return nullptr;
    btCompoundShape* compound = static_cast<btCompoundShape*>(shape);
    return compound->getNumChildShapes() == 1 ? compound->getChildShape(0) : nullptr;
}

TEST(VehicleTuningParams, EachCarFamilyHasItsWheelsAndDamping)
{
    struct SCase {
        const char* type;
        float radius, relaxation, compression;
    };
    const SCase cases[] = {
        {"VEHICLE0", 0.5f, 6.0f, 6.0f},  {"VEHICLE0C", 0.5f, 6.0f, 6.0f},
        {"VEHICLE1", 0.72f, 6.0f, 6.0f}, {"VEHICLE1C", 0.72f, 6.0f, 6.0f},
        {"MESH", 0.5f, 2.3f, 4.4f},      {"vehicle1", 0.5f, 2.3f, 4.4f},   // names are exact
    };
    for (const SCase& c : cases) {
        const CVehicleTuningParams params(c.type);
        EXPECT_FLOAT_EQ(params.wheelRadius, c.radius) << c.type;
        EXPECT_FLOAT_EQ(params.dampingRelaxation, c.relaxation) << c.type;
        EXPECT_FLOAT_EQ(params.dampingCompression, c.compression) << c.type;
    }
}

TEST_F(PhysicsBodyTest, WheelsOfBothCarFamiliesArePlacedFromTheSizes)
{
    struct SCase {
        const char* type;
        float x, z;
        float radius;
        btVector3 wheel0, wheel3;   // wheels 1 and 2 mirror them in x
    };
    const SCase cases[] = {
        {"VEHICLE0", 2, 4, 0.5f, {0.79f, 1.3f, 1.5f}, {0.79f, 1.3f, -1.4f}},
        {"VEHICLE1", 2, 4, 0.72f, {0.79f, 1.3f, 1.28f}, {0.79f, 1.3f, -1.136f}},
        {"VEHICLE0C", 3, 5, 0.5f, {1.29f, 1.3f, 2.0f}, {1.29f, 1.3f, -1.9f}},
        {"VEHICLE1C", 2.4f, 4.6f, 0.72f, {0.99f, 1.3f, 1.58f}, {0.99f, 1.3f, -1.436f}},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.type);
        CPhysicsBody* body = build(c.type, file("box.obj"), c.x, 1, c.z, 400);
        Vehicle* vehicle = body->getVehicle();
        ASSERT_NE(vehicle, nullptr);
        ASSERT_EQ(vehicle->getNumWheels(), 4);
        EXPECT_EQ(vehicle->getRightAxis(), 0);
        EXPECT_EQ(vehicle->getUpAxis(), 1);
        EXPECT_EQ(vehicle->getForwardAxis(), 2);
        const btVector3 mirror(-1, 1, 1);
        const btVector3 expected[4] = {c.wheel0, c.wheel0 * mirror, c.wheel3 * mirror, c.wheel3};
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE(i);
            const Wheel& wheel = vehicle->getWheelInfo(i);
            EXPECT_LT((wheel.m_chassisConnectionPointCS - expected[i]).length(), 1e-5f);
            EXPECT_EQ(wheel.m_wheelDirectionCS, btVector3(0, -1, 0));
            EXPECT_EQ(wheel.m_wheelAxleCS, btVector3(-1, 0, 0));
            EXPECT_EQ(wheel.m_bIsFrontWheel, i < 2);
            EXPECT_FLOAT_EQ(wheel.m_wheelsRadius, c.radius);
            EXPECT_FLOAT_EQ(wheel.m_suspensionRestLength1, 0.8f);
            EXPECT_FLOAT_EQ(wheel.m_suspensionStiffness, 20.0f);
            EXPECT_FLOAT_EQ(wheel.m_wheelsDampingRelaxation, 6.0f);
            EXPECT_FLOAT_EQ(wheel.m_wheelsDampingCompression, 6.0f);
            EXPECT_FLOAT_EQ(wheel.m_frictionSlip, 10.0f);
            EXPECT_FLOAT_EQ(wheel.m_rollInfluence, 0.05f);
            EXPECT_FLOAT_EQ(wheel.m_maxSuspensionTravelCm, 500.0f);
            EXPECT_FLOAT_EQ(wheel.m_maxSuspensionForce, 6000.0f);
            EXPECT_EQ(wheel.m_raycastInfo.m_groundObject, nullptr);
        }
        delete body;
    }
}

TEST_F(PhysicsBodyTest, EachShapeTypeBuildsItsShape)
{
    struct SCase {
        const char* type;
        float mass;
        int shape;
        int child;          // shape of the compound's only child, or -1
        int triangles;      // of the body's triangle mesh, -1 for none
    };
    const SCase cases[] = {
        {"EMPTY", 0, EMPTY_SHAPE_PROXYTYPE, -1, -1},
        {"MESH", 0, TRIANGLE_MESH_SHAPE_PROXYTYPE, -1, 12},
        {"VEHICLE0", 400, COMPOUND_SHAPE_PROXYTYPE, BOX_SHAPE_PROXYTYPE, -1},
        {"VEHICLE1", 400, COMPOUND_SHAPE_PROXYTYPE, BOX_SHAPE_PROXYTYPE, -1},
        {"VEHICLE0C", 400, COMPOUND_SHAPE_PROXYTYPE, CONVEX_HULL_SHAPE_PROXYTYPE, 12},
        {"VEHICLE1C", 400, COMPOUND_SHAPE_PROXYTYPE, CONVEX_HULL_SHAPE_PROXYTYPE, 12},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.type);
        CPhysicsBody* body = build(c.type, file("box.obj"), 2, 1, 4, c.mass, isVehicleType(c.type));
        EXPECT_TRUE(gameLines(out).empty()) << out;
        btRigidBody* rigid = body->getRigidBody();
        ASSERT_NE(rigid, nullptr);
        EXPECT_EQ(body->hasShape(), std::string(c.type) != "EMPTY");
        EXPECT_EQ(rigid->getCollisionShape()->getShapeType(), c.shape);
        btCollisionShape* child = compoundChild(body);
        EXPECT_EQ(child ? child->getShapeType() : -1, c.child);
        EXPECT_EQ(body->getTriangleMesh() ? body->getTriangleMesh()->getNumTriangles() : -1, c.triangles);
        EXPECT_EQ(body->getVehicle() != nullptr, isVehicleType(c.type));
        EXPECT_EQ(body->getRaycaster() != nullptr, isVehicleType(c.type));
        // Every body starts without friction or damping, at the origin, until its owner says.
        EXPECT_FLOAT_EQ(rigid->getFriction(), 0.0f);
        EXPECT_FLOAT_EQ(rigid->getLinearDamping(), 0.0f);
        EXPECT_FLOAT_EQ(rigid->getAngularDamping(), 0.0f);
        EXPECT_EQ(rigid->getWorldTransform().getOrigin(), btVector3(0, 0, 0));
        EXPECT_FLOAT_EQ(body->getMass(), c.mass);
        EXPECT_FLOAT_EQ(rigid->getInvMass(), c.mass > 0 ? 1.0f / c.mass : 0.0f);
        if (c.mass > 0) {
            EXPECT_GT(rigid->getLocalInertia().x(), 0.0f);
        }
        delete body;
    }
}

TEST_F(PhysicsBodyTest, SizesScaleTheMeshAndTheBoxButNotTheHull)
{
    CPhysicsBody* mesh = build("MESH", file("box.obj"), 2, 3, 0.5f, 0);
    btVector3 low, high;
    mesh->getTriangleMesh()->calculateAabbBruteForce(low, high);
    EXPECT_LT((high - btVector3(2, 1.5f, 1)).length(), 1e-5f);
    EXPECT_LT((low + btVector3(2, 1.5f, 1)).length(), 1e-5f);
    EXPECT_FLOAT_EQ(mesh->getScaleY(), 3.0f);
    delete mesh;

    CPhysicsBody* boxCar = build("VEHICLE0", "", 2, 1, 4, 400);
    btCompoundShape* compound = static_cast<btCompoundShape*>(boxCar->getRigidBody()->getCollisionShape());
    const btBoxShape* box = static_cast<const btBoxShape*>(compound->getChildShape(0));
    EXPECT_LT((box->getHalfExtentsWithMargin() - btVector3(1, 0.5f, 2)).length(), 1e-5f);
    EXPECT_EQ(compound->getChildTransform(0).getOrigin(), btVector3(0, 1.5f, 0));
    delete boxCar;

    // The hull keeps the mesh's own size whatever the sizes say; they only place the wheels.
    CPhysicsBody* hullCar = build("VEHICLE0C", file("box.obj"), 3, 7, 5, 400);
    const btConvexHullShape* hull = static_cast<const btConvexHullShape*>(compoundChild(hullCar));
    ASSERT_NE(hull, nullptr);
    ASSERT_GT(hull->getNumPoints(), 3);
    btVector3 extent(0, 0, 0);
    for (int i = 0; i < hull->getNumPoints(); ++i)
        extent.setMax(hull->getUnscaledPoints()[i].absolute());
    // The hull's points stand out by the collision margin (0.04).
    EXPECT_NEAR(extent.x(), 1.0f, 0.05f);
    EXPECT_NEAR(extent.y(), 0.5f, 0.05f);
    EXPECT_NEAR(extent.z(), 2.0f, 0.05f);
    const btCompoundShape* hullCompound = static_cast<const btCompoundShape*>(hullCar->getRigidBody()->getCollisionShape());
    EXPECT_EQ(hullCompound->getChildTransform(0).getOrigin(), btVector3(0, 0, 0));
    EXPECT_FLOAT_EQ(hullCar->getScaleX(), 3.0f);
    delete hullCar;

    CPhysicsBody* empty = build("EMPTY", file("box.obj"), 5, 5, 5, 0);
    EXPECT_FLOAT_EQ(empty->getScaleX() + empty->getScaleY() + empty->getScaleZ(), 0.0f);
    EXPECT_FLOAT_EQ(empty->getShapeDesc()->getScaleX(), 5.0f);
    delete empty;
}

TEST_F(PhysicsBodyTest, BadDataGivesAMessageAndAWholeEmptyBody)
{
    struct SCase {
        const char* type;
        std::string mesh;
        float mass;
        const char* prefix;
        std::string naming;     // what the message must name
    };
    const SCase cases[] = {
        {"BOX", "", 0, "Warning: ", "BOX"},
        {"vehicle1", "", 400, "Warning: ", "vehicle1"},
        {"MESH", file("missing.obj"), 0, "ERROR: ", file("missing.obj")},
        {"MESH", "", 0, "ERROR: ", "\"\""},
        {"MESH", "nobuffers.mesh", 0, "ERROR: ", "nobuffers.mesh"},
        {"VEHICLE0C", file("missing.obj"), 400, "ERROR: ", file("missing.obj")},
        {"VEHICLE0", "", 0, "ERROR: ", "VEHICLE0"},
        {"VEHICLE1C", file("box.obj"), -5, "ERROR: ", "VEHICLE1C"},
    };
    const int before = world()->getNumCollisionObjects();
    for (const SCase& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " " + c.mesh);
        CPhysicsBody* body = build(c.type, c.mesh, 2, 1, 4, c.mass);
        EXPECT_TRUE(hasLine(out, c.prefix, c.naming)) << out;
        EXPECT_EQ(gameLines(out).size(), 1u) << "one line only: " << out;
        EXPECT_FALSE(body->hasShape());
        EXPECT_EQ(body->getVehicle(), nullptr);
        EXPECT_EQ(body->getRaycaster(), nullptr);
        EXPECT_EQ(body->getTriangleMesh(), nullptr);
        ASSERT_NE(body->getRigidBody(), nullptr);
        EXPECT_EQ(body->getRigidBody()->getCollisionShape()->getShapeType(), EMPTY_SHAPE_PROXYTYPE);
        EXPECT_EQ(body->getShapeDesc()->getType(), c.type);
        // It can still join the world and be stepped, as its entity would do.
        world()->addRigidBody(body->getRigidBody());
        step(2);
        delete body;
        EXPECT_EQ(world()->getNumCollisionObjects(), before);
    }

    CPhysicsBody* engineless = nullptr;
    out = captureStdout([&] { engineless = new CPhysicsBody("MESH", file("box.obj"), 1, 1, 1, 0, nullptr, nullptr); });
    EXPECT_TRUE(hasLine(out, "ERROR: ", "MESH")) << out;
    EXPECT_FALSE(engineless->hasShape());
    delete engineless;
}

TEST_F(PhysicsBodyTest, CarTypeWithoutTuningIsQuietlyEmpty)
{
    // A static object whose "Physic" names a car type.
    for (const char* type : {"VEHICLE0", "VEHICLE1", "VEHICLE0C", "VEHICLE1C"}) {
        SCOPED_TRACE(type);
        CPhysicsBody* body = build(type, file("box.obj"), 2, 1, 4, 400, false);
        EXPECT_TRUE(gameLines(out).empty()) << out;
        EXPECT_FALSE(body->hasShape());
        EXPECT_EQ(body->getVehicle(), nullptr);
        EXPECT_EQ(body->getRigidBody()->getCollisionShape()->getShapeType(), EMPTY_SHAPE_PROXYTYPE);
        EXPECT_EQ(body->getShapeDesc()->getType(), type);
        EXPECT_FLOAT_EQ(body->getScaleX(), 0.0f);
        delete body;
    }
}

TEST_F(PhysicsBodyTest, MeshCacheKeepsOnlyTheMeshesTheSceneLoaded)
{
    scene::IMeshCache* cache = engine()->getSceneManager()->getMeshCache();
    for (const char* type : {"MESH", "VEHICLE1C"}) {
        for (bool sceneLoaded : {false, true}) {
            SCOPED_TRACE(testing::Message() << type << (sceneLoaded ? " loaded by the scene" : ""));
            const std::string path = file("box.obj");
            if (sceneLoaded)
                captureStdout([&] { engine()->getSceneManager()->getMesh(path.c_str()); });
            CPhysicsBody* body = build(type, path, 2, 1, 4, 400);
            EXPECT_TRUE(body->hasShape());
            EXPECT_EQ(cache->isMeshLoaded(path.c_str()), sceneLoaded);
            delete body;
            if (sceneLoaded)
                cache->removeMesh(cache->getMeshByName(path.c_str()));
        }
    }
}

TEST_F(PhysicsBodyTest, ChildBuildsAnEqualBodyFromItsParentsDescription)
{
    CPhysicsBody* parent = build("VEHICLE1", "", 2, 1, 4, 500);
    const CPhysicsShapeDesc* desc = parent->getShapeDesc();

    CPhysicsBody* car = new CPhysicsBody(desc, new CVehicleTuningParams(desc->getType()));
    ASSERT_NE(car->getVehicle(), nullptr);
    EXPECT_NE(car->getRigidBody(), parent->getRigidBody());
    EXPECT_NE(car->getShapeDesc(), desc);
    EXPECT_FLOAT_EQ(car->getMass(), 500.0f);
    EXPECT_EQ(car->getEngine(), engine());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(car->getVehicle()->getWheelInfo(i).m_chassisConnectionPointCS,
                  parent->getVehicle()->getWheelInfo(i).m_chassisConnectionPointCS) << i;

    // A static child of a car-shaped parent gets no tuning, hence no vehicle.
    CPhysicsBody* scenery = new CPhysicsBody(desc, nullptr);
    EXPECT_EQ(scenery->getVehicle(), nullptr);
    EXPECT_EQ(scenery->getShapeDesc()->getType(), "VEHICLE1");

    CPhysicsBody* orphan = nullptr;
    out = captureStdout([&] { orphan = new CPhysicsBody(nullptr, new CVehicleTuningParams("VEHICLE1")); });
    EXPECT_TRUE(hasLine(out, "ERROR: ", "description")) << out;
    EXPECT_FALSE(orphan->hasShape());
    EXPECT_EQ(orphan->getVehicle(), nullptr);
    delete orphan;
    delete scenery;
    delete car;
    delete parent;
}

TEST_F(PhysicsBodyTest, DestroyedCarLeavesTheWorld)
{
    const int before = world()->getNumCollisionObjects();
    CPhysicsBody* car = build("VEHICLE0C", file("box.obj"), 2, 1, 4, 400);
    world()->addRigidBody(car->getRigidBody());
    world()->addVehicle(car->getVehicle());
    step(5);
    EXPECT_EQ(world()->getNumCollisionObjects(), before + 1);
    delete car;
    EXPECT_EQ(world()->getNumCollisionObjects(), before);
    step(5);    // a vehicle left behind in the world would be stepped after its body died
}

} // namespace
