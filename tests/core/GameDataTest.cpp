// The game data's standings, rally places, race clock text, video modes and key table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "support/TestSupport.h"
#include "core/CGameData.h"
#include "core/CGameEngine.h"
#include "core/CTranslation.h"
#include "core/RaceOrder.h"
#include "core/SKeyEntry.h"
#include "world/CVehicleEntity.h"

using testsupport::CNullEngine;
using testsupport::CScratchDir;

namespace {

struct SCar { int lap; int index; float distance; bool finished; };

// Cars named by their position in `cars`; the order comes back as those positions.
std::vector<int> raceOrderOf(std::vector<CVehicleEntity>& cars)
{
    std::vector<CVehicleEntity*> order;
    for (CVehicleEntity& car : cars)
        order.push_back(&car);
    sortRaceOrderEntries(order);
    std::vector<int> positions;
    for (CVehicleEntity* car : order)
        positions.push_back(static_cast<int>(car - cars.data()));
    return positions;
}

std::vector<CVehicleEntity> makeCars(const std::vector<SCar>& spec)
{
    std::vector<CVehicleEntity> cars(spec.size());
    for (size_t i = 0; i < spec.size(); ++i) {
        cars[i].setLap(spec[i].lap);
        cars[i].setNavigationIndex(spec[i].index);
        cars[i].setNavigationDistance(spec[i].distance);
        cars[i].setFinished(spec[i].finished);
    }
    return cars;
}

struct GameDataTest : ::testing::Test {
    GameDataTest() : texts(dir.file("none.lang").c_str()), data(&texts) {}
    CScratchDir dir;
    CTranslation texts;
    CGameData data;
};

} // namespace

TEST(RaceOrder, LapsThenNavigationPointThenDistance)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case { const char* what; std::vector<SCar> cars; std::vector<int> order; };
    const Case cases[] = {
        {"more laps lead", {{0, 9, 1, false}, {1, 0, 50, false}}, {1, 0}},
        {"same lap: further point leads", {{1, 3, 1, false}, {1, 7, 90, false}}, {1, 0}},
        {"same point: nearer to the next leads", {{1, 4, 30, false}, {1, 4, 10, false}}, {1, 0}},
        {"lost car (NaN) falls behind", {{1, 4, nan, false}, {1, 4, 500, false}, {1, 4, 2, false}}, {2, 1, 0}},
        {"before the first crossing", {{-1, 0, 5, false}, {0, 0, 5, false}}, {1, 0}},
    };
    for (const Case& c : cases) {
        std::vector<CVehicleEntity> cars = makeCars(c.cars);
        EXPECT_EQ(raceOrderOf(cars), c.order) << c.what;
    }
}

TEST(RaceOrder, FinishedCarsKeepTheirPlaces)
{
    // The two front cars finished; the car behind them has since driven more laps.
    std::vector<CVehicleEntity> cars = makeCars({{3, 0, 0, true}, {3, 0, 9, true}, {4, 5, 1, false},
                                                 {2, 8, 1, false}, {3, 1, 1, false}});
    EXPECT_EQ(raceOrderOf(cars), (std::vector<int>{0, 1, 2, 4, 3}));
}

// A field larger than the sort's small-list threshold, all tied but one: a comparison that were
// not a strict ordering would let the sort run outside the list.
TEST(RaceOrder, TiedCarsStayInTheList)
{
    std::vector<SCar> spec(64, SCar{1, 2, 3.0f, false});
    spec.push_back({1, 2, 1.0f, false});
    std::vector<CVehicleEntity> cars = makeCars(spec);
    std::vector<int> order = raceOrderOf(cars);
    ASSERT_EQ(order.size(), spec.size());
    EXPECT_EQ(order.front(), 64) << "the one car nearer to the next point leads";
    std::sort(order.begin(), order.end());
    for (int i = 0; i < static_cast<int>(order.size()); ++i)
        ASSERT_EQ(order[i], i);
}

TEST_F(GameDataTest, AFinisherIsAddedOnce)
{
    CVehicleEntity car;
    data.addFinisher(&car);
    data.addFinisher(&car);
    EXPECT_EQ(data.getFinisherCount(), 1);
    EXPECT_TRUE(car.isFinished());
    EXPECT_EQ(data.getFinisher(0), &car);
    EXPECT_EQ(data.getFinisher(1), nullptr);
    EXPECT_EQ(data.getFinisher(-1), nullptr);
}

TEST_F(GameDataTest, RallyPlaceIsBehindAnEqualTime)
{
    data.addRallyTime(60000);
    data.addRallyTime(50000);
    data.addRallyTime(60000);
    EXPECT_EQ(data.getRallyPlace(60000), 2u);
    EXPECT_EQ(data.getRallyPlace(55000), 3u); // not listed: behind everyone
    EXPECT_EQ(data.getRallyPlace(50000), 0u);
    EXPECT_EQ(data.getRallyTime(0), 50000); // the times are now sorted
    EXPECT_EQ(data.getRallyTime(3), 0);
}

TEST_F(GameDataTest, RallyPlaceWithoutTimes)
{
    EXPECT_EQ(data.getRallyPlace(1000), 0u);
}

TEST(RaceTimeText, MinutesSecondsHundredths)
{
    struct Case { int ms; const char* text; };
    const Case cases[] = {{83456, "01:23:45"}, {5, "00:00:00"}, {59999, "00:59:99"}, {60000, "01:00:00"},
                          {6000000, "100:00:00"}, {-1500, "00:00:00"}};
    for (const Case& c : cases)
        EXPECT_EQ(formatRaceTime(c.ms), c.text) << c.ms;
}

TEST_F(GameDataTest, NoVideoModeListedFallsBackToTheDesktop)
{
    // Without a display nothing is listed; cycling must not leave the list.
    data.nextVideoMode();
    data.nextVideoMode();
    EXPECT_EQ(data.getCurrentVideoMode(), irr::core::dimension2d<irr::u32>(1024, 768));
}

TEST_F(GameDataTest, KeyTableLookups)
{
    EXPECT_EQ(data.getKeyCount(), 29);
    EXPECT_EQ(data.findKeyByName("KEY_KEY_W")->getCode(), irr::KEY_KEY_W);
    EXPECT_EQ(data.findKeyByName("key_key_w"), nullptr);
    EXPECT_EQ(data.findKeyByName("KEY_KEY_V"), nullptr);
    EXPECT_EQ(data.getKey(0)->getDisplayName(), L"A");
    EXPECT_EQ(data.getKey(29), nullptr);
    EXPECT_EQ(data.getKey(-1), nullptr);
}

TEST(KeyTable, ArrowNamesComeFromTheTextFile)
{
    CScratchDir dir;
    std::string lang;
    for (int i = 0; i < 51; ++i)
        lang += "\"text " + std::to_string(i) + "\"\n";
    dir.write("texts.lang", lang);
    CTranslation texts(dir.file("texts.lang").c_str());
    CGameData data(&texts);
    EXPECT_EQ(data.findKeyByName("KEY_UP")->getDisplayName(), L"text 34");
    EXPECT_EQ(data.findKeyByName("KEY_RIGHT")->getDisplayName(), L"text 37");
}

TEST(KeyTable, RebindingTakesTheFirstHeldKeyOfTheTable)
{
    CScratchDir dir;
    CTranslation texts(dir.file("none.lang").c_str());
    CGameData data(&texts);
    CNullEngine engine;
    data.setEngine(engine.get());

    struct Case { std::vector<irr::EKEY_CODE> held; const char* bound; };
    const Case cases[] = {{{irr::KEY_KEY_V, irr::KEY_KEY_W}, "KEY_KEY_W"},
                          {{irr::KEY_UP, irr::KEY_KEY_Q}, "KEY_KEY_Q"},
                          {{irr::KEY_KEY_V}, nullptr},
                          {{}, nullptr}};
    for (const Case& c : cases) {
        for (irr::EKEY_CODE key : c.held)
            engine.postKey(key, true);
        SKeyEntry* sentinel = data.getKey(0);
        SKeyEntry* bound = sentinel;
        const bool found = data.findPressedKey(bound);
        if (c.bound) {
            EXPECT_TRUE(found);
            EXPECT_EQ(bound->getName(), c.bound);
        } else {
            EXPECT_FALSE(found);
            EXPECT_EQ(bound, sentinel); // left as it was
        }
        for (irr::EKEY_CODE key : c.held)
            engine.postKey(key, false);
        engine->run();
    }
    // A key tapped between two frames is found in the frame after it.
    engine.postKey(irr::KEY_KEY_Q, true);
    engine.postKey(irr::KEY_KEY_Q, false);
    SKeyEntry* tapped = nullptr;
    ASSERT_TRUE(data.findPressedKey(tapped));
    EXPECT_EQ(tapped->getName(), "KEY_KEY_Q");
}
