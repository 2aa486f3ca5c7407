// The art generator itself: the same bytes on every run, and a clear failure without its font.
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

const std::string kFont = std::string(SANDVOLT_RUN_DIR) + "/data/fonts/komika_axis.ttf";

TEST(ArtGenerator, WritesTheSameBytesEveryRun)
{
    testsupport::CScratchDir dir;
    ASSERT_EQ(std::system((std::string(SANDVOLT_ARTGEN) + " " + kFont + " " + dir.path() + " > /dev/null").c_str()), 0);
    int compared = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path())) {
        if (!entry.is_regular_file())
            continue;
        const std::filesystem::path relative = std::filesystem::relative(entry.path(), dir.path());
        const std::string fresh = readFile(entry.path());
        EXPECT_FALSE(fresh.empty()) << relative;
        EXPECT_TRUE(fresh == readFile(std::filesystem::path(SANDVOLT_RUN_DIR) / "data" / relative)) << relative;
        ++compared;
    }
    EXPECT_EQ(compared, 19); // three backgrounds, six button pairs, the cursor, three places
}

TEST(ArtGenerator, FailsWithAnErrorWhenTheFontIsMissing)
{
    testsupport::CScratchDir dir;
    const std::string printed = testsupport::captureStdout([&] {
        const std::string command = std::string(SANDVOLT_ARTGEN) + " " + dir.file("none.ttf") + " " + dir.path();
        EXPECT_NE(std::system(command.c_str()), 0);
    });
    EXPECT_NE(printed.find("ERROR: "), std::string::npos) << printed;
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

} // namespace
