// The car entity on a real physics world: building and placing it, its nodes following the
// chassis and wheels, the controls reaching the wheels, the limits, the item in effect, the
// overturn rule, cars that cannot be built, and what leaves with a car.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>
#include <cmath>
#include <limits>

#include "EntityFixtures.h"
#include "VehicleFixtures.h"
#include "audio/CSound.h"
#include "core/CGameEngine.h"
#include "world/CItemEntity.h"
#include "world/CPhysicsBody.h"
#include "world/CVehicleEntity.h"
#include "world/SEntityDesc.h"
#include "world/vehicle/btRaycastVehicle.h"

using namespace irr;
using testsupport::captureStdout;
using vehicletest::CFixedControllerPack;
using vehicletest::SCarRecord;

namespace {

struct VehicleTest : vehicletest::VehicleWorldTest {
    btTransform chassis(CVehicleEntity* car)
    {
        btTransform transform;
        car->getPhysicsBody()->getRigidBody()->getMotionState()->getWorldTransform(transform);
        return transform;
    }
    sandvolt::btWheelInfo& wheel(CVehicleEntity* car, int i)
    {
        return car->getPhysicsBody()->getVehicle()->getWheelInfo(i);
    }
    int wheelsOnGround(CVehicleEntity* car)
    {
        int count = 0;
        for (int i = 0; i < 4; ++i)
            count += wheel(car, i).m_raycastInfo.m_groundObject ? 1 : 0;
        return count;
    }
};

// Rotation of a node as the engine draws it, against the physics basis.
void expectSameRotation(const core::vector3df& degrees, const btMatrix3x3& basis)
{
    core::matrix4 m;
    m.setRotationDegrees(degrees);
    for (int column = 0; column < 3; ++column) {
        const btVector3 axis = basis.getColumn(column);
        EXPECT_NEAR(m[column * 4 + 0], axis.x(), 1e-3) << "column " << column;
        EXPECT_NEAR(m[column * 4 + 1], axis.y(), 1e-3) << "column " << column;
        EXPECT_NEAR(m[column * 4 + 2], axis.z(), 1e-3) << "column " << column;
    }
}

void expectNear(const core::vector3df& a, const btVector3& b, float tolerance, const char* what)
{
    EXPECT_NEAR(a.X, b.x(), tolerance) << what;
    EXPECT_NEAR(a.Y, b.y(), tolerance) << what;
    EXPECT_NEAR(a.Z, b.z(), tolerance) << what;
}

} // namespace

TEST_F(VehicleTest, BuiltCarStandsInTheSceneAndTheWorldWithItsParts)
{
    for (bool transparent : {false, true}) {
        SCOPED_TRACE(transparent ? "transparent" : "solid");
        const int nodesBefore = nodes();
        const int bodiesBefore = bodies();
        auto* controller = new CFixedControllerPack();
        SCarRecord record;
        record.transparent = transparent;
        record.position = core::vector3df(transparent ? 20.0f : 0.0f, 0.1f, 0);
        CVehicleEntity* car = addCar(transparent ? "Glass" : "Steel", controller, record);
        ASSERT_NE(car, nullptr);
        EXPECT_NE(out.find("Vehicle is creating...\n"), std::string::npos) << out;
        EXPECT_NE(out.find("Vehicle is creating... [OK]\n\n"), std::string::npos) << out;
        EXPECT_EQ(out.find("Warning"), std::string::npos) << out;
        EXPECT_EQ(out.find("ERROR"), std::string::npos) << out;
        EXPECT_EQ(car->getId(), transparent ? 1 : 0);

        // Body and four wheels; an OBJ body has no joints below it.
        EXPECT_EQ(nodes(), nodesBefore + 5);
        EXPECT_EQ(bodies(), bodiesBefore + 1);
        btRigidBody* body = car->getPhysicsBody()->getRigidBody();
        EXPECT_EQ(body->getUserPointer(), car);
        EXPECT_EQ(body->getActivationState(), DISABLE_DEACTIVATION);
        EXPECT_EQ(controller->getVehicle(), car);
        ASSERT_NE(car->getEngineSound(), nullptr);
        EXPECT_TRUE(car->getEngineSound()->getLoop());
        EXPECT_FLOAT_EQ(car->getEngineSound()->getGain(), 0.3f);

        const video::E_MATERIAL_TYPE expected =
            transparent ? video::EMT_TRANSPARENT_ALPHA_CHANNEL_REF : video::EMT_SOLID;
        scene::ISceneNode* parts[5] = {car->getBodyNode(), car->getWheelNodeFL(),
                                       car->getWheelNodeFR(), car->getWheelNodeBL(),
                                       car->getWheelNodeBR()};
        for (scene::ISceneNode* part : parts) {
            ASSERT_NE(part, nullptr);
            ASSERT_GT(part->getMaterialCount(), 0u);
            EXPECT_EQ(part->getMaterial(0).MaterialType, expected);
        }
        scene::IMesh* meshes[5] = {car->getBodyMesh(), car->getWheelMeshFL(), car->getWheelMeshFR(),
                                   car->getWheelMeshBL(), car->getWheelMeshBR()};
        for (scene::IMesh* mesh : meshes) {
            ASSERT_NE(mesh, nullptr);
            EXPECT_EQ(mesh->getMeshBuffer(0)->getHardwareMappingHint_Vertex(), scene::EHM_STREAM);
        }

        const SEntityDesc* desc = car->getDesc();
        ASSERT_NE(desc, nullptr);
        EXPECT_EQ(desc->getName(), car->getName());
        EXPECT_EQ(desc->getDisplayName(), car->getName() + " Display");
        EXPECT_EQ(desc->getMesh(), dir.file("body.obj"));
        EXPECT_EQ(desc->getWheelBR(), dir.file("wheel.obj"));
        EXPECT_EQ(desc->getPosition(), record.position);
        EXPECT_EQ(desc->isTransparent(), transparent);
        EXPECT_EQ(desc->getMapping(), 0);
        EXPECT_EQ(desc->getTextureCount(), 0);
        EXPECT_EQ(desc->getColor(), video::SColor(255, 10, 20, 30));

        // Before any physics step the car already shows where it stands, not at the origin.
        car->updateNodes();
        EXPECT_NEAR(car->getBodyNode()->getPosition().X, record.position.X, 0.001f);
        EXPECT_NEAR(car->getBodyNode()->getPosition().Y, record.position.Y, 0.001f);
    }
}

TEST_F(VehicleTest, CarSettlesOnTheGroundAndItsNodesFollowChassisAndWheels)
{
    SCarRecord record;
    record.position = core::vector3df(5, 0.1f, -3);
    record.rotation = core::vector3df(0, 90, 0);
    CVehicleEntity* car = addCar("Settler", new CFixedControllerPack(), record);
    ASSERT_NE(car, nullptr);
    // Placed as the record says: facing +x after a quarter turn about Y.
    const btTransform placed = car->getPhysicsBody()->getRigidBody()->getWorldTransform();
    expectNear(core::vector3df(5, 0.1f, -3), placed.getOrigin(), 1e-5f, "placed origin");
    expectNear(core::vector3df(1, 0, 0), placed.getBasis().getColumn(2), 1e-5f, "placed front");
    EXPECT_EQ(car->getBodyNode()->getPosition(), record.position);
    EXPECT_EQ(car->getWheelNodeBL()->getRotation(), record.rotation);

    step(240);
    EXPECT_EQ(wheelsOnGround(car), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(wheel(car, i).m_raycastInfo.m_groundObject, groundBody()) << "wheel " << i;

    const btTransform body = chassis(car);
    EXPECT_NEAR(body.getOrigin().y(), 0.55f + 0.5f - 1.3f, 0.02f); // resting on its springs
    expectNear(car->getBodyNode()->getPosition(), body.getOrigin(), 1e-4f, "body node");
    expectSameRotation(car->getBodyNode()->getRotation(), body.getBasis());

    // Wheel nodes at the wheels; FL, FR, BL, BR are raycast wheels 0 to 3 (0 front +x).
    scene::ISceneNode* wheels[4] = {car->getWheelNodeFL(), car->getWheelNodeFR(),
                                    car->getWheelNodeBL(), car->getWheelNodeBR()};
    const float side[4] = {+1, -1, -1, +1};
    const float end[4] = {+1, +1, -1, -1};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const btTransform& w = wheel(car, i).m_worldTransform;
        expectNear(wheels[i]->getPosition(), w.getOrigin(), 1e-4f, "wheel node");
        expectSameRotation(wheels[i]->getRotation(), w.getBasis());
        const core::vector3df p = wheels[i]->getPosition();
        const btVector3 local = body.invXform(btVector3(p.X, p.Y, p.Z));
        EXPECT_GT(side[i] * local.x(), 0.5f);
        EXPECT_GT(end[i] * local.z(), 0.5f);
    }
}

TEST_F(VehicleTest, ControlsDriveAndBrakeTheRearWheelsAndSteerTheFront)
{
    auto* controller = new CFixedControllerPack();
    CVehicleEntity* car = addCar("Driven", controller);
    ASSERT_NE(car, nullptr);
    step(120);
    controller->engineForce = 800.0f;
    controller->brakeForce = 12.0f;
    controller->steering = 0.3f;
    car->applyControls();
    for (int i = 0; i < 4; ++i) {
        const bool rear = i >= 2;
        EXPECT_FLOAT_EQ(wheel(car, i).m_engineForce, rear ? 800.0f : 0.0f) << i;
        EXPECT_FLOAT_EQ(wheel(car, i).m_brake, rear ? 12.0f : 0.0f) << i;
        EXPECT_FLOAT_EQ(wheel(car, i).m_steering, rear ? 0.0f : 0.3f) << i;
    }

    // Driving forwards, straight: the car rolls towards its front (+z).
    controller->brakeForce = 0.0f;
    controller->steering = 0.0f;
    const btVector3 start = chassis(car).getOrigin();
    for (int frame = 0; frame < 60; ++frame) {
        car->applyControls();
        step();
    }
    const btVector3 moved = chassis(car).getOrigin() - start;
    EXPECT_GT(moved.z(), 1.0f);
    EXPECT_LT(std::fabs(moved.x()), 0.1f);
    EXPECT_GT(speedOf(car), 0.0f);
}

TEST_F(VehicleTest, LimitsKeepTheirValueWhenGivenNothingAboveZero)
{
    CVehicleEntity car(0, "Bare");
    const float ignored[] = {0.0f, -5.0f, std::numeric_limits<float>::quiet_NaN()};
    for (float value : ignored) {
        car.setMaxEngineForce(value);
        car.setMaxBreakingForce(value);
        car.setMaxVelocity(value);
        EXPECT_EQ(car.getMaxEngineForce(), 1.0f) << value;
        EXPECT_EQ(car.getMaxBreakingForce(), 1.0f) << value;
        EXPECT_EQ(car.getMaxVelocity(), 1.0f) << value;
    }
    car.setMaxEngineForce(1200.0f);
    car.setMaxBreakingForce(35.0f);
    car.setMaxVelocity(0.5f);
    car.setMaxVelocity(-1.0f);
    EXPECT_EQ(car.getMaxEngineForce(), 1200.0f);
    EXPECT_EQ(car.getMaxBreakingForce(), 35.0f);
    EXPECT_EQ(car.getMaxVelocity(), 0.5f);
    // The race state starts before the first crossing of the line.
    EXPECT_EQ(car.getLap(), -1);
    EXPECT_EQ(car.getLastCheckpoint(), 2);
    EXPECT_FALSE(car.isCheckpoint1Pending());
    EXPECT_FALSE(car.isCheckpoint2Pending());
    EXPECT_EQ(car.getItem(), nullptr);
}

TEST_F(VehicleTest, ItemEffectEndsInTheFirstFrameAfterItsTime)
{
    CVehicleEntity* car = addCar("Taker", new CFixedControllerPack());
    CVehicleEntity* other = addCar("Late", new CFixedControllerPack(), [] {
        SCarRecord r;
        r.position = core::vector3df(20, 0.1f, 0);
        return r;
    }());
    ASSERT_NE(other, nullptr);
    CItemEntity* nitro = addItem("Nitro", 5000, "Boost");
    setClock(10000);
    car->setItem(nitro);
    EXPECT_EQ(car->getItem(), nitro);
    EXPECT_FALSE(nitro->isActive());
    // Taken already: the second car gets nothing.
    other->setItem(nitro);
    EXPECT_EQ(other->getItem(), nullptr);

    setClock(15000);
    car->updateItem();
    EXPECT_EQ(car->getItem(), nitro);
    setClock(15001);
    car->updateItem();
    EXPECT_EQ(car->getItem(), nullptr);

    // A new item replaces the one in effect, and its own time counts from its taking.
    CItemEntity* first = addItem("First", 5000, "Speed");
    CItemEntity* second = addItem("Second", 1000, "Speed");
    setClock(20000);
    car->setItem(first);
    setClock(22000);
    car->setItem(second);
    EXPECT_EQ(car->getItem(), second);
    setClock(23000);
    car->updateItem();
    EXPECT_EQ(car->getItem(), second);
    setClock(23001);
    car->updateItem();
    EXPECT_EQ(car->getItem(), nullptr);

    // The longest effect a mission file can give lasts, and its end does not overflow.
    CItemEntity* endless = addItem("Endless", 2147483000, "Boost");
    setClock(30000);
    car->setItem(endless);
    setClock(5000000);
    car->updateItem();
    EXPECT_EQ(car->getItem(), endless);
}

TEST_F(VehicleTest, AnItemDeletedWhileInEffectIsLetGo)
{
    CVehicleEntity* car = addCar("Holder", new CFixedControllerPack());
    addItem("Keep", 5000, "Speed");
    CItemEntity* gone = addItem("Gone", 5000, "Boost");
    setClock(1000);
    car->setItem(gone);
    ASSERT_EQ(car->getItem(), gone);
    captureStdout([&] { EXPECT_TRUE(manager.removeItem("Gone")); });
    EXPECT_EQ(car->getItem(), nullptr);
    setClock(9000);
    car->updateItem();
    EXPECT_EQ(car->getItem(), nullptr);
}

struct SOverturnCase {
    const char* what;
    core::vector3df position;
    core::vector3df rotation;
    bool floating;        // gravity off: the car hangs in the air
    bool rightedMeanwhile; // put back on its wheels before the time runs out
    bool reset;
};

TEST_F(VehicleTest, CarOnItsRoofIsTurnedBackAfter3500ms)
{
    const SOverturnCase cases[] = {
        {"on its roof", {0, 2.1f, 0}, {0, 0, 180}, false, false, true},
        {"back on its wheels in time", {30, 2.1f, 0}, {0, 0, 180}, false, true, false},
        {"in the air", {-30, 30, 0}, {0, 0, 0}, true, false, false},
    };
    u32 clock = 1000;
    for (const SOverturnCase& c : cases) {
        SCOPED_TRACE(c.what);
        SCarRecord record;
        record.position = c.position;
        record.rotation = c.rotation;
        CVehicleEntity* car = addCar(c.what, new CFixedControllerPack(), record);
        ASSERT_NE(car, nullptr);
        btRigidBody* body = car->getPhysicsBody()->getRigidBody();
        if (c.floating)
            body->setGravity(btVector3(0, 0, 0));
        step(120);
        EXPECT_EQ(wheelsOnGround(car), 0);

        const u32 start = clock;
        setClock(start);
        car->checkOverturned(&manager);
        if (c.rightedMeanwhile) {
            vehicletest::teleport(car, core::vector3df(c.position.X, 0.1f, c.position.Z));
            step(120);
            EXPECT_EQ(wheelsOnGround(car), 4);
        }
        // The call alone moves the car, so its placement is compared around each call.
        const btTransform placedBefore = body->getWorldTransform();
        setClock(start + 3500);
        car->checkOverturned(&manager);
        EXPECT_EQ(body->getWorldTransform().getOrigin(), placedBefore.getOrigin()) << "not at 3500 ms";

        const btTransform unturned = body->getWorldTransform();
        const btTransform drawn = chassis(car);
        setClock(start + 3501);
        car->checkOverturned(&manager);
        const btTransform after = body->getWorldTransform();
        if (c.reset) {
            // From the drawn placement: lifted by 1.0, turned by 180 degrees about the X and Y
            // angles, Z kept.
            expectNear(core::vector3df(drawn.getOrigin().x(), drawn.getOrigin().y() + 1.0f,
                                       drawn.getOrigin().z()),
                       after.getOrigin(), 1e-5f, "lifted by 1.0");
            core::matrix4 m;
            drawn.getOpenGLMatrix(m.pointer());
            const core::vector3df a = m.getRotationDegrees();
            btQuaternion expected;
            const float k = 0.017453292f;
            expected.setEulerZYX(a.Z * k, (a.Y + 180) * k, (a.X + 180) * k);
            EXPECT_NEAR(std::fabs(after.getRotation().dot(expected)), 1.0f, 1e-4f);
            // Which puts it back on its wheels.
            EXPECT_GT(after.getBasis().getColumn(1).y(), 0.99f);
            step(120);
            EXPECT_EQ(wheelsOnGround(car), 4);
        } else {
            EXPECT_EQ(after.getOrigin(), unturned.getOrigin());
            EXPECT_EQ(after.getRotation(), unturned.getRotation());
        }
        clock += 10000;
    }
}

TEST_F(VehicleTest, TheNextTimingStartsWithTheNextOverturnedFrame)
{
    SCarRecord record;
    record.position = core::vector3df(0, 2.1f, 0);
    record.rotation = core::vector3df(0, 0, 180);
    CVehicleEntity* car = addCar("Roller", new CFixedControllerPack(), record);
    btRigidBody* body = car->getPhysicsBody()->getRigidBody();
    step(120);
    // The first timing starts at 1000 and runs out at 4501 while the car is upright.
    setClock(1000);
    car->checkOverturned(&manager);
    btTransform upright;
    upright.setIdentity();
    upright.setOrigin(btVector3(0, 0.1f, 0));
    body->setWorldTransform(upright);
    step(120);
    setClock(4501);
    car->checkOverturned(&manager);
    // On its roof again from 6000: a new timing starts there, so the reset comes at 9501 and not
    // at once.
    btTransform roof(btQuaternion(btVector3(0, 0, 1), SIMD_PI), btVector3(0, 2.1f, 0));
    body->setWorldTransform(roof);
    step(120);
    setClock(6000);
    car->checkOverturned(&manager);
    setClock(9500);
    car->checkOverturned(&manager);
    EXPECT_LT(body->getWorldTransform().getBasis().getColumn(1).y(), -0.99f);
    setClock(9501);
    car->checkOverturned(&manager);
    EXPECT_GT(body->getWorldTransform().getBasis().getColumn(1).y(), 0.99f);
}

struct SBrokenCase {
    const char* what;
    SCarRecord record;
    const char* message;
};

TEST_F(VehicleTest, CarThatCannotBeBuiltLeavesNothingInTheSceneOrTheWorld)
{
    auto record = [](const char* body, const char* physic, float mass) {
        SCarRecord r;
        r.body = body;
        r.physic = physic;
        r.mass = mass;
        return r;
    };
    const SBrokenCase cases[] = {
        {"missing body mesh", record("missing.obj", "VEHICLE0", 400),
         "ERROR: Vehicle \"missing body mesh\": body mesh"},
        {"body mesh NULL", record("NULL", "VEHICLE0", 400), "ERROR: Vehicle \"body mesh NULL\": body mesh \"NULL\""},
        {"no physics body", record("body.obj", "", 400), "ERROR: Vehicle \"no physics body\" has no physics body"},
        {"body without wheels", record("body.obj", "EMPTY", 400), "ERROR: Vehicle \"body without wheels\" has no wheels"},
        {"car without mass", record("body.obj", "VEHICLE0", 0), "ERROR: Vehicle \"car without mass\" has no wheels"},
    };
    for (const SBrokenCase& c : cases) {
        SCOPED_TRACE(c.what);
        const int nodesBefore = nodes();
        const int bodiesBefore = bodies();
        const u32 meshesBefore = engine->getSceneManager()->getMeshCache()->getMeshCount();
        int destroyed = 0;
        auto* controller = new CFixedControllerPack(&destroyed);
        CVehicleEntity* car = addCar(c.what, controller, c.record);
        ASSERT_NE(car, nullptr);
        EXPECT_NE(out.find(c.message), std::string::npos) << out;
        EXPECT_NE(out.find("Vehicle is creating... [ERROR]\n\n"), std::string::npos) << out;
        EXPECT_EQ(out.find("[OK]"), std::string::npos) << out;
        EXPECT_EQ(car->getId(), -1);
        EXPECT_EQ(car->getBodyNode(), nullptr);
        EXPECT_EQ(controller->getVehicle(), nullptr);
        EXPECT_EQ(nodes(), nodesBefore);
        EXPECT_EQ(bodies(), bodiesBefore);
        EXPECT_EQ(engine->getSceneManager()->getMeshCache()->getMeshCount(), meshesBefore);
        // Children still inherit from its description.
        ASSERT_NE(car->getDesc(), nullptr);
        EXPECT_EQ(car->getDesc()->getName(), c.what);

        // The race calls these every frame for every car.
        setClock(50000);
        car->applyControls();
        car->updateNodes();
        car->checkOverturned(&manager);
        car->updateItem();
        step(2);
        captureStdout([&] { EXPECT_TRUE(manager.removeVehicle(c.what)); });
        EXPECT_EQ(destroyed, 1);
    }
}

TEST_F(VehicleTest, CarRunsWithoutTheWheelMeshControllerOrSoundItLacks)
{
    SCarRecord noWheel;
    noWheel.wheels[1] = "missing-wheel.obj";
    CVehicleEntity* car = addCar("Three wheels", new CFixedControllerPack(), noWheel);
    ASSERT_NE(car, nullptr);
    EXPECT_NE(out.find("Warning: Vehicle \"Three wheels\": wheel mesh \""), std::string::npos) << out;
    EXPECT_NE(out.find("[OK]"), std::string::npos);
    EXPECT_EQ(car->getWheelNodeFR(), nullptr);
    EXPECT_EQ(car->getWheelMeshFR(), nullptr);
    ASSERT_NE(car->getWheelNodeFL(), nullptr);
    step(120);
    EXPECT_EQ(wheelsOnGround(car), 4);
    expectNear(car->getWheelNodeBR()->getPosition(), wheel(car, 3).m_worldTransform.getOrigin(),
               1e-4f, "wheel BR");

    SCarRecord parked;
    parked.position = core::vector3df(20, 0.1f, 0);
    parked.withSound = false;
    CVehicleEntity* silent = addCar("Parked", nullptr, parked);
    ASSERT_NE(silent, nullptr);
    EXPECT_NE(out.find("Warning: Vehicle \"Parked\" has no controller"), std::string::npos) << out;
    EXPECT_NE(out.find("Warning: Vehicle \"Parked\" has no engine sound"), std::string::npos) << out;
    EXPECT_EQ(silent->getId(), 1);
    EXPECT_EQ(silent->getControllerPack(), nullptr);
    EXPECT_EQ(silent->getEngineSound(), nullptr);
    // Without a controller the car holds still with its full brake.
    silent->applyControls();
    EXPECT_FLOAT_EQ(wheel(silent, 2).m_brake, 40.0f);
    EXPECT_FLOAT_EQ(wheel(silent, 3).m_engineForce, 0.0f);
}

TEST_F(VehicleTest, RemovedCarTakesItsNodesBodyControllerAndMeshesAlong)
{
    const int nodesBefore = nodes();
    const int bodiesBefore = bodies();
    const u32 meshesBefore = engine->getSceneManager()->getMeshCache()->getMeshCount();
    int destroyed = 0;
    ASSERT_NE(addCar("Leaver", new CFixedControllerPack(&destroyed)), nullptr);
    step(10);
    // A second car of the same name is refused, and the manager destroys it at once.
    int refusedDestroyed = 0;
    SCarRecord elsewhere;
    elsewhere.position = core::vector3df(20, 0.1f, 0);
    EXPECT_EQ(addCar("Leaver", new CFixedControllerPack(&refusedDestroyed), elsewhere), nullptr);
    EXPECT_EQ(refusedDestroyed, 1);
    EXPECT_EQ(nodes(), nodesBefore + 5);
    EXPECT_EQ(bodies(), bodiesBefore + 1);
    step(10);

    std::string removing = captureStdout([&] { EXPECT_TRUE(manager.removeVehicle("Leaver")); });
    EXPECT_NE(removing.find("Vehicle is removing...\n"), std::string::npos);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(nodes(), nodesBefore);
    EXPECT_EQ(bodies(), bodiesBefore);
    EXPECT_EQ(engine->getSceneManager()->getMeshCache()->getMeshCount(), meshesBefore);
    step(10);
}

TEST_F(VehicleTest, MeshTexturesLeaveWithTheLastCarThatShowsThem)
{
    for (const char* name : {"paint.png", "shadow.png"})
        testsupport::writeImage(engine.get(), dir.file(name));
    dir.write("painted.mtl", "newmtl paint\nmap_Kd paint.png\n");
    dir.write("painted.obj", entitytest::boxesObj({{{-1, 1, -2}, {1, 2, 2}}}, "painted.mtl", "paint"));
    SCarRecord first;
    first.body = "painted.obj";
    SCarRecord second = first;
    second.position = core::vector3df(20, 0.1f, 0);
    addCar("First", new CFixedControllerPack(), first);
    CVehicleEntity* other = addCar("Second", new CFixedControllerPack(), second);
    video::ITexture* paint = loaded("paint.png");
    ASSERT_NE(paint, nullptr);
    ASSERT_EQ(other->getBodyNode()->getMaterial(0).getTexture(0), paint);
    // A texture the race put on the car's material is not the car's to remove.
    video::ITexture* shadow = engine->getVideoDriver()->getTexture(dir.file("shadow.png").c_str());
    ASSERT_NE(shadow, nullptr);
    other->getBodyNode()->getMaterial(0).setTexture(1, shadow);

    captureStdout([&] { manager.removeVehicle("First"); });
    EXPECT_EQ(loaded("paint.png"), paint);
    EXPECT_EQ(other->getBodyNode()->getMaterial(0).getTexture(0), paint);

    captureStdout([&] { manager.removeVehicle("Second"); });
    EXPECT_EQ(loaded("paint.png"), nullptr);
    EXPECT_EQ(loaded("shadow.png"), shadow);
}
