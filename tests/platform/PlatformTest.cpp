// Opening a file only when it is one, putting a file in place in one step, keeping one under a
// fresh name, the folder claim, the desktop size without a display, and finding an OpenGL
// extension in the driver's list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/AtomicFile.h"
#include "platform/DesktopSize.h"
#include "platform/FolderLock.h"
#include "platform/RegularFile.h"
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

// A named pipe must not block (a blocked open hangs this test until ctest ends it), an endless
// device must not be read, and a file longer than its kind is refused, not read to its end.
TEST(RegularFile, OnlyARegularFileWithinItsLimitIsRead)
{
    testsupport::CScratchDir dir;
    dir.write("plain.txt", "twelve bytes");
    dir.write("big.txt", std::string(101, 'x'));
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0644), 0);
    fs::create_directory(dir.file("folder"));
    fs::create_symlink("plain.txt", dir.file("link.txt"));
    fs::create_symlink("/dev/zero", dir.file("zero"));
    fs::create_symlink(dir.file("pipe"), dir.file("pipe-link"));
    fs::create_symlink(dir.file("gone.txt"), dir.file("dangling"));

    struct Case { const char* name; EFileOpen result; const char* bytes; const char* problem; };
    const Case cases[] = {
        {"plain.txt", EFileOpen::Opened, "twelve bytes", ""},
        {"link.txt", EFileOpen::Opened, "twelve bytes", ""},
        {"missing.txt", EFileOpen::Missing, "", "No such file or directory"},
        {"dangling", EFileOpen::Missing, "", "No such file or directory"},
        {"pipe", EFileOpen::Refused, "", "not a regular file"},
        {"pipe-link", EFileOpen::Refused, "", "not a regular file"},
        {"zero", EFileOpen::Refused, "", "not a regular file"},
        {"folder", EFileOpen::Refused, "", "a folder, not a file"},
        {"big.txt", EFileOpen::Refused, "", "larger than 100 bytes, too large for its kind"},
    };
    for (const Case& c : cases) {
        std::string bytes = "left over";
        const SFileOpen read = readRegularFile(dir.file(c.name), 100, bytes);
        EXPECT_EQ(read.result, c.result) << c.name;
        EXPECT_EQ(bytes, c.bytes) << c.name;
        EXPECT_EQ(read.problem, c.problem) << c.name;
        EXPECT_EQ(read.fd, -1) << c.name;
    }

    // An opened file reads as an ordinary blocking descriptor.
    const SFileOpen opened = openRegularFile(dir.file("link.txt"), 100);
    ASSERT_EQ(opened.result, EFileOpen::Opened);
    EXPECT_EQ(::fcntl(opened.fd, F_GETFL) & O_NONBLOCK, 0);
    ::close(opened.fd);
}

TEST(RegularFile, LinksAreFollowedToTheFileTheyEndAt)
{
    testsupport::CScratchDir dir;
    fs::create_directory(dir.file("elsewhere"));
    dir.write("elsewhere/real.xml", "x");
    fs::create_symlink("real.xml", dir.file("elsewhere/hop.xml"));
    fs::create_symlink("elsewhere/hop.xml", dir.file("relative.xml"));
    fs::create_symlink(dir.file("elsewhere/hop.xml"), dir.file("absolute.xml"));
    fs::create_symlink("elsewhere/new.xml", dir.file("dangling.xml"));
    fs::create_symlink("loop.xml", dir.file("loop.xml"));
    EXPECT_EQ(followLinks(dir.file("relative.xml")), dir.file("elsewhere/real.xml"));
    EXPECT_EQ(followLinks(dir.file("absolute.xml")), dir.file("elsewhere/real.xml"));
    EXPECT_EQ(followLinks(dir.file("dangling.xml")), dir.file("elsewhere/new.xml"));
    EXPECT_EQ(followLinks(dir.file("elsewhere/real.xml")), dir.file("elsewhere/real.xml"));
    EXPECT_EQ(followLinks(dir.file("missing.xml")), dir.file("missing.xml"));
    EXPECT_EQ(followLinks(dir.file("loop.xml")), dir.file("loop.xml")); // gives up, does not hang
    // A save through this link would put a file in the device's place.
    fs::create_symlink("/dev/null", dir.file("device.xml"));
    fs::create_symlink("device.xml", dir.file("to-device.xml"));
    EXPECT_EQ(followLinks(dir.file("device.xml")), dir.file("device.xml"));
    EXPECT_EQ(followLinks(dir.file("to-device.xml")), dir.file("to-device.xml"));
}

TEST(AtomicFile, AFreshNameNeverReplacesAnEarlierFile)
{
    testsupport::CScratchDir dir;
    std::string error;
    const std::string base = dir.file("settings.xml.bad");
    EXPECT_EQ(writeUnderFreshName(base, "first", error), base) << error;
    EXPECT_EQ(writeUnderFreshName(base, "second", error), dir.file("settings.xml.2.bad")) << error;
    dir.write("settings.xml", "third");
    EXPECT_EQ(moveUnderFreshName(dir.file("settings.xml"), base, error), dir.file("settings.xml.3.bad")) << error;
    // A link moves as the link, whatever it points to.
    fs::create_symlink("/dev/zero", dir.file("settings.xml"));
    EXPECT_EQ(moveUnderFreshName(dir.file("settings.xml"), base, error), dir.file("settings.xml.4.bad")) << error;
    EXPECT_TRUE(fs::is_symlink(dir.file("settings.xml.4.bad")));
    EXPECT_EQ(dir.read("settings.xml.bad"), "first");
    EXPECT_EQ(dir.read("settings.xml.2.bad"), "second");
    EXPECT_EQ(dir.read("settings.xml.3.bad"), "third");
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"settings.xml.2.bad", "settings.xml.3.bad",
                                                              "settings.xml.4.bad", "settings.xml.bad"}));
    EXPECT_EQ(moveUnderFreshName(dir.file("gone"), base, error), "");
    EXPECT_FALSE(error.empty());
}

// Another process holds the folder: the claim fails until that process is gone.
TEST(FolderLock, OneProcessAtATimeHoldsAFolder)
{
    testsupport::CScratchDir dir;
    int ready[2], release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        char byte = claimFolder(dir.path()) ? 'y' : 'n';
        (void)!::write(ready[1], &byte, 1);
        (void)!::read(release[0], &byte, 1);
        ::_exit(0);
    }
    char claimed = 0;
    ASSERT_EQ(::read(ready[0], &claimed, 1), 1);
    EXPECT_EQ(claimed, 'y');
    const pid_t second = ::fork();
    if (second == 0)
        ::_exit(claimFolder(dir.path()) ? 1 : 0);
    int status = -1;
    ::waitpid(second, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a second process claimed a held folder";
    (void)!::write(release[1], "x", 1);
    ::waitpid(holder, &status, 0);
    const pid_t after = ::fork();
    if (after == 0)
        ::_exit(claimFolder(dir.path()) ? 0 : 1);
    ::waitpid(after, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the folder stayed held after its holder ended";
    for (int fd : {ready[0], ready[1], release[0], release[1]})
        ::close(fd);
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
