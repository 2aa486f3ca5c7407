// The entity manager: its four lists, the add rules, removal by name and index, and tearing a
// mission down until nothing of it is left in the scene or the physics world.
#include <gtest/gtest.h>

#include "EntityFixtures.h"
#include "support/TestSupport.h"
#include "core/CGameEngine.h"
#include "world/CEntityManager.h"
#include "world/CItemEntity.h"
#include "world/COSEntity.h"
#include "world/CPhysicsBody.h"
#include "world/CStaticObjectEntity.h"
#include "world/CVehicleEntity.h"

using namespace irr;
using testsupport::captureStdout;

namespace {

struct ManagerTest : entitytest::EntityWorldTest {
    ManagerTest()
    {
        dir.write("block.obj", entitytest::boxesObj({{{-1, 0, -1}, {1, 2, 1}}}));
    }
    // A static object with a mesh node and a body in the world.
    CStaticObjectEntity* newStaticObject(const std::string& name)
    {
        CStaticObjectEntity* object = nullptr;
        captureStdout([&] {
            CPhysicsBody* body = new CPhysicsBody("MESH", dir.file("block.obj"), 1, 1, 1, 0,
                                                  engine.get(), nullptr);
            object = new CStaticObjectEntity(manager.getStaticObjectCount(), name, "NULL",
                                             dir.file("block.obj"), core::vector3df(0, 0, 0),
                                             core::vector3df(0, 0, 0), core::vector3df(1, 1, 1),
                                             core::vector3df(0, 0, 0), false, 0, {}, body,
                                             engine.get());
        });
        return object;
    }
    bool addVehicle(const std::string& name, std::string* out = nullptr)
    {
        bool added = false;
        const std::string text = captureStdout([&] {
            added = manager.addVehicle(new CVehicleEntity(manager.getVehicleCount(), name));
        });
        if (out)
            *out = text;
        return added;
    }
    bool addStaticObject(const std::string& name)
    {
        CStaticObjectEntity* object = newStaticObject(name);
        bool added = false;
        captureStdout([&] { added = manager.addStaticObject(object); });
        return added;
    }
};

} // namespace

TEST_F(ManagerTest, RefusesTheNameNullAndNamesAlreadyInTheList)
{
    struct Case { const char* name; bool added; };
    const Case cases[] = {{"NULL", false}, {"null", true}, {"NULLs", true}, {"", true},
                          {"", false},     {"Car", true},  {"car", true},   {"Car", false}};
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(addVehicle(c.name, &out), c.added) << '"' << c.name << '"';
        if (!c.added) {
            // Reported and destroyed at once: the manager took it over either way.
            EXPECT_EQ(out.rfind("Warning: Vehicle", 0), 0u) << out;
            EXPECT_NE(out.find("Vehicle is removing...\n"), std::string::npos) << out;
        } else {
            EXPECT_EQ(out, "") << c.name;
        }
    }
    ASSERT_EQ(manager.getVehicleCount(), 5);
    EXPECT_EQ(manager.getVehicle(4)->getName(), "car");
}

TEST_F(ManagerTest, ARefusedStaticObjectLeavesNothingInTheWorld)
{
    const int bodies = entitytest::bodyCount(engine.get());
    const int nodes = entitytest::sceneNodeCount(engine.get());
    ASSERT_TRUE(addStaticObject("Hill"));
    EXPECT_EQ(entitytest::bodyCount(engine.get()), bodies + 1);
    EXPECT_EQ(entitytest::sceneNodeCount(engine.get()), nodes + 1);
    for (const char* refused : {"NULL", "Hill"}) {
        EXPECT_FALSE(addStaticObject(refused)) << refused;
        EXPECT_EQ(entitytest::bodyCount(engine.get()), bodies + 1) << refused;
        EXPECT_EQ(entitytest::sceneNodeCount(engine.get()), nodes + 1) << refused;
    }
    EXPECT_EQ(manager.getStaticObjectCount(), 1);
}

TEST_F(ManagerTest, EachListIsSearchedOnItsOwn)
{
    ASSERT_TRUE(addStaticObject("Hill"));
    ASSERT_TRUE(addVehicle("Hill"));
    EXPECT_EQ(manager.findStaticObject("Hill"), manager.getStaticObject(0));
    EXPECT_EQ(manager.findVehicle("Hill"), manager.getVehicle(0));
    EXPECT_EQ(manager.findVehicle("hill"), nullptr);
    EXPECT_EQ(manager.findVehicle(nullptr), nullptr);
    EXPECT_EQ(manager.findStaticObject("Hil"), nullptr);
}

TEST_F(ManagerTest, RemovingMovesTheLaterEntriesDown)
{
    for (const char* name : {"Red", "Green", "Blue"})
        ASSERT_TRUE(addVehicle(name));
    for (int outside : {-1, 3}) {
        EXPECT_EQ(manager.getVehicle(outside), nullptr) << outside;
        EXPECT_FALSE(manager.removeVehicleAt(outside)) << outside;
        EXPECT_EQ(manager.getStaticObject(outside), nullptr) << outside;
        EXPECT_FALSE(manager.removeStaticObjectAt(outside)) << outside;
        EXPECT_EQ(manager.getItem(outside), nullptr) << outside;
        EXPECT_FALSE(manager.removeItemAt(outside)) << outside;
        EXPECT_EQ(manager.getCheckpoint(outside), nullptr) << outside;
    }
    EXPECT_FALSE(manager.removeVehicle("Yellow"));
    EXPECT_FALSE(manager.removeStaticObject("Red"));

    std::string out = captureStdout([&] { EXPECT_TRUE(manager.removeVehicleAt(0)); });
    EXPECT_EQ(out, "Vehicle is removing...\n");
    ASSERT_EQ(manager.getVehicleCount(), 2);
    // The id given at creation stays.
    EXPECT_EQ(manager.getVehicle(0)->getName(), "Green");
    EXPECT_EQ(manager.getVehicle(0)->getId(), 1);

    captureStdout([&] { EXPECT_TRUE(manager.removeVehicle("Blue")); });
    ASSERT_EQ(manager.getVehicleCount(), 1);
    EXPECT_EQ(manager.findVehicle("Blue"), nullptr);

    ASSERT_TRUE(addStaticObject("Hill"));
    const int bodies = entitytest::bodyCount(engine.get());
    captureStdout([&] { EXPECT_TRUE(manager.removeStaticObject("Hill")); });
    EXPECT_EQ(manager.getStaticObjectCount(), 0);
    EXPECT_EQ(entitytest::bodyCount(engine.get()), bodies - 1);
}

TEST_F(ManagerTest, ItemsAreNeverRefusedAndFoundFirstComeFirst)
{
    CItemEntity* first = nullptr;
    CItemEntity* second = nullptr;
    captureStdout([&] {
        first = new CItemEntity("Turbo", "", &manager);
        second = new CItemEntity("Turbo", "", &manager);
    });
    ASSERT_EQ(manager.getItemCount(), 2);
    EXPECT_EQ(first->getId(), 0);
    EXPECT_EQ(second->getId(), 1);
    EXPECT_EQ(manager.findItem("Turbo"), first);
    EXPECT_EQ(manager.findItem("turbo"), nullptr);

    const int nodes = entitytest::sceneNodeCount(engine.get());
    const std::string out = captureStdout([&] { EXPECT_TRUE(manager.removeItem("Turbo")); });
    EXPECT_EQ(out, "Item is removing...\n");
    EXPECT_EQ(entitytest::sceneNodeCount(engine.get()), nodes - 1);
    EXPECT_EQ(manager.findItem("Turbo"), second);
    EXPECT_FALSE(manager.removeItem("Nitro"));
}

TEST_F(ManagerTest, ClearLeavesNoBodyNodeOrUnusedMesh)
{
    const int bodies = entitytest::bodyCount(engine.get());
    const int nodes = entitytest::sceneNodeCount(engine.get());
    dir.write("gate.obj", entitytest::boxesObj({{{-2, 0, -2}, {2, 4, 2}}}));
    captureStdout([&] {
        CItemEntity* item = new CItemEntity("Turbo", "", &manager);
        item->loadMesh(dir.file("block.obj"));
        new CItemEntity("Spare", "", &manager);
        new COSEntity(0, dir.file("gate.obj"), &manager);
    });
    ASSERT_TRUE(addStaticObject("Hill"));
    ASSERT_TRUE(addStaticObject("Road"));
    ASSERT_TRUE(addVehicle("Player"));
    manager.setPlayerVehicleIndex(0);
    ASSERT_GT(entitytest::bodyCount(engine.get()), bodies);
    ASSERT_GT(entitytest::sceneNodeCount(engine.get()), nodes);

    const std::string out = captureStdout([&] { manager.clear(); });
    // Items first, then checkpoints, static objects and vehicles.
    const size_t item = out.find("Item is removing...");
    const size_t checkpoint = out.find("OS is removing...");
    const size_t object = out.find("StaticObject is removing...");
    const size_t vehicle = out.find("Vehicle is removing...");
    EXPECT_LT(item, checkpoint);
    EXPECT_LT(checkpoint, object);
    EXPECT_LT(object, vehicle);
    EXPECT_NE(vehicle, std::string::npos) << out;

    EXPECT_EQ(manager.getItemCount() + manager.getCheckpointCount() +
                  manager.getStaticObjectCount() + manager.getVehicleCount(), 0);
    EXPECT_EQ(entitytest::bodyCount(engine.get()), bodies);
    EXPECT_EQ(entitytest::sceneNodeCount(engine.get()), nodes);
    EXPECT_FALSE(engine->getSceneManager()->getMeshCache()->isMeshLoaded(dir.file("block.obj").c_str()));
}

TEST_F(ManagerTest, ClearingAnEmptyManagerStillDropsUnusedMeshesAndResetsThePlayer)
{
    ASSERT_NE(engine->getSceneManager()->getMesh(dir.file("block.obj").c_str()), nullptr);
    EXPECT_TRUE(manager.setPlayerVehicleIndex(3));
    // A plain number: nothing checks it against the list.
    EXPECT_EQ(manager.getPlayerVehicleIndex(), 3);
    manager.clear();
    EXPECT_EQ(manager.getPlayerVehicleIndex(), 0);
    EXPECT_FALSE(engine->getSceneManager()->getMeshCache()->isMeshLoaded(dir.file("block.obj").c_str()));
}
