// Race after race in one process: every one of the game's missions loaded, raced for a few seconds,
// left with Escape and broken off from the menu, twenty times over. The heap in use after the last
// round is within a small margin of the heap after the first (the first round fills the caches
// that the later ones reuse); the sanitizer build's leak check at exit finds nothing left behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <malloc.h>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's own count of the heap (its header is not installed with the compiler here).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

#include "RaceFixtures.h"

using racetest::CRaceWorld;

namespace {

constexpr int kRounds = 20;
constexpr int kMissions = 8;
// Past the countdown, with the cars under way.
constexpr int kRaceFrames = 60 * 8;

size_t heapInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

TEST(RaceAfterRace, EveryMissionTwentyTimesKeepsTheHeapFlat)
{
    for (int m = 1; m <= kMissions; ++m) {
        ASSERT_TRUE(std::filesystem::exists(std::string(SANDVOLT_RUN_DIR) + "/missions/m0" +
                                            std::to_string(m) + "/mission.xml"))
            << "mission " << m << " is not in the run folder: build the `content` target";
    }
    CRaceWorld world(SANDVOLT_RUN_DIR);
    size_t afterFirst = 0;
    size_t peak = 0;
    for (int round = 1; round <= kRounds; ++round) {
        for (int m = 1; m <= kMissions; ++m) {
            const std::string folder = "missions/m0" + std::to_string(m) + "/";
            ASSERT_TRUE(world.load(folder)) << folder << ": " << world.out;
            int raced = 0;
            bool left = false;
            // The game's progress lines would bury the figures.
            testsupport::captureStdout([&] {
                raced = world.frames(kRaceFrames);
                world.press(irr::KEY_ESCAPE, true);
                left = !world.frame();
                world.press(irr::KEY_ESCAPE, false);
                world.menu->setMenuName("Break");
                world.menu->update();
            });
            ASSERT_EQ(raced, kRaceFrames) << folder << ": the race ended early";
            EXPECT_TRUE(left) << folder << ": Escape did not leave the race";
            ASSERT_EQ(world.entities.getVehicleCount(), 0) << folder << ": Break left the cars behind";
            world.advance(1000);
        }
        const size_t now = heapInUse();
        peak = std::max(peak, now);
        if (round == 1)
            afterFirst = now;
        std::printf("[ round %2d ] heap in use %zu bytes\n", round, now);
    }
    const size_t afterLast = heapInUse();
    // Lists and tables of the libraries settle over the first rounds (about 20 kB in all); what one
    // car's description left behind in each race would already be 400 kB.
    const size_t margin = 64 * 1024;
    EXPECT_LE(afterLast, afterFirst + margin)
        << "the heap grew from " << afterFirst << " bytes after the first round to " << afterLast
        << " after the last (peak " << peak << ")";
}

} // namespace
