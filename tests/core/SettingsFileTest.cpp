// "settings.xml": what the game reads back from what it wrote, and what it makes of damaged files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "support/TestSupport.h"
#include "core/CGameData.h"
#include "core/CGameEngine.h"
#include "core/CTranslation.h"
#include "core/SKeyEntry.h"

using testsupport::CNullEngine;
using testsupport::CScratchDir;

namespace {

// The unit tests run without an X display: no video mode is listed and the desktop is 1024 x 768.
const irr::u32 kDesktopWidth = 1024;
const irr::u32 kDesktopHeight = 768;

struct SettingsFileTest : ::testing::Test {
    SettingsFileTest() : texts(dir.file("none.lang").c_str()), data(&texts)
    {
        data.setEngine(engine.get());
    }

    SGameSettings load(const std::string& fileText)
    {
        dir.write("settings.xml", fileText);
        SGameSettings settings;
        EXPECT_TRUE(data.loadSettings(dir.file("settings.xml"), &settings));
        return settings;
    }

    CScratchDir dir;
    CNullEngine engine;
    CTranslation texts;
    CGameData data;
};

struct ProgressCase { const char* code; int level; };
const ProgressCase kProgress[] = {{"qWz517", 1}, {"Pkm208", 2}, {"Ynv643", 3}, {"GuR085", 4},
                                  {"TbW372", 5}, {"Hsx759", 6}, {"VoJ126", 7}, {"Lqe490", 8}};

} // namespace

TEST_F(SettingsFileTest, EveryFieldSurvivesWriteAndRead)
{
    SGameSettings out;
    data.loadSettings(dir.file("missing.xml"), &out);
    out.savedBits = 32;
    out.savedFullscreen = false;
    out.savedFiltering = 2;
    out.savedAntiAliasing = true;
    out.savedVSync = true;
    out.savedShadows = 2;
    out.postProcessing = false;
    out.savedGraphicMode = 1;
    out.musicVolume = 40;
    out.environmentVolume = 70;
    out.controller = 1;
    out.keyForward = data.findKeyByName("KEY_UP");
    out.keyBackward = data.findKeyByName("KEY_DOWN");
    out.keyLeft = data.findKeyByName("KEY_KEY_J");
    out.keyRight = data.findKeyByName("KEY_KEY_L");
    out.progressLevel = 7;
    out.showFps = true;
    ASSERT_TRUE(data.saveSettings(dir.file("settings.xml"), &out));

    SGameSettings in;
    ASSERT_TRUE(data.loadSettings(dir.file("settings.xml"), &in));
    EXPECT_EQ(in.bits, 32);
    EXPECT_FALSE(in.fullscreen);
    EXPECT_EQ(in.filtering, 2);
    EXPECT_TRUE(in.antiAliasing);
    EXPECT_TRUE(in.vSync);
    EXPECT_EQ(in.shadows, 2);
    EXPECT_FALSE(in.postProcessing);
    EXPECT_EQ(in.graphicMode, 1);
    EXPECT_EQ(in.musicVolume, 40);
    EXPECT_EQ(in.environmentVolume, 70);
    EXPECT_EQ(in.controller, 1);
    EXPECT_EQ(in.keyForward->getName(), "KEY_UP");
    EXPECT_EQ(in.keyBackward->getName(), "KEY_DOWN");
    EXPECT_EQ(in.keyLeft->getName(), "KEY_KEY_J");
    EXPECT_EQ(in.keyRight->getName(), "KEY_KEY_L");
    EXPECT_EQ(in.progressLevel, 7);
    EXPECT_TRUE(in.showFps);
    // The saved block is what was read, so quitting at once writes the same file again.
    EXPECT_EQ(in.savedBits, 32);
    EXPECT_FALSE(in.savedFullscreen);
    EXPECT_EQ(in.savedFiltering, 2);
    EXPECT_TRUE(in.savedAntiAliasing);
    EXPECT_TRUE(in.savedVSync);
    EXPECT_EQ(in.savedShadows, 2);
    EXPECT_EQ(in.savedGraphicMode, 1);
    const std::string first = dir.read("settings.xml");
    ASSERT_TRUE(data.saveSettings(dir.file("settings.xml"), &in));
    EXPECT_EQ(dir.read("settings.xml"), first);
}

TEST_F(SettingsFileTest, FirstRunFileHasTheDocumentedLayout)
{
    SGameSettings settings;
    data.loadSettings(dir.file("missing.xml"), &settings);
    ASSERT_TRUE(data.saveSettings(dir.file("settings.xml"), &settings));
    EXPECT_EQ(dir.read("settings.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<Resolution X=\"1024\" Y=\"768\" />\n"
              "<Bits Value=\"24\" />\n"
              "<Fullscreen Value=\"1\" />\n"
              "<Filtering Value=\"Trilinear\" />\n"
              "<AntiAliasing Value=\"0\" />\n"
              "<VSync Value=\"0\" />\n"
              "<Shadows Value=\"0\" />\n"
              "<PostProcessing Value=\"1\" />\n"
              "<GraphicMode Value=\"OpenGL\" />\n\n"
              "<Music Value=\"80\" />\n"
              "<Environment Value=\"100\" />\n\n"
              "<Controller Value=\"Keyboard\" />\n"
              "<Forward Value=\"KEY_KEY_W\" />\n"
              "<Backward Value=\"KEY_KEY_S\" />\n"
              "<Left Value=\"KEY_KEY_A\" />\n"
              "<Right Value=\"KEY_KEY_D\" />\n\n"
              "<Mission Value=\"qWz517\" />\n\n"
              "<FPS Value=\"0\" />\n");
}

TEST_F(SettingsFileTest, ProgressCodesMapToTheirLevels)
{
    for (const ProgressCase& c : kProgress) {
        SGameSettings out;
        data.loadSettings(dir.file("missing.xml"), &out);
        out.progressLevel = c.level;
        ASSERT_TRUE(data.saveSettings(dir.file("settings.xml"), &out)) << c.code;
        EXPECT_NE(dir.read("settings.xml").find(std::string("<Mission Value=\"") + c.code + "\""),
                  std::string::npos) << c.code;
        SGameSettings in;
        data.loadSettings(dir.file("settings.xml"), &in);
        EXPECT_EQ(in.progressLevel, c.level) << c.code;
    }
    // A code in the wrong case or a level outside 1..8 is level 1.
    EXPECT_EQ(load("<Mission Value=\"hsx759\" />").progressLevel, 1);
    SGameSettings tooFar;
    data.loadSettings(dir.file("missing.xml"), &tooFar);
    tooFar.progressLevel = 9;
    ASSERT_TRUE(data.saveSettings(dir.file("settings.xml"), &tooFar));
    EXPECT_NE(dir.read("settings.xml").find("<Mission Value=\"qWz517\""), std::string::npos);
}

TEST_F(SettingsFileTest, MissingFileGivesDefaultsAndTheDesktopSize)
{
    // A folder in the file's place reads as no file (the engine's reader would run out of memory).
    std::filesystem::create_directory(dir.file("folder.xml"));
    for (const char* name : {"missing.xml", "folder.xml"}) {
        SCOPED_TRACE(name);
        SGameSettings settings;
        EXPECT_FALSE(data.loadSettings(dir.file(name), &settings));
        EXPECT_TRUE(data.isResolutionReset());
        EXPECT_EQ(settings.width, kDesktopWidth);
        EXPECT_EQ(settings.height, kDesktopHeight);
        EXPECT_EQ(settings.savedWidth, kDesktopWidth);
        EXPECT_EQ(settings.savedHeight, kDesktopHeight);
        EXPECT_TRUE(settings.fullscreen);
        EXPECT_EQ(settings.musicVolume, 80);
        EXPECT_EQ(settings.keyForward->getName(), "KEY_KEY_W");
        EXPECT_EQ(settings.keyRight->getName(), "KEY_KEY_D");
    }
}

TEST_F(SettingsFileTest, ResolutionTheScreenDoesNotOfferIsReplacedByTheDesktop)
{
    const SGameSettings settings = load("<Resolution X=\"1234\" Y=\"567\" /><Mission Value=\"Hsx759\" />");
    EXPECT_TRUE(data.isResolutionReset());
    EXPECT_EQ(settings.width, kDesktopWidth);
    EXPECT_EQ(settings.savedHeight, kDesktopHeight);
    EXPECT_EQ(settings.progressLevel, 6);
    EXPECT_EQ(settings.filtering, 1);
}

TEST_F(SettingsFileTest, ValuesAreReadExactlyAsWritten)
{
    struct Case { const char* file; int filtering; int graphicMode; int music; const char* forward; };
    const Case cases[] = {
        {"<Filtering Value=\"trilinear\" />", 0, 0, 80, "KEY_KEY_W"},   // lower case is not Trilinear
        {"<Filtering />", 0, 0, 80, "KEY_KEY_W"},                        // missing attribute
        {"<GraphicMode Value=\"directx\" />", 1, 0, 80, "KEY_KEY_W"},
        {"<GraphicMode Value=\"DirectX\" />", 1, 1, 80, "KEY_KEY_W"},
        {"<Music Value=\"10\" /><Music Value=\"60\" />", 1, 0, 60, "KEY_KEY_W"}, // the last one wins
        {"<Music />", 1, 0, 80, "KEY_KEY_W"},                            // a missing number: the default
        {"<Forward Value=\"KEY_KEY_V\" />", 1, 0, 80, "KEY_KEY_W"},      // V is not in the key table
        {"<Forward />", 1, 0, 80, "KEY_KEY_W"},
        {"<Forward Value=\"KEY_UP\" />", 1, 0, 80, "KEY_UP"},
        {"<Outer><Music Value=\"30\" /></Outer>", 1, 0, 30, "KEY_KEY_W"}, // nesting is not looked at
        {"<!-- <Music Value=\"30\" /> -->", 1, 0, 80, "KEY_KEY_W"},       // nor are comments
    };
    for (const Case& c : cases) {
        const SGameSettings settings = load(c.file);
        EXPECT_EQ(settings.filtering, c.filtering) << c.file;
        EXPECT_EQ(settings.graphicMode, c.graphicMode) << c.file;
        EXPECT_EQ(settings.musicVolume, c.music) << c.file;
        EXPECT_EQ(settings.keyForward->getName(), c.forward) << c.file;
    }
}

TEST_F(SettingsFileTest, GarbageFileKeepsTheDefaults)
{
    const std::string garbage[] = {"", "\x01\x02\xff\xfe garbage <<<< >>>", "<Music Value=\"3",
                                   std::string("\0\0\0\0", 4)};
    for (const std::string& text : garbage) {
        const SGameSettings settings = load(text);
        EXPECT_EQ(settings.musicVolume, 80);
        EXPECT_EQ(settings.progressLevel, 1);
        EXPECT_EQ(settings.width, kDesktopWidth);
        EXPECT_TRUE(data.isResolutionReset());
    }
}

TEST_F(SettingsFileTest, FailedWriteKeepsTheOldFileAndSaysSo)
{
    SGameSettings settings;
    data.loadSettings(dir.file("missing.xml"), &settings);
    settings.progressLevel = 5;
    ASSERT_TRUE(data.saveSettings(dir.file("settings.xml"), &settings));
    const std::string before = dir.read("settings.xml");

    // A folder the game may not write to (as root, a path through a file fails the same way).
    settings.progressLevel = 2;
    const std::string blocked = dir.file("settings.xml") + "/settings.xml";
    bool saved = true;
    const std::string out = testsupport::captureStdout([&] { saved = data.saveSettings(blocked, &settings); });
    EXPECT_FALSE(saved);
    EXPECT_EQ(out.rfind("Warning: Could not save the settings", 0), 0u) << out;
    EXPECT_EQ(dir.read("settings.xml"), before);
}

// The settings file is replaced whole, never rewritten in place: whatever still holds the old
// file (here a second name for it) keeps the old bytes, and no temporary file is left over.
TEST_F(SettingsFileTest, SavingReplacesTheFileInOneStep)
{
    SGameSettings settings;
    data.loadSettings(dir.file("missing.xml"), &settings);
    settings.progressLevel = 3;
    ASSERT_TRUE(data.saveSettings(dir.file("settings.xml"), &settings));
    const std::string before = dir.read("settings.xml");
    ASSERT_EQ(link(dir.file("settings.xml").c_str(), dir.file("old.xml").c_str()), 0);

    settings.progressLevel = 6;
    ASSERT_TRUE(data.saveSettings(dir.file("settings.xml"), &settings));
    EXPECT_EQ(dir.read("old.xml"), before);
    EXPECT_NE(dir.read("settings.xml"), before);
    SGameSettings saved;
    testsupport::captureStdout([&] { data.loadSettings(dir.file("settings.xml"), &saved); });
    EXPECT_EQ(saved.progressLevel, 6);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"old.xml", "settings.xml"}));
}

TEST(SettingsFile, NoEngineMeansNoWrite)
{
    CScratchDir dir;
    CTranslation texts(dir.file("none.lang").c_str());
    CGameData data(&texts);
    SGameSettings settings;
    data.loadSettings(dir.file("missing.xml"), &settings);
    EXPECT_FALSE(data.saveSettings(dir.file("settings.xml"), &settings));
    struct stat info;
    EXPECT_NE(stat(dir.file("settings.xml").c_str(), &info), 0);
}

TEST_F(SettingsFileTest, ValuesTheGameCannotUseGiveTheDefaultWithAWarning)
{
    struct Case { const char* file; int bits, shadows, music, environment; };
    const Case cases[] = {
        {"<Bits Value=\"999999999\" />", 24, 0, 80, 100},
        {"<Bits Value=\"20\" />", 24, 0, 80, 100},
        {"<Shadows Value=\"7\" />", 24, 0, 80, 100},
        {"<Shadows Value=\"-1\" />", 24, 0, 80, 100},
        {"<Music Value=\"2147483648\" />", 24, 0, 80, 100},
        {"<Environment Value=\"-2147483648\" />", 24, 0, 80, 100},
        {"<Music Value=\"101\" />", 24, 0, 80, 100},
        {"<Music Value=\"forty\" />", 24, 0, 80, 100},
        {"<Music Value=\"40x\" />", 24, 0, 80, 100},
    };
    for (const Case& c : cases) {
        SGameSettings settings;
        const std::string out = testsupport::captureStdout([&] {
            settings = load(std::string(c.file) + "<Mission Value=\"GuR085\" />");
        });
        EXPECT_EQ(settings.bits, c.bits) << c.file;
        EXPECT_EQ(settings.shadows, c.shadows) << c.file;
        EXPECT_EQ(settings.musicVolume, c.music) << c.file;
        EXPECT_EQ(settings.environmentVolume, c.environment) << c.file;
        const std::vector<std::string> lines = testsupport::gameLines(out);
        ASSERT_EQ(lines.size(), 1u) << c.file << out;
        EXPECT_EQ(lines[0].rfind("Warning: " + dir.file("settings.xml") + ": ", 0), 0u) << lines[0];
    }
    // Values the game can use pass without a word.
    SGameSettings settings;
    const std::string out = testsupport::captureStdout([&] {
        settings = load("<Bits Value=\"16\" /><Shadows Value=\"2\" /><Music Value=\"0\" />"
                        "<Environment Value=\"100\" /><Mission Value=\"GuR085\" />");
    });
    EXPECT_TRUE(testsupport::gameLines(out).empty()) << out;
    EXPECT_EQ(settings.bits, 16);
    EXPECT_EQ(settings.shadows, 2);
    EXPECT_EQ(settings.musicVolume, 0);
    EXPECT_EQ(settings.environmentVolume, 100);
}

TEST_F(SettingsFileTest, UnreadableProgressKeepsThePlayersFileBeforeTheFirstWrite)
{
    const std::string cases[] = {"<Music Value=\"30\" /><Mission Value=\"Hsx7",
                                 "<Music Value=\"30\" /><Mission Value=\"hsx759\" />",
                                 "<Music Value=\"30\" /><Mission />",
                                 "<Music Value=\"30\" /><Miss"};
    for (const std::string& text : cases) {
        SCOPED_TRACE(text);
        std::filesystem::remove(dir.file("settings.xml.bad"));
        SGameSettings settings;
        const std::string loadOut = testsupport::captureStdout([&] { settings = load(text); });
        EXPECT_NE(loadOut.find("Warning: " + dir.file("settings.xml") + " holds no progress code"),
                  std::string::npos) << loadOut;
        EXPECT_EQ(settings.progressLevel, 1);
        EXPECT_EQ(settings.musicVolume, 30);

        bool saved = false;
        const std::string saveOut = testsupport::captureStdout([&] {
            saved = data.saveSettings(dir.file("settings.xml"), &settings);
        });
        EXPECT_TRUE(saved);
        EXPECT_NE(saveOut.find("is kept as " + dir.file("settings.xml.bad")), std::string::npos) << saveOut;
        EXPECT_EQ(dir.read("settings.xml.bad"), text);
        // Only the first write keeps the file: later ones would copy the game's own.
        settings.progressLevel = 3;
        ASSERT_TRUE(data.saveSettings(dir.file("settings.xml"), &settings));
        EXPECT_EQ(dir.read("settings.xml.bad"), text);
    }
}

TEST_F(SettingsFileTest, LeftoverTemporaryLinkIsNeverWrittenThrough)
{
    SGameSettings settings;
    data.loadSettings(dir.file("missing.xml"), &settings);
    settings.progressLevel = 4;
    ASSERT_TRUE(data.saveSettings(dir.file("settings.xml"), &settings));
    std::filesystem::create_symlink(dir.file("settings.xml"), dir.file("settings.xml.tmp"));
    settings.progressLevel = 5;
    ASSERT_TRUE(data.saveSettings(dir.file("settings.xml"), &settings));
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(dir.file("settings.xml"))));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(dir.file("settings.xml.tmp"))));
    SGameSettings in;
    data.loadSettings(dir.file("settings.xml"), &in);
    EXPECT_EQ(in.progressLevel, 5);
}

TEST_F(SettingsFileTest, FileCutShortInsideATagReadsWhatCameBefore)
{
    // Each ends inside a tag: its name, between attributes, inside "<?", "<!--" or "</".
    const char* const cuts[] = {"<Music Value=\"30\" /><FP", "<Music Value=\"30\" /><FPS Value",
                                "<Music Value=\"30\" /><FPS Value=", "<Music Value=\"30\" /><FPS ",
                                "<Music Value=\"30\" /><?xml vers", "<Music Value=\"30\" /><!-- note",
                                "<Music Value=\"30\" /></Mus", "<Music Value=\"30\" /><", "<Music Value=\"30\" />  <!"};
    for (const char* cut : cuts) {
        SGameSettings settings;
        testsupport::captureStdout([&] { settings = load(cut); });
        EXPECT_EQ(settings.musicVolume, 30) << cut;
    }
}

namespace {

const char* const kLevelTwo = "<?xml version=\"1.0\"?>\n<Music Value=\"30\" />\n<Mission Value=\"Pkm208\" />\n";

std::string fileKind(const std::string& path)
{
    namespace fs = std::filesystem;
    const fs::file_status status = fs::symlink_status(path);
    return fs::is_symlink(status) ? "link" : fs::is_fifo(status) ? "pipe" : fs::is_directory(status) ? "folder"
           : fs::is_regular_file(status) ? "file" : fs::exists(status) ? "other" : "none";
}

} // namespace

// Something in the file's place that the game may not read (a pipe would block the start for
// ever, /dev/zero would fill the memory, a file of megabytes is no settings file) is not read:
// the game says so, starts from the defaults and at its first write moves the thing aside
// whole, so that whatever it holds is still there.
TEST_F(SettingsFileTest, SomethingThatIsNoSettingsFileIsKeptAsideUnread)
{
    struct Case { const char* what; const char* kind; };
    const Case cases[] = {{"pipe", "pipe"}, {"zero", "link"}, {"folder", "folder"}, {"huge", "file"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = dir.file("settings.xml");
        const std::string what = c.what;
        if (what == "pipe")
            ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0);
        else if (what == "zero")
            std::filesystem::create_symlink("/dev/zero", file);
        else if (what == "folder")
            std::filesystem::create_directory(file);
        else
            dir.write("settings.xml", kLevelTwo + std::string(2 * 1024 * 1024, ' '));

        SGameSettings settings;
        const std::string loadOut = testsupport::captureStdout([&] { data.loadSettings(file, &settings); });
        EXPECT_EQ(loadOut.rfind("Warning: " + file + " cannot be read (", 0), 0u) << loadOut;
        EXPECT_NE(loadOut.find("will be kept as " + file + ".bad"), std::string::npos) << loadOut;
        EXPECT_EQ(settings.progressLevel, 1);

        settings.progressLevel = 3;
        bool saved = false;
        const std::string saveOut = testsupport::captureStdout([&] { saved = data.saveSettings(file, &settings); });
        EXPECT_TRUE(saved);
        EXPECT_EQ(saveOut, "Warning: " + file + " is kept as " + file + ".bad\n");
        EXPECT_EQ(fileKind(file + ".bad"), c.kind);
        EXPECT_EQ(fileKind(file), "file");
        SGameSettings again;
        data.loadSettings(file, &again);
        EXPECT_EQ(again.progressLevel, 3);
        std::filesystem::remove_all(file + ".bad");
        std::filesystem::remove(file);
    }
}

// A player whose settings.xml the game may not read (no read right, or only the right to write)
// loses nothing: the file is kept aside as it is, and the progress won is saved beside it. Run as
// an ordinary user, since the root may read any file.
TEST_F(SettingsFileTest, AFileThePlayerMayNotReadIsKeptAsideAsItIs)
{
    const uid_t nobody = 65534;
    for (const mode_t mode : {mode_t(0000), mode_t(0200)}) {
        SCOPED_TRACE(mode);
        const std::string file = dir.file("settings.xml");
        dir.write("settings.xml", kLevelTwo);
        ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
        ASSERT_EQ(::chown(file.c_str(), nobody, nobody), 0);
        ASSERT_EQ(::chmod(file.c_str(), mode), 0);
        EXPECT_EXIT(
            {
                if (::setgid(nobody) != 0 || ::setuid(nobody) != 0)
                    ::_exit(2);
                SGameSettings settings;
                const std::string out = testsupport::captureStdout([&] { data.loadSettings(file, &settings); });
                if (out.rfind("Warning: " + file + " cannot be read (Permission denied)", 0) != 0) {
                    std::fprintf(stderr, "said: %s", out.c_str());
                    ::_exit(3);
                }
                settings.progressLevel = 4;
                ::_exit(data.saveSettings(file, &settings) ? 0 : 4);
            },
            ::testing::ExitedWithCode(0), "");
        ::chmod(file.c_str(), 0644);
        SGameSettings saved;
        data.loadSettings(file, &saved);
        EXPECT_EQ(saved.progressLevel, 4);
        ::chmod((file + ".bad").c_str(), 0644);
        EXPECT_EQ(dir.read("settings.xml.bad"), kLevelTwo);
        std::filesystem::remove(file + ".bad");
    }
}

// Each damaged file is kept under a name of its own: the first one kept may hold the progress.
TEST_F(SettingsFileTest, ASecondDamagedFileNeverReplacesTheFirstOneKept)
{
    const std::string damaged[] = {"<Mission Value=\"Hsx7", "<Music Value=\"20\" /><Miss",
                                   "<Mission Value=\"nope\" />"};
    const std::string kept[] = {"settings.xml.bad", "settings.xml.2.bad", "settings.xml.3.bad"};
    for (int i = 0; i < 3; ++i) {
        SGameSettings settings;
        testsupport::captureStdout([&] { settings = load(damaged[i]); });
        std::string out;
        out = testsupport::captureStdout([&] { data.saveSettings(dir.file("settings.xml"), &settings); });
        EXPECT_EQ(out, "Warning: " + dir.file("settings.xml") + " is kept as " + dir.file(kept[i]) + "\n");
    }
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(dir.read(kept[i]), damaged[i]);
}

// A settings.xml that is a link (to where the player keeps it) stays one: the save replaces the
// file at its end, in one step, and nothing is left beside the link.
TEST_F(SettingsFileTest, ALinkStaysALinkAndTheSaveGoesToItsEnd)
{
    namespace fs = std::filesystem;
    fs::create_directory(dir.file("home"));
    dir.write("home/real.xml", kLevelTwo);
    fs::create_symlink("real.xml", dir.file("home/hop.xml"));
    fs::create_symlink("home/hop.xml", dir.file("settings.xml"));
    fs::create_symlink("home/later.xml", dir.file("dangling.xml"));

    SGameSettings settings;
    data.loadSettings(dir.file("settings.xml"), &settings);
    EXPECT_EQ(settings.progressLevel, 2);
    settings.progressLevel = 5;
    ASSERT_TRUE(data.saveSettings(dir.file("settings.xml"), &settings));
    ASSERT_TRUE(data.saveSettings(dir.file("dangling.xml"), &settings));

    EXPECT_EQ(fileKind(dir.file("settings.xml")), "link");
    EXPECT_EQ(fileKind(dir.file("home/hop.xml")), "link");
    EXPECT_EQ(fileKind(dir.file("dangling.xml")), "link");
    for (const char* name : {"settings.xml", "dangling.xml"}) {
        SGameSettings saved;
        data.loadSettings(dir.file(name), &saved);
        EXPECT_EQ(saved.progressLevel, 5) << name;
    }
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.file("home")))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"hop.xml", "later.xml", "real.xml"}));
}
