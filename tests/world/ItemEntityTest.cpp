// Pick-up items: taking, hiding and coming back on the game clock, spinning, inheritance.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "EntityFixtures.h"
#include "support/TestSupport.h"
#include "core/CGameEngine.h"
#include "world/CEntityManager.h"
#include "world/CItemEntity.h"

using namespace irr;
using testsupport::captureStdout;

namespace {

struct ItemTest : entitytest::EntityWorldTest {
    ItemTest()
    {
        dir.write("rocket.obj", entitytest::boxesObj({{{-0.5f, 0, -0.5f}, {0.5f, 1, 0.5f}}}));
    }
    CItemEntity* newItem(const std::string& name, const std::string& parent = "")
    {
        CItemEntity* item = nullptr;
        captureStdout([&] { item = new CItemEntity(name, parent, &manager); });
        return item;
    }
    // The game clock is the timer minus the time spent paused.
    void clockAt(u32 timerMs, f32 pausedMs = 0)
    {
        engine.setTime(timerMs);
        engine->pausedTime = pausedMs;
    }
};

} // namespace

TEST_F(ItemTest, ATakenItemComesBackOnlyAfterItsRespawnTimeOnTheGameClock)
{
    CItemEntity* item = newItem("Turbo0");
    item->setRespawnTime(30000);
    clockAt(1000);
    ASSERT_TRUE(item->take());
    EXPECT_FALSE(item->isActive());

    // A second take while away changes nothing, not even the time it was taken.
    clockAt(20000);
    EXPECT_FALSE(item->take());

    struct Step { u32 timer; f32 paused; bool active; };
    const Step steps[] = {
        {31000, 0, false},    // exactly the respawn time: still away
        {36000, 5000, false}, // a pause does not count: the game clock says 31000
        {36001, 5000, true},
    };
    for (const Step& s : steps) {
        clockAt(s.timer, s.paused);
        item->update();
        EXPECT_EQ(item->isActive(), s.active) << s.timer << " paused " << s.paused;
    }
    EXPECT_TRUE(item->take());
}

TEST_F(ItemTest, SpinsFortyFiveDegreesASecondOnlyWhileActive)
{
    CItemEntity* item = newItem("Turbo0");
    ASSERT_TRUE(item->loadMesh(dir.file("rocket.obj")));
    engine->frameDelta = 2.0f;
    item->update();
    EXPECT_FLOAT_EQ(item->getNode()->getRotation().Y, 90.0f);

    item->take();
    item->update();
    EXPECT_FLOAT_EQ(item->getNode()->getRotation().Y, 90.0f);

    // A long race keeps the angle within one turn.
    clockAt(1);
    item->update();
    engine->frameDelta = 100.0f;
    item->update();
    const f32 angle = item->getNode()->getRotation().Y;
    EXPECT_GE(angle, 0.0f);
    EXPECT_LT(angle, 360.0f);
    EXPECT_NEAR(angle, std::fmod(90.0f + 4500.0f, 360.0f), 0.01f);
}

TEST_F(ItemTest, TimesOfZeroAreNotSetAndNegativeTimesBecomeZero)
{
    CItemEntity* item = newItem("Turbo0");
    item->setEffectTime(10000);
    item->setEffectTime(0);
    EXPECT_EQ(item->getEffectTime(), 10000);

    item->setRespawnTime(30000);
    const std::string out = captureStdout([&] {
        item->setRespawnTime(-500);
        item->setEffectTime(-1);
    });
    EXPECT_EQ(item->getRespawnTime(), 0);
    EXPECT_EQ(item->getEffectTime(), 0);
    EXPECT_NE(out.find("Warning: Item \"Turbo0\" has a negative respawn time"), std::string::npos) << out;
    EXPECT_NE(out.find("Warning: Item \"Turbo0\" has a negative effect time"), std::string::npos) << out;

    // With no respawn time the item is back on the next frame.
    clockAt(1000);
    item->take();
    clockAt(1001);
    item->update();
    EXPECT_TRUE(item->isActive());
}

// The largest times a mission file holds ("99999999999" reads as the integer limit).
TEST_F(ItemTest, TimesAtTheTopOfTheIntegerRangeKeepTheItemAway)
{
    const s32 times[] = {2147483000, std::numeric_limits<s32>::max()};
    for (s32 time : times) {
        CItemEntity* item = newItem("Far" + std::to_string(time));
        item->setRespawnTime(time);
        item->setEffectTime(time);
        EXPECT_GE(item->getRespawnTime(), 2147483000) << time;
        EXPECT_GE(item->getEffectTime(), 2147483000) << time;
        clockAt(1000);
        ASSERT_TRUE(item->take());
        clockAt(5000000);
        item->update();
        EXPECT_FALSE(item->isActive()) << time;
    }
}

TEST_F(ItemTest, KindComesFromTheExactText)
{
    struct Case { const char* text; s32 type; };
    const Case cases[] = {{"Boost", EIT_BOOST}, {"Speed", EIT_SPEED}, {"boost", EIT_NONE},
                          {"SPEED", EIT_NONE}, {"Speed ", EIT_NONE}, {"", EIT_NONE}};
    CItemEntity* item = newItem("Turbo0");
    for (const Case& c : cases) {
        item->setType(c.text);
        EXPECT_EQ(item->getType(), c.type) << '"' << c.text << '"';
    }
}

TEST_F(ItemTest, AChildStartsFromItsParent)
{
    CItemEntity* parent = newItem("Speed0");
    ASSERT_TRUE(parent->loadMesh(dir.file("rocket.obj")));
    parent->setValue(80);
    parent->setType("Speed");
    parent->setRespawnTime(30000);
    parent->setEffectTime(5000);
    parent->getNode()->setPosition(core::vector3df(5, 0, 5));

    CItemEntity* child = newItem("Speed1", "Speed0");
    EXPECT_EQ(child->getId(), 1);
    EXPECT_EQ(child->getMesh(), parent->getMesh());
    ASSERT_NE(child->getNode(), parent->getNode());
    EXPECT_EQ(child->getNode()->getType(), scene::ESNT_MESH);
    EXPECT_EQ(child->getNode()->getPosition(), core::vector3df(0, 0, 0));
    EXPECT_FLOAT_EQ(child->getValue(), 80.0f);
    EXPECT_EQ(child->getType(), EIT_SPEED);
    EXPECT_EQ(child->getRespawnTime(), 30000);
    EXPECT_EQ(child->getEffectTime(), 5000);
}

TEST_F(ItemTest, AMissingParentOrParentMeshLeavesAnEmptyNode)
{
    CItemEntity* bare = newItem("Bare");
    bare->setValue(50);
    bare->setType("Boost");
    bare->setRespawnTime(7000);

    struct Case { const char* parent; const char* message; s32 respawn; };
    const Case cases[] = {{"Nobody", "ERROR: Parent entity not found...\n", 0},
                          {"NULL", "ERROR: Parent entity not found...\n", 0},
                          {"Bare", "ERROR: Parent mesh not found...\n", 7000}};
    for (const Case& c : cases) {
        CItemEntity* child = nullptr;
        const std::string out = captureStdout([&] { child = new CItemEntity("Child", c.parent, &manager); });
        EXPECT_NE(out.find(c.message), std::string::npos) << c.parent << ": " << out;
        ASSERT_NE(child->getNode(), nullptr) << c.parent;
        EXPECT_EQ(child->getNode()->getType(), scene::ESNT_EMPTY) << c.parent;
        EXPECT_EQ(child->getMesh(), nullptr) << c.parent;
        EXPECT_FLOAT_EQ(child->getValue(), 0.0f) << c.parent;
        EXPECT_EQ(child->getType(), EIT_NONE) << c.parent;
        EXPECT_EQ(child->getRespawnTime(), c.respawn) << c.parent;
    }
}

TEST_F(ItemTest, AMeshThatCannotBeLoadedKeepsTheCurrentNode)
{
    CItemEntity* item = newItem("Turbo0");
    scene::ISceneNode* before = item->getNode();
    bool loaded = true;
    const std::string out = captureStdout([&] { loaded = item->loadMesh(dir.file("missing.obj")); });
    EXPECT_FALSE(loaded);
    // Said as for every other missing mesh.
    EXPECT_EQ(testsupport::gameLines(out),
              std::vector<std::string>{"ERROR: Item \"Turbo0\": mesh \"" + dir.file("missing.obj") + "\" not found"});
    EXPECT_EQ(item->getNode(), before);
    EXPECT_FALSE(item->setMesh(nullptr));
    EXPECT_EQ(item->getNode(), before);

    const int nodes = entitytest::sceneNodeCount(engine.get());
    ASSERT_TRUE(item->loadMesh(dir.file("rocket.obj")));
    // The empty node made way for the mesh node.
    EXPECT_EQ(entitytest::sceneNodeCount(engine.get()), nodes);
    EXPECT_EQ(item->getNode()->getType(), scene::ESNT_MESH);
}

// A mesh that only the item's node holds, given to the item again: the new node must still get it.
TEST_F(ItemTest, AMeshHeldOnlyByTheOldNodeSurvivesBeingSetAgain)
{
    CItemEntity* item = newItem("Turbo0");
    scene::SMesh* own = new scene::SMesh();
    scene::SMeshBuffer* buffer = new scene::SMeshBuffer();
    own->addMeshBuffer(buffer);
    buffer->drop();
    ASSERT_TRUE(item->setMesh(own));
    own->drop();
    ASSERT_EQ(own->getReferenceCount(), 1) << "the node is the only holder";

    ASSERT_TRUE(item->setMesh(item->getMesh()));
    EXPECT_EQ(item->getMesh(), own);
    EXPECT_EQ(own->getReferenceCount(), 1);
    EXPECT_EQ(own->getMeshBufferCount(), 1u);
    EXPECT_EQ(static_cast<scene::IMeshSceneNode*>(item->getNode())->getMesh(), own);
}
