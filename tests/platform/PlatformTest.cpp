// Putting a file in place in one step, the desktop size without a display, and finding an
// OpenGL extension in the driver's list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>
#include <unistd.h>

#include "platform/AtomicFile.h"
#include "platform/DesktopSize.h"
#include "platform/GLCapabilities.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> filesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(AtomicFile, NewBytesReplaceTheFileWholeAndLeaveNothingElse)
{
    testsupport::CScratchDir dir;
    std::string error;
    ASSERT_TRUE(replaceFileAtomically(dir.file("a.xml"), "first", error)) << error;
    EXPECT_EQ(dir.read("a.xml"), "first");
    // A second name for the old file still sees the old bytes: the file was replaced, not
    // rewritten where it lay.
    ASSERT_EQ(link(dir.file("a.xml").c_str(), dir.file("held.xml").c_str()), 0);
    ASSERT_TRUE(replaceFileAtomically(dir.file("a.xml"), "second, longer", error)) << error;
    EXPECT_EQ(dir.read("a.xml"), "second, longer");
    EXPECT_EQ(dir.read("held.xml"), "first");
    ASSERT_TRUE(replaceFileAtomically(dir.file("a.xml"), "", error)) << error;
    EXPECT_EQ(dir.read("a.xml"), "");
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"a.xml", "held.xml"}));
}

TEST(AtomicFile, FailureKeepsTheOldFileSaysWhyAndLeavesNothingBehind)
{
    struct Case {
        const char* what;
        const char* target; // inside the scratch folder
    };
    const Case cases[] = {
        {"a folder stands where the file should go", "taken"},
        {"the folder is missing", "missing/a.xml"},
        {"a file stands where a folder should be", "plain/a.xml"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::CScratchDir dir;
        fs::create_directory(dir.file("taken"));
        dir.write("taken/inside", "kept");
        dir.write("plain", "kept");
        const std::vector<std::string> before = filesIn(dir.path());
        std::string error;
        EXPECT_FALSE(replaceFileAtomically(dir.file(c.target), "new", error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(filesIn(dir.path()), before);
        EXPECT_EQ(dir.read("taken/inside"), "kept");
        EXPECT_EQ(dir.read("plain"), "kept");
    }
}

TEST(DesktopSize, WithoutADisplayTheSmallestScreenIsAssumed)
{
    ASSERT_EQ(std::getenv("DISPLAY") ? std::string(std::getenv("DISPLAY")) : "", "");
    EXPECT_EQ(queryDesktopSize(), irr::core::dimension2du(1024, 768));
}

TEST(GLCapabilities, AnExtensionCountsOnlyByItsWholeName)
{
    const char* const s3tc = "GL_EXT_texture_compression_s3tc";
    const struct {
        const char* list;
        bool found;
    } cases[] = {
        {"GL_EXT_texture_compression_s3tc", true},
        {"GL_ARB_a GL_EXT_texture_compression_s3tc GL_ARB_b", true},
        {"GL_ARB_a GL_EXT_texture_compression_s3tc", true},
        {"GL_EXT_texture_compression_s3tc_srgb", false},
        {"GL_EXT_texture_compression_s3tc_srgb GL_EXT_texture_compression_s3tc", true},
        {"XGL_EXT_texture_compression_s3tc", false},
        {"GL_ARB_a GL_EXT_texture_compression_s3tcX GL_ARB_b", false},
        {"GL_EXT_texture_compression_s", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hasGLExtension(c.list, s3tc), c.found) << '"' << c.list << '"';
}

} // namespace
