// The two developer tools on a car in a real world: the waypoint recorder (F1, space) and the
// items creator (F2, keys 1 to 3), what they print, put into the scene and write.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "core/CGameEngine.h"
#include "race/CGoCapRecorder.h"
#include "race/CItemsCreator.h"
#include "world/CItemEntity.h"
#include "world/CVehicleEntity.h"
#include "world/VehicleFixtures.h"

using namespace irr;
using testsupport::captureStdout;

namespace {

std::string fixed6(float value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%0.6f", value);
    return text;
}

std::string xyz(const core::vector3df& p)
{
    return "X=\"" + fixed6(p.X) + "\" Y=\"" + fixed6(p.Y) + "\" Z=\"" + fixed6(p.Z) + "\"/>\n";
}

struct DeveloperToolsTest : vehicletest::VehicleWorldTest {
    DeveloperToolsTest() : cwd(dir.path())
    {
        car = addCar("Player", new vehicletest::CFixedControllerPack());
        manager.setPlayerVehicleIndex(0);
        step(60);
    }
    // Holds the keys over `updates` frames of `tool`, then lets go in the next; what the tool
    // printed. Each frame begins with the engine's turn of the device, as in the race loop.
    template <class TTool>
    std::string press(TTool& tool, std::initializer_list<EKEY_CODE> keys, int updates = 1)
    {
        return captureStdout([&] {
            engine->run();
            for (EKEY_CODE key : keys)
                engine.postKey(key, true);
            for (int i = 0; i < updates; ++i) {
                if (i > 0)
                    engine->run();
                tool.update();
            }
            engine->run();
            for (EKEY_CODE key : keys)
                engine.postKey(key, false);
            tool.update();
        });
    }
    core::vector3df carAt() { return car->getBodyNode()->getPosition(); }
    void moveCar(const core::vector3df& by) { car->getBodyNode()->setPosition(carAt() + by); }

    testsupport::CWorkingDir cwd;
    CVehicleEntity* car;
};

TEST_F(DeveloperToolsTest, RecorderTogglesOncePerPressOfF1)
{
    CGoCapRecorder recorder(engine.get(), &manager);
    EXPECT_FALSE(recorder.isEnabled());
    EXPECT_EQ(press(recorder, {KEY_F1}, 4), "GoCap Mode: ON\n");
    EXPECT_TRUE(recorder.isEnabled());
    EXPECT_EQ(press(recorder, {KEY_F1}), "GoCap Mode: OFF\n");
    EXPECT_FALSE(recorder.isEnabled());
}

TEST_F(DeveloperToolsTest, RecorderWritesAWaypointPathOfTheCarsPlaces)
{
    CGoCapRecorder recorder(engine.get(), &manager);
    const int before = nodes();
    press(recorder, {KEY_SPACE});
    EXPECT_EQ(nodes(), before) << "space while off records nothing";
    EXPECT_TRUE(recorder.save("never.xml"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("never.xml"))) << "never switched on";

    std::string expected = "<?xml version=\"1.0\"?>\n\n";
    press(recorder, {KEY_F1});
    const core::vector3df first = carAt();
    press(recorder, {KEY_SPACE}, 5); // held: one point
    expected += "<Waypoint " + xyz(first);
    moveCar(core::vector3df(10.25f, 0.5f, -3.125f));
    const core::vector3df second = carAt();
    press(recorder, {KEY_SPACE});
    expected += "<Waypoint " + xyz(second);
    // Off and on again: the path goes on without a second header.
    press(recorder, {KEY_F1});
    press(recorder, {KEY_F1});
    moveCar(core::vector3df(-20.0f, 0.0f, 7.5f));
    press(recorder, {KEY_SPACE});
    expected += "<Waypoint " + xyz(carAt());

    ASSERT_TRUE(recorder.save("path.xml"));
    EXPECT_EQ(dir.read("path.xml"), expected);
    EXPECT_EQ(nodes(), before + 3);
    // The second marker, a small unlit cube one unit above the car's place.
    scene::ISceneNode* marker = nullptr;
    for (scene::ISceneNode* node : engine->getSceneManager()->getRootSceneNode()->getChildren()) {
        if (node->getType() == scene::ESNT_CUBE &&
            node->getPosition().equals(second + core::vector3df(0, 1, 0)))
            marker = node;
    }
    ASSERT_NE(marker, nullptr);
    EXPECT_FALSE(marker->getMaterial(0).Lighting);
}

TEST_F(DeveloperToolsTest, RecorderReportsAFailedSave)
{
    CGoCapRecorder recorder(engine.get(), &manager);
    press(recorder, {KEY_F1});
    press(recorder, {KEY_SPACE});
    bool saved = true;
    const std::string out = captureStdout([&] { saved = recorder.save("no/such/folder/path.xml"); });
    EXPECT_FALSE(saved);
    EXPECT_EQ(out.rfind("ERROR: ", 0), 0u) << out;
}

std::string fullRecord(const std::string& name, const char* mesh, const char* boost, const char* type,
                       const core::vector3df& at)
{
    return "<Item Name=\"" + name + "\" ParentName=\"\"/>\n\t<Mesh Value=\"" + mesh + "\"/>\n" +
           "\t<Position " + xyz(at) + "\t<Scale X=\"1.0\" Y=\"1.0\" Z=\"1.0\"/>\n" +
           "\t<Boost Value=\"" + boost + "\"/>\n\t<EffectTime Value=\"10000\"/>\n" +
           "\t<RespawnTime Value=\"30000\"/>\n\t<Type Value=\"" + type + "\"/>\n</Item>\n\n";
}

std::string childRecord(const std::string& name, const std::string& parent, const core::vector3df& at)
{
    return "<Item Name=\"" + name + "\" ParentName=\"" + parent + "\"/>\n\t<Position " + xyz(at) +
           "</Item>\n\n";
}

const char* const kSaved = "Items Creator Mode: OFF\nItems saved in file: \"ItemsCreator_Items.xml\"\n";

TEST_F(DeveloperToolsTest, ItemsCreatorDropsItemsAboveTheCarAndWritesTheirRecords)
{
    CItemsCreator creator(engine.get(), &manager);
    press(creator, {KEY_KEY_1});
    EXPECT_EQ(manager.getItemCount(), 0) << "keys do nothing while off";
    EXPECT_EQ(press(creator, {KEY_F2}), "Items Creator Mode: ON\n");
    ASSERT_TRUE(creator.isEnabled());

    const core::vector3df raise(0, 2, 0);
    const core::vector3df first = carAt() + raise;
    captureStdout([&] { press(creator, {KEY_KEY_1}, 3); });
    moveCar(core::vector3df(4.5f, 0, 12.0f));
    const core::vector3df second = carAt() + raise;
    captureStdout([&] { press(creator, {KEY_KEY_1}); });
    // Two keys in one update: the last in the order 1, 2, 3 decides.
    moveCar(core::vector3df(-8.0f, 0, 1.0f));
    const core::vector3df third = carAt() + raise;
    captureStdout([&] { press(creator, {KEY_KEY_1, KEY_KEY_3}); });

    ASSERT_EQ(manager.getItemCount(), 3);
    const struct {
        const char* name;
        f32 value;
        s32 type;
        core::vector3df at;
    } items[] = {{"Break0", -60.0f, EIT_SPEED, first}, {"Break1", -60.0f, EIT_SPEED, second},
                 {"Boost0", 10000.0f, EIT_BOOST, third}};
    for (int i = 0; i < 3; ++i) {
        CItemEntity* item = manager.getItem(i);
        EXPECT_EQ(item->getName(), items[i].name);
        EXPECT_EQ(item->getValue(), items[i].value) << items[i].name;
        EXPECT_EQ(item->getType(), items[i].type) << items[i].name;
        EXPECT_EQ(item->getEffectTime(), 10000) << items[i].name;
        EXPECT_EQ(item->getRespawnTime(), 30000) << items[i].name;
        EXPECT_EQ(item->getNode()->getPosition(), items[i].at) << items[i].name;
        EXPECT_TRUE(item->isActive()) << items[i].name;
    }

    EXPECT_EQ(press(creator, {KEY_F2}), kSaved);
    EXPECT_FALSE(creator.isEnabled());
    EXPECT_EQ(dir.read("ItemsCreator_Items.xml"),
              fullRecord("Break0", "data/items/who.b3d", "-60", "Speed", first) +
                  childRecord("Break1", "Break0", second) +
                  fullRecord("Boost0", "data/items/tyre.b3d", "10000", "Boost", third));

    // A new period starts a fresh file; without items it is empty.
    press(creator, {KEY_F2});
    EXPECT_EQ(press(creator, {KEY_F2}), kSaved);
    EXPECT_EQ(dir.read("ItemsCreator_Items.xml"), "");
}

TEST_F(DeveloperToolsTest, ItemsCreatorKeepsItsRecordsWhenTheSaveFails)
{
    CItemsCreator creator(engine.get(), &manager);
    std::filesystem::create_directory(dir.file("ItemsCreator_Items.xml"));
    press(creator, {KEY_F2});
    const core::vector3df first = carAt() + core::vector3df(0, 2, 0);
    captureStdout([&] { press(creator, {KEY_KEY_2}); });
    const std::string out = press(creator, {KEY_F2});
    EXPECT_NE(out.find("ERROR: "), std::string::npos) << out;
    EXPECT_NE(out.find("Items Creator Mode: OFF\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("Items saved"), std::string::npos) << out;

    std::filesystem::remove(dir.file("ItemsCreator_Items.xml"));
    press(creator, {KEY_F2});
    moveCar(core::vector3df(0, 0, 6.0f));
    const core::vector3df second = carAt() + core::vector3df(0, 2, 0);
    captureStdout([&] { press(creator, {KEY_KEY_2}); });
    EXPECT_EQ(press(creator, {KEY_F2}), kSaved);
    EXPECT_EQ(dir.read("ItemsCreator_Items.xml"),
              fullRecord("Turbo0", "data/items/rocket.b3d", "80", "Speed", first) +
                  childRecord("Turbo1", "Turbo0", second));
}

// A key held down over the switch-off and on again counts as a new press once the creator is on.
TEST_F(DeveloperToolsTest, ItemsCreatorTakesAKeyHeldOverTheSwitchOffAsANewPress)
{
    CItemsCreator creator(engine.get(), &manager);
    captureStdout([&] {
        press(creator, {KEY_F2});
        engine.postKey(KEY_KEY_1, true);
        creator.update();
        ASSERT_EQ(manager.getItemCount(), 1);
        press(creator, {KEY_F2});
        press(creator, {KEY_F2});
    });
    EXPECT_EQ(manager.getItemCount(), 2);
}

// A player whose regional settings write "1,5" still gets files the game reads back.
TEST_F(DeveloperToolsTest, ToolsWriteDecimalPointsUnderACommaLocale)
{
    testsupport::CCommaLocale comma;
    if (!comma.active())
        GTEST_SKIP() << comma.why;
    car->getBodyNode()->setPosition(core::vector3df(1.5f, -0.25f, 12.125f));
    const std::string at = "X=\"1.500000\" Y=\"-0.250000\" Z=\"12.125000\"/>\n";
    const std::string raised = "X=\"1.500000\" Y=\"1.750000\" Z=\"12.125000\"/>\n";

    CGoCapRecorder recorder(engine.get(), &manager);
    captureStdout([&] {
        press(recorder, {KEY_F1});
        press(recorder, {KEY_SPACE});
    });
    ASSERT_TRUE(recorder.save("path.xml"));
    EXPECT_EQ(dir.read("path.xml"), "<?xml version=\"1.0\"?>\n\n<Waypoint " + at);

    CItemsCreator creator(engine.get(), &manager);
    captureStdout([&] {
        press(creator, {KEY_F2});
        press(creator, {KEY_KEY_2});
        press(creator, {KEY_F2});
    });
    EXPECT_NE(dir.read("ItemsCreator_Items.xml").find("\t<Position " + raised), std::string::npos)
        << dir.read("ItemsCreator_Items.xml");
}

} // namespace
