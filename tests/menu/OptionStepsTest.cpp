// One click on an options row: the value it moves to, wrapping, and the values a hand-edited
// "settings.xml" may hold.
#include <gtest/gtest.h>

#include <climits>

#include "core/CGameData.h"
#include "core/SGameSettings.h"
#include "menu/OptionSteps.h"

using irr::s32;

TEST(OptionSteps, VolumesGoUpInTensAndWrapToZero)
{
    struct Case { s32 from, to; };
    const Case cases[] = {{80, 90}, {90, 100}, {100, 0}, {0, 10}, {85, 95}, {95, 0}, {-5, 5},
                          {-10, 0}, {-11, 0}, {150, 0}, {INT_MAX, 0}, {INT_MAX - 5, 0}, {INT_MIN, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(nextVolume(c.from), c.to) << c.from;
}

TEST(OptionSteps, ChoicesGoRoundAndStrayValuesStartOver)
{
    struct Case { s32 (*step)(s32); s32 from, to; };
    const Case cases[] = {{nextFilter, 0, 1},  {nextFilter, 1, 2},  {nextFilter, 2, 0},
                          {nextFilter, 7, 0},  {nextFilter, -1, 0}, {nextShadows, 0, 1},
                          {nextShadows, 1, 2}, {nextShadows, 2, 0}, {nextShadows, 9, 0},
                          {nextDriver, 0, 1},  {nextDriver, 1, 0},  {nextDriver, 5, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(c.step(c.from), c.to) << c.from;
}

TEST(OptionSteps, WithoutVideoModesTheResolutionStays)
{
    CGameData gameData(nullptr);
    ASSERT_EQ(gameData.getVideoModeCount(), 0u) << "the null driver lists modes here";
    SGameSettings settings;
    settings.savedWidth = 1280;
    settings.savedHeight = 1024;
    EXPECT_FALSE(nextResolution(&gameData, &settings));
    EXPECT_EQ(settings.savedWidth, 1280u);
    EXPECT_EQ(settings.savedHeight, 1024u);
}
