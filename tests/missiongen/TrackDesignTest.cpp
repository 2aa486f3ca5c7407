// The tracks as the generator shapes them: every one must be drivable by a car (gentle climbs,
// bends a car can take, a flat road across, no two stretches running into each other), and the
// generator must make the very same files on every run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/TestSupport.h"
#include "tools/missiongen/CMissionBuilder.h"
#include "tools/missiongen/CTrackCatalogue.h"

using namespace missiongen;
namespace fs = std::filesystem;

namespace {

TEST(TrackDesign, EveryTrackIsOneACarCanDrive)
{
    for (const STrackDesign& design : CTrackCatalogue::designs()) {
        SCOPED_TRACE(design.name);
        const CMissionBuilder mission(design);
        const CTrackPath& path = mission.getPath();
        const CTerrain& terrain = mission.getTerrain();
        const float half = terrain.halfWidth();
        EXPECT_GE(design.width, 12.0f);

        float steepest = 0.0f, tightest = 1e9f, tilt = 0.0f, outermost = 0.0f;
        float previous = 0.0f;
        for (float s = 0.0f; s < path.length(); s += 2.0f) {
            const contentkit::SVec2 c = path.point(s), l = path.left(s);
            const float h = terrain.height(c.x, c.y);
            if (s > 0.0f)
                steepest = std::max(steepest, std::fabs(h - previous) / 2.0f);
            previous = h;
            tightest = std::min(tightest, path.radius(s));
            // Across the road from one edge to the other.
            const float a = terrain.height(c.x + (half - 0.5f) * l.x, c.y + (half - 0.5f) * l.y);
            const float b = terrain.height(c.x - (half - 0.5f) * l.x, c.y - (half - 0.5f) * l.y);
            tilt = std::max(tilt, std::fabs(a - b) / (2.0f * half - 1.0f));
            outermost = std::max({outermost, std::fabs(c.x), std::fabs(c.y)});
        }
        EXPECT_LE(steepest, design.maxGrade + 0.01f);
        EXPECT_LE(steepest, 0.13f);
        EXPECT_GE(tightest, 18.0f);
        EXPECT_LE(tilt, 0.06f);
        // Clear of the mountains round the border.
        EXPECT_LT(outermost + terrain.reach(), 0.5f * terrain.size() - 80.0f);

        // Stretches far apart along the track stay far apart on the ground, so the ground
        // between them meets both and no car mistakes one for the other.
        const std::vector<contentkit::SVec2>& p = path.samples();
        float closest = 1e9f;
        for (size_t i = 0; i < p.size(); i += 3)
            for (size_t j = i + 3; j < p.size(); j += 3)
                if (std::fabs(path.delta(float(i) * path.spacing(), float(j) * path.spacing())) > 150.0f)
                    closest = std::min(closest, std::hypot(p[i].x - p[j].x, p[i].y - p[j].y));
        EXPECT_GE(closest, 2.0f * terrain.core() + 20.0f);
    }
}

bool sameBytes(const fs::path& a, const fs::path& b)
{
    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    if (!fa || !fb)
        return false;
    return std::equal(std::istreambuf_iterator<char>(fa), std::istreambuf_iterator<char>(),
                      std::istreambuf_iterator<char>(fb), std::istreambuf_iterator<char>());
}

TEST(TrackDesign, GeneratorWritesTheSameBytesEveryRun)
{
    testsupport::CScratchDir dir;
    const std::string command =
        std::string(SANDVOLT_MISSIONGEN) + " " + dir.path() + " " + SANDVOLT_MISSION_FONT + " > " + dir.file("log.txt");
    ASSERT_EQ(std::system(command.c_str()), 0) << dir.read("log.txt");
    int compared = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
        if (!entry.is_regular_file() || entry.path().filename() == "log.txt")
            continue;
        const fs::path relative = fs::relative(entry.path(), dir.path());
        EXPECT_TRUE(sameBytes(entry.path(), fs::path(SANDVOLT_RUN_DIR) / relative)) << relative;
        ++compared;
    }
    EXPECT_GT(compared, 150);
}

} // namespace
