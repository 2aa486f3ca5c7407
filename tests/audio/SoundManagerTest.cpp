// The sound manager: the music folder as the engine library lists it, track changes, volumes.
#include <gtest/gtest.h>

#include <climits>
#include <AL/al.h>
#include <filesystem>
#include <cstdio>
#include <algorithm>
#include <fcntl.h>
#include <sys/resource.h>
#include <memory>
#include <vector>
#include <unistd.h>

#include "OggFixtures.h"
#include "audio/CSound.h"
#include "audio/CSoundManager.h"
#include "core/CGameEngine.h"
#include "support/TestSupport.h"

namespace {

std::string workingDirectory()
{
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? buffer : "";
}

// A game folder of its own for each test, entered for the test's length.
class SoundManager : public ::testing::Test {
protected:
    void SetUp() override
    {
        game = std::filesystem::canonical(dir.path()).string();
        std::filesystem::create_directories(game + "/data/audio");
        cwd = std::make_unique<testsupport::CWorkingDir>(game);
        sounds = new CSoundManager(&engine.settings, engine.get());
    }
    void TearDown() override
    {
        delete sounds;
        cwd.reset();
    }

    void addSound(const std::string& relativePath, double seconds = 0.2)
    {
        oggfixtures::writeOgg(game + "/" + relativePath, oggfixtures::tone(seconds, 2, 22050, 440.0), 2, 22050);
    }
    void addFile(const std::string& relativePath, const std::string& bytes)
    {
        std::filesystem::create_directories(std::filesystem::path(game + "/" + relativePath).parent_path());
        dir.write(relativePath, bytes);
    }
    std::string load()
    {
        return testsupport::captureStdout([&] { sounds->loadAudio(); });
    }

    testsupport::CNullEngine engine;
    testsupport::CScratchDir dir;
    std::string game;
    std::unique_ptr<testsupport::CWorkingDir> cwd;
    CSoundManager* sounds = nullptr;
};

TEST_F(SoundManager, LoadsEveryOggOfTheMusicFolderInFileListOrder)
{
    addSound("data/audio/menu_music.ogg");
    addSound("data/audio/music/B.OGG");
    addSound("data/audio/music/a.ogg");
    addSound("data/audio/music/c.Ogg");
    addFile("data/audio/music/notes.txt", "not music");
    addFile("data/audio/music/ogg", "no extension at all");
    addSound("data/audio/music/x.ogg/inside.ogg"); // a folder that looks like a track

    const std::string out = load();
    const std::string music = game + "/data/audio/music/";
    // The engine's list sorts without regard to case.
    EXPECT_EQ(out, "Loading audio...\n"
                   "Loaded: " + music + "a.ogg\n"
                   "Loaded: " + music + "B.OGG\n"
                   "Loaded: " + music + "c.Ogg\n");
    ASSERT_EQ(sounds->getTrackCount(), 3u);
    EXPECT_EQ(sounds->getTrack(1)->getPath(), music + "B.OGG");
    EXPECT_EQ(sounds->getCurrentTrack(), sounds->getTrack(0));
    EXPECT_EQ(sounds->getCurrentTrackIndex(), 0u);
    for (irr::u32 i = 0; i < 3; ++i)
        EXPECT_TRUE(sounds->getTrack(i)->isValid());

    ASSERT_NE(sounds->getMenuMusic(), nullptr);
    EXPECT_TRUE(sounds->getMenuMusic()->isValid());
    EXPECT_TRUE(sounds->getMenuMusic()->getLoop());
    EXPECT_EQ(workingDirectory(), game);
    EXPECT_EQ(std::string(engine->getDevice()->getFileSystem()->getWorkingDirectory().c_str()), game);
}

// Each track holds its file open for the game's life: a folder of 1,100 tracks is cut to the first
// 64, with a warning, and leaves the game the file descriptors its missions and settings need.
TEST_F(SoundManager, AHugeMusicFolderIsCutToTheFirstTracksWithAWarning)
{
    addSound("data/audio/menu_music.ogg");
    addSound("data/audio/one.ogg");
    char name[64];
    for (int i = 0; i < 1100; ++i) {
        std::snprintf(name, sizeof name, "/data/audio/music/%04d.ogg", i);
        std::filesystem::create_directories(game + "/data/audio/music");
        std::filesystem::create_symlink(game + "/data/audio/one.ogg", game + name);
    }
    // The limit a desktop session starts the game with.
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &before), 0);
    rlimit desktop = before;
    desktop.rlim_cur = std::min<rlim_t>(before.rlim_cur, 1024);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &desktop), 0);
    const std::string out = load();
    EXPECT_EQ(sounds->getTrackCount(), 64u);
    EXPECT_EQ(sounds->getTrack(63)->getPath(), game + "/data/audio/music/0063.ogg");
    EXPECT_NE(out.find("Warning: " + game + "/data/audio/music holds more than 64 tracks; the game plays "
                       "the first 64\n"), std::string::npos) << out;
    // The descriptors left: a mission and a settings file still open.
    std::vector<int> opened;
    for (int i = 0; i < 200; ++i) {
        const int fd = ::open("data/audio/one.ogg", O_RDONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0) << "out of file descriptors after " << i;
        opened.push_back(fd);
    }
    for (int fd : opened)
        ::close(fd);
    ::setrlimit(RLIMIT_NOFILE, &before);
}

TEST_F(SoundManager, WithoutTracksThereIsNoCurrentTrackAndNothingBreaks)
{
    struct Case { const char* what; bool folder; bool textFile; };
    const Case cases[] = {{"no music folder", false, false},
                          {"an empty music folder", true, false},
                          {"only a text file", true, true}};
    for (const Case& c : cases) {
        std::filesystem::remove_all(game + "/data/audio/music");
        if (c.folder)
            std::filesystem::create_directories(game + "/data/audio/music");
        if (c.textFile)
            addFile("data/audio/music/readme.txt", "no music here");
        addSound("data/audio/menu_music.ogg");
        delete sounds;
        sounds = new CSoundManager(&engine.settings, engine.get());

        EXPECT_EQ(load(), "Loading audio...\n") << c.what;
        EXPECT_EQ(sounds->getTrackCount(), 0u) << c.what;
        EXPECT_EQ(sounds->getCurrentTrack(), nullptr) << c.what;
        sounds->pickRandomTrack();
        sounds->nextTrack();
        sounds->setMusicVolume(50);
        EXPECT_EQ(sounds->getCurrentTrack(), nullptr) << c.what;
        EXPECT_EQ(workingDirectory(), game) << c.what << ": the game left its own folder";
    }
}

TEST_F(SoundManager, MissingMenuMusicPrintsItsLine)
{
    addSound("data/audio/music/only.ogg");
    const std::string out = load();
    EXPECT_EQ(out, "Loading audio...\n"
                   "Sound Error: File \"data/audio/menu_music.ogg\" not found.\n"
                   "Loaded: " + game + "/data/audio/music/only.ogg\n");
    ASSERT_NE(sounds->getMenuMusic(), nullptr);
    EXPECT_FALSE(sounds->getMenuMusic()->setState(ESS_PLAYING_RELATIVE));
}

TEST_F(SoundManager, NextTrackWaitsForTheEndThenStartsTheFollowingOne)
{
    addSound("data/audio/menu_music.ogg");
    for (const char* name : {"1.ogg", "2.ogg", "3.ogg"})
        addSound(std::string("data/audio/music/") + name);
    load();
    ASSERT_EQ(sounds->getTrackCount(), 3u);

    sounds->getCurrentTrack()->setState(ESS_PLAYING_RELATIVE);
    sounds->nextTrack();
    EXPECT_EQ(sounds->getCurrentTrackIndex(), 0u) << "a playing track was cut short";

    // Each track in turn stops; the next starts, and after the last comes the first.
    const irr::u32 expected[] = {1, 2, 0, 1};
    for (irr::u32 index : expected) {
        sounds->getCurrentTrack()->setState(ESS_STOPPED);
        sounds->nextTrack();
        EXPECT_EQ(sounds->getCurrentTrackIndex(), index);
        EXPECT_EQ(sounds->getCurrentTrack(), sounds->getTrack(index));
        EXPECT_EQ(sounds->getCurrentTrack()->getState(), ESS_PLAYING_RELATIVE);
    }

    // A random pick only replaces a track that is not playing, and leaves it stopped.
    sounds->pickRandomTrack();
    EXPECT_EQ(sounds->getCurrentTrackIndex(), 1u);
    for (int pick = 0; pick < 20; ++pick) {
        sounds->getCurrentTrack()->setState(ESS_STOPPED);
        sounds->pickRandomTrack();
        ASSERT_LT(sounds->getCurrentTrackIndex(), 3u);
        EXPECT_EQ(sounds->getCurrentTrack(), sounds->getTrack(sounds->getCurrentTrackIndex()));
        EXPECT_EQ(sounds->getCurrentTrack()->getState(), ESS_STOPPED);
    }
}

TEST_F(SoundManager, ASingleTrackStartsAgainAfterItEnds)
{
    addSound("data/audio/music/alone.ogg", 0.05);
    load();
    CSound* track = sounds->getCurrentTrack();
    ASSERT_NE(track, nullptr);
    track->setState(ESS_PLAYING_RELATIVE);

    // The race loop: next track, then the current track's update, frame after frame.
    int starts = 0;
    bool wasStopped = false;
    for (int frame = 0; frame < 15000 && starts < 2; ++frame) {
        sounds->nextTrack();
        track->update();
        const bool stopped = track->getState() == ESS_STOPPED;
        ALint playing = 0;
        alGetSourcei(track->getSource(), AL_SOURCE_STATE, &playing);
        if (wasStopped && playing == AL_PLAYING)
            ++starts;
        wasStopped = wasStopped || stopped;
        if (playing == AL_PLAYING)
            wasStopped = false;
        usleep(2000);
    }
    EXPECT_EQ(starts, 2) << "the one track did not come round again";
    EXPECT_EQ(sounds->getCurrentTrack(), track);
}

TEST_F(SoundManager, MusicVolumeSetsTheTrackAndMenuGains)
{
    addSound("data/audio/menu_music.ogg");
    addSound("data/audio/music/1.ogg");
    load();
    struct Case { irr::s32 volume; irr::f32 track; irr::f32 menu; };
    const Case cases[] = {{80, 0.36f, 0.6f},     {100, 0.45f, 0.75f}, {0, 0.0f, 0.0f},
                          {35, 0.1575f, 0.2625f}, {-40, 0.0f, 0.0f},   {150, 0.45f, 0.75f},
                          {INT_MAX, 0.45f, 0.75f}, {INT_MIN, 0.0f, 0.0f}};
    for (const Case& c : cases) {
        sounds->setMusicVolume(c.volume);
        CSound* track = sounds->getTrack(0);
        CSound* menu = sounds->getMenuMusic();
        EXPECT_FLOAT_EQ(track->getGain(), c.track) << c.volume;
        EXPECT_FLOAT_EQ(menu->getGain(), c.menu) << c.volume;
        ALfloat sentTrack = -1.0f, sentMenu = -1.0f;
        alGetSourcef(track->getSource(), AL_GAIN, &sentTrack);
        alGetSourcef(menu->getSource(), AL_GAIN, &sentMenu);
        EXPECT_EQ(sentTrack, track->getGain()) << c.volume;
        EXPECT_EQ(sentMenu, menu->getGain()) << c.volume;
    }
}

TEST_F(SoundManager, ListenerMovesOnlyWhenThePositionChanges)
{
    ALfloat x = 0, y = 0, z = 0;
    sounds->setListenerPosition(1.0f, 2.0f, 3.0f);
    alGetListener3f(AL_POSITION, &x, &y, &z);
    EXPECT_EQ(irr::core::vector3df(x, y, z), irr::core::vector3df(1.0f, 2.0f, 3.0f));

    alListener3f(AL_POSITION, 7.0f, 7.0f, 7.0f);
    sounds->setListenerPosition(1.0f, 2.0f, 3.0f);
    sounds->setListenerPosition(1.0000004f, 2.0f, 2.9999996f);
    alGetListener3f(AL_POSITION, &x, &y, &z);
    EXPECT_EQ(x, 7.0f) << "an unchanged position was sent again";

    sounds->setListenerPosition(1.0f, 2.5f, 3.0f);
    alGetListener3f(AL_POSITION, &x, &y, &z);
    EXPECT_EQ(y, 2.5f);
}

} // namespace
