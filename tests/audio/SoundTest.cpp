// The streamed sound on OpenAL Soft's silent device, which plays and processes buffers in real time.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <AL/al.h>
#include <AL/alc.h>
#include <cstring>
#include <new>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

#include "OggFixtures.h"
#include "support/TestSupport.h"
#include "audio/CSound.h"
#include "audio/CSoundManager.h"

using oggfixtures::framesPerBuffer;
using oggfixtures::tone;
using oggfixtures::writeOgg;

namespace {

ALint sourceInt(const CSound& sound, ALenum what)
{
    ALint value = 0;
    alGetSourcei(sound.getSource(), what, &value);
    return value;
}

// An attribute of one of the sound's two stream buffers; the first is filled first.
ALint bufferInt(const CSound& sound, int index, ALenum what)
{
    ALint value = 0;
    alGetBufferi(sound.getBuffer(index), what, &value);
    return value;
}

bool sourcePlaying(const CSound& sound)
{
    return sourceInt(sound, AL_SOURCE_STATE) == AL_PLAYING;
}

class StreamedSound : public ::testing::Test {
protected:
    void SetUp() override
    {
        sounds = new CSoundManager(&engine.settings, engine.get());
        ASSERT_TRUE(sounds->hasDevice()) << "the silent OpenAL Soft device did not open";
    }
    void TearDown() override { delete sounds; }

    // A tone near 440 Hz in the scratch folder, with a whole number of cycles so that it loops
    // cleanly.
    std::string toneFile(const std::string& name, double seconds, int channels, int rate)
    {
        const std::string path = dir.file(name);
        const double cycles = std::max(1.0, std::round(440.0 * seconds));
        writeOgg(path, tone(seconds, channels, rate, cycles / seconds), channels, rate);
        return path;
    }

    // The frame loop: one update per pass, then `step` with what the update returned, until
    // `step` says done. False when it never does: a hang guard far beyond any of these sounds.
    bool runFrames(CSound& sound, const std::function<bool(bool refilled)>& step)
    {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < limit) {
            if (step(sound.update()))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }

    // Plays until the sound stands stopped; tells whether the source was heard on the way.
    bool playToTheEnd(CSound& sound, bool& heard)
    {
        heard = false;
        return runFrames(sound, [&](bool) {
            heard = heard || sourcePlaying(sound);
            return sound.getState() == ESS_STOPPED;
        });
    }

    testsupport::CNullEngine engine;
    testsupport::CScratchDir dir;
    CSoundManager* sounds = nullptr;
};

TEST_F(StreamedSound, LoopingSoundKeepsBothBuffersFullAndCycling)
{
    struct Case { const char* what; double seconds; };
    const Case cases[] = {{"shorter than one buffer", 0.05}, {"three buffers long", 0.5}};
    for (const Case& c : cases) {
        CSound sound(toneFile("loop.ogg", c.seconds, 2, 48000), sounds);
        sound.setLoop(true);
        ASSERT_TRUE(sound.setState(ESS_PLAYING_RELATIVE)) << c.what;

        // Six refills take the stream round its end at least once in both cases.
        int refills = 0;
        bool alwaysFull = true;
        const bool cycled = runFrames(sound, [&](bool refilled) {
            refills += refilled ? 1 : 0;
            if (sourceInt(sound, AL_BUFFERS_QUEUED) != 2 || bufferInt(sound, 0, AL_SIZE) != CSound::kBufferBytes
                || bufferInt(sound, 1, AL_SIZE) != CSound::kBufferBytes)
                alwaysFull = false;
            return refills >= 6;
        });
        EXPECT_TRUE(cycled) << c.what << ": the buffers stopped coming back for refilling";
        EXPECT_TRUE(alwaysFull) << c.what << ": a looping stream left a buffer short or dropped one";
        EXPECT_TRUE(sourcePlaying(sound)) << c.what;
        EXPECT_EQ(sound.getState(), ESS_PLAYING_RELATIVE) << c.what;
    }
}

TEST_F(StreamedSound, NonLoopingSoundEndsStoppedAndPlaysAgainFromTheStart)
{
    struct Case { const char* what; double seconds; int channels; int rate; };
    const Case cases[] = {
        {"shorter than one buffer", 0.05, 1, 44100},
        {"one and a half buffers", 1.5 * framesPerBuffer(2) / 48000.0, 2, 48000},
        {"four and a half buffers", 4.5 * framesPerBuffer(2) / 48000.0, 2, 48000},
    };
    for (const Case& c : cases) {
        CSound sound(toneFile("once.ogg", c.seconds, c.channels, c.rate), sounds);
        const long bytes = std::lround(c.seconds * c.rate) * 2L * c.channels;
        const ALint firstBuffer = static_cast<ALint>(std::min<long>(bytes, CSound::kBufferBytes));
        const ALint buffersAtStart = bytes > CSound::kBufferBytes ? 2 : 1;

        for (int play = 1; play <= 3; ++play) {
            ASSERT_TRUE(sound.setState(ESS_PLAYING_RELATIVE)) << c.what << ", play " << play;
            // Before the first frame the queue holds the start of the file again.
            EXPECT_EQ(sourceInt(sound, AL_BUFFERS_QUEUED), buffersAtStart) << c.what << ", play " << play;
            EXPECT_EQ(bufferInt(sound, 0, AL_SIZE), firstBuffer) << c.what << ", play " << play;

            bool heard = false;
            ASSERT_TRUE(playToTheEnd(sound, heard)) << c.what << ", play " << play << ": it never ended";
            EXPECT_TRUE(heard) << c.what << ", play " << play;
            EXPECT_FALSE(sourcePlaying(sound)) << c.what << ", play " << play;
        }
    }
}

TEST_F(StreamedSound, StopMidwayThenPlayRestartsWithAFullQueue)
{
    CSound sound(toneFile("long.ogg", 1.0, 2, 48000), sounds);
    ASSERT_TRUE(sound.setState(ESS_PLAYING_RELATIVE));
    ASSERT_TRUE(runFrames(sound, [](bool refilled) { return refilled; }));

    EXPECT_TRUE(sound.setState(ESS_STOPPED));
    EXPECT_NE(sourceInt(sound, AL_SOURCE_STATE), AL_PLAYING);
    EXPECT_FALSE(sound.update()) << "a stopped sound streams nothing";

    ASSERT_TRUE(sound.setState(ESS_PLAYING_3D));
    EXPECT_EQ(sourceInt(sound, AL_BUFFERS_QUEUED), 2);
    EXPECT_EQ(sourceInt(sound, AL_BUFFERS_PROCESSED), 0) << "the fresh buffers count as played already";
    bool heard = false;
    ASSERT_TRUE(playToTheEnd(sound, heard));
    EXPECT_TRUE(heard);
}

TEST_F(StreamedSound, PauseHoldsThePlaceAndPlayingResumesThere)
{
    struct Case { const char* what; double seconds; int rate; };
    const Case cases[] = {{"three seconds", 3.0, 44100}, {"shorter than one buffer", 0.6, 22050}};
    for (const Case& c : cases) {
        CSound sound(toneFile("pause.ogg", c.seconds, 1, c.rate), sounds);
        ASSERT_TRUE(sound.setState(ESS_PLAYING_RELATIVE)) << c.what;
        ASSERT_TRUE(runFrames(sound, [&](bool) { return sourceInt(sound, AL_SAMPLE_OFFSET) > c.rate / 10; }))
            << c.what;

        EXPECT_TRUE(sound.setState(ESS_PAUSED)) << c.what;
        EXPECT_EQ(sourceInt(sound, AL_SOURCE_STATE), AL_PAUSED) << c.what;
        const ALint held = sourceInt(sound, AL_SAMPLE_OFFSET);
        for (int frame = 0; frame < 25; ++frame) {
            EXPECT_FALSE(sound.update()) << c.what;
            std::this_thread::sleep_for(std::chrono::milliseconds(4));
        }
        EXPECT_EQ(sourceInt(sound, AL_SOURCE_STATE), AL_PAUSED) << c.what;
        EXPECT_EQ(sourceInt(sound, AL_SAMPLE_OFFSET), held) << c.what << ": a paused sound moved on";

        EXPECT_TRUE(sound.setState(ESS_PLAYING_RELATIVE)) << c.what;
        sound.update();
        EXPECT_TRUE(sourcePlaying(sound)) << c.what;
        EXPECT_GE(sourceInt(sound, AL_SAMPLE_OFFSET), held) << c.what << ": resuming went back to the start";
        EXPECT_TRUE(runFrames(sound, [&](bool) { return sourceInt(sound, AL_SAMPLE_OFFSET) > held; })) << c.what;
    }
}

TEST_F(StreamedSound, BadFilesPrintTheirLineAndStaySilent)
{
    toneFile("good.ogg", 0.5, 1, 22050);
    const std::string goodBytes = dir.read("good.ogg");
    dir.write("corrupt.ogg", "this is not an Ogg Vorbis stream, only text that claims to be one");
    dir.write("empty.ogg", "");
    dir.write("cut.ogg", goodBytes.substr(0, 40));
    std::filesystem::create_directory(dir.file("folder.ogg"));
    ASSERT_EQ(::mkfifo(dir.file("pipe.ogg").c_str(), 0644), 0); // would block the open for ever

    struct Case { std::string name; const char* problem; };
    const Case cases[] = {
        {"missing.ogg", "not found."},
        {"corrupt.ogg", "- Unsupported format or corrupted file."},
        {"empty.ogg", "- Unsupported format or corrupted file."},
        {"cut.ogg", "- Unsupported format or corrupted file."},
        {"folder.ogg", "could not be read (a folder, not a file)."},
        {"pipe.ogg", "could not be read (not a regular file)."},
    };
    for (const Case& c : cases) {
        const std::string path = dir.file(c.name);
        CSound* sound = nullptr;
        const std::string out = testsupport::captureStdout([&] { sound = new CSound(path, sounds); });
        EXPECT_EQ(out, "Sound Error: File \"" + path + "\" " + c.problem + "\n") << c.name;
        EXPECT_FALSE(sound->isValid()) << c.name;
        EXPECT_FALSE(sound->setState(ESS_PLAYING_RELATIVE)) << c.name;
        EXPECT_EQ(sound->getState(), ESS_STOPPED) << c.name;
        EXPECT_FALSE(sound->update()) << c.name;
        sound->setGain(0.25f);
        EXPECT_EQ(sound->getGain(), 0.25f) << c.name << ": the setters still store their values";
        delete sound;
    }
}

TEST_F(StreamedSound, TruncatedStreamPlaysWhatItHasAndStops)
{
    toneFile("whole.ogg", 3.0, 2, 44100);
    const std::string bytes = dir.read("whole.ogg");
    dir.write("truncated.ogg", bytes.substr(0, bytes.size() * 85 / 100));

    CSound sound(dir.file("truncated.ogg"), sounds);
    ASSERT_TRUE(sound.isValid()) << "the headers are whole, so the stream opens";
    ASSERT_TRUE(sound.setState(ESS_PLAYING_RELATIVE));
    bool heard = false;
    EXPECT_TRUE(playToTheEnd(sound, heard));
    EXPECT_TRUE(heard);
}

TEST_F(StreamedSound, DamagedStreamEndsEvenALoopingSound)
{
    // Noise fills many Ogg pages; one taken out of the middle makes the decoder report a hole.
    std::vector<float> noise(2 * 44100 * 2);
    unsigned seed = 12345;
    for (float& sample : noise) {
        seed = seed * 1103515245u + 12345u;
        sample = static_cast<float>((seed >> 16) & 0x7FFF) / 32768.0f * 0.6f - 0.3f;
    }
    oggfixtures::writeOgg(dir.file("whole.ogg"), noise, 2, 44100);
    const std::string bytes = dir.read("whole.ogg");
    std::vector<size_t> pages;
    for (size_t at = bytes.find("OggS"); at != std::string::npos; at = bytes.find("OggS", at + 4))
        pages.push_back(at);
    ASSERT_GT(pages.size(), 6u);
    const size_t middle = pages.size() / 2;
    dir.write("holed.ogg", bytes.substr(0, pages[middle]) + bytes.substr(pages[middle + 1]));

    CSound sound(dir.file("holed.ogg"), sounds);
    ASSERT_TRUE(sound.isValid());
    sound.setLoop(true);
    ASSERT_TRUE(sound.setState(ESS_PLAYING_RELATIVE));
    bool heard = false;
    EXPECT_TRUE(playToTheEnd(sound, heard)) << "a looping sound went on past a decoder error";
    EXPECT_TRUE(heard);
}

TEST_F(StreamedSound, BufferFormatFollowsTheFile)
{
    struct Case { int channels; int rate; };
    const Case cases[] = {{1, 22050}, {2, 48000}};
    for (const Case& c : cases) {
        CSound sound(toneFile("format.ogg", 1.0, c.channels, c.rate), sounds);
        for (int b = 0; b < 2; ++b) {
            EXPECT_EQ(bufferInt(sound, b, AL_CHANNELS), c.channels);
            EXPECT_EQ(bufferInt(sound, b, AL_BITS), 16);
            EXPECT_EQ(bufferInt(sound, b, AL_FREQUENCY), c.rate);
        }
    }
}

TEST_F(StreamedSound, StateChangesAndSettersReachTheSourceOnlyWhenTheyChange)
{
    CSound sound(toneFile("setters.ogg", 0.5, 1, 22050), sounds);
    EXPECT_FALSE(sound.setState(ESS_STOPPED)) << "already stopped";
    EXPECT_TRUE(sound.setState(ESS_PLAYING_RELATIVE));
    EXPECT_EQ(sourceInt(sound, AL_SOURCE_RELATIVE), AL_TRUE);
    EXPECT_FALSE(sound.setState(ESS_PLAYING_RELATIVE));
    EXPECT_TRUE(sound.setState(ESS_PLAYING_3D));
    EXPECT_EQ(sourceInt(sound, AL_SOURCE_RELATIVE), AL_FALSE);
    EXPECT_EQ(sound.getState(), ESS_PLAYING_3D);

    // Overwrite the source behind the sound's back: only a real change is sent again.
    const ALuint source = sound.getSource();
    sound.setPosition(1.0f, 2.0f, 3.0f);
    alSource3f(source, AL_POSITION, 9.0f, 9.0f, 9.0f);
    sound.setPosition(1.0000005f, 2.0000005f, 3.0000005f);
    ALfloat x = 0, y = 0, z = 0;
    alGetSource3f(source, AL_POSITION, &x, &y, &z);
    EXPECT_EQ(x, 9.0f) << "a change within the tolerance was sent";
    EXPECT_EQ(sound.getPosition(), irr::core::vector3df(1.0f, 2.0f, 3.0f));
    sound.setPosition(1.0f, 2.0f, 3.5f);
    alGetSource3f(source, AL_POSITION, &x, &y, &z);
    EXPECT_EQ(z, 3.5f);

    struct Setter { ALenum param; void (CSound::*set)(irr::f32); irr::f32 value; };
    const Setter setters[] = {{AL_GAIN, &CSound::setGain, 0.4f},
                              {AL_PITCH, &CSound::setPitch, 1.5f},
                              {AL_ROLLOFF_FACTOR, &CSound::setRolloff, 0.11f}};
    for (const Setter& s : setters) {
        (sound.*s.set)(s.value);
        ALfloat sent = 0.0f;
        alGetSourcef(source, s.param, &sent);
        EXPECT_EQ(sent, s.value);
        alSourcef(source, s.param, 0.9f);
        (sound.*s.set)(s.value);
        alGetSourcef(source, s.param, &sent);
        EXPECT_EQ(sent, 0.9f) << "an unchanged value was sent again";
    }

    // A gain from an edited volume stays one OpenAL takes: within 0 to 1.
    for (irr::f32 asked : {-0.1f, 3.0f}) {
        sound.setGain(asked);
        ALfloat sent = -1.0f;
        alGetSourcef(source, AL_GAIN, &sent);
        EXPECT_EQ(sent, asked < 0.0f ? 0.0f : 1.0f) << asked;
        EXPECT_EQ(sound.getGain(), sent) << asked;
    }
}

TEST_F(StreamedSound, CopyTakesOnlyTheFile)
{
    CSound original(toneFile("engine.ogg", 1.0, 1, 22050), sounds);
    original.setLoop(true);
    original.setGain(0.3f);
    original.setState(ESS_PLAYING_3D);

    CSound copy(original, sounds);
    EXPECT_TRUE(copy.isValid());
    EXPECT_EQ(copy.getPath(), original.getPath());
    EXPECT_EQ(copy.getOwner(), sounds);
    EXPECT_NE(copy.getSource(), original.getSource());
    EXPECT_FALSE(copy.getLoop());
    EXPECT_EQ(copy.getGain(), 1.0f);
    EXPECT_EQ(copy.getState(), ESS_STOPPED);
}


// Leaves a page of the stack full of AL_PLAYING, so that an OpenAL output read without being set
// first is neither zero by luck nor harmless.
__attribute__((noinline)) ALint dirtyTheStack()
{
    volatile ALint page[2048];
    for (int i = 0; i < 2048; ++i)
        page[i] = AL_PLAYING;
    return page[2047];
}

// Without a device OpenAL writes none of its outputs: the ids stay 0, nothing is refilled, and a
// short sound that is played ends at its first update instead of waiting for a queue that is not
// there.
TEST(SoundWithoutDevice, WritesNothingAndEndsAtOnce)
{
    testsupport::CScratchDir dir;
    ALCcontext* previous = alcGetCurrentContext();
    alcMakeContextCurrent(nullptr);
    const struct {
        double seconds;
        E_SOUND_STATE after;
    } cases[] = {{0.1, ESS_STOPPED}, {5.0, ESS_PLAYING_RELATIVE}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.seconds);
        const std::string path = dir.file("tone.ogg");
        writeOgg(path, tone(c.seconds, 1, 22050, 440.0), 1, 22050);
        alignas(CSound) unsigned char storage[sizeof(CSound)];
        std::memset(storage, 0x12, sizeof storage);
        CSound* sound = new (storage) CSound(path, nullptr);
        EXPECT_EQ(sound->getSource(), 0u);
        EXPECT_EQ(sound->getBuffer(0), 0u);
        EXPECT_EQ(sound->getBuffer(1), 0u);
        sound->setState(ESS_PLAYING_RELATIVE);
        const ALint pattern = dirtyTheStack();
        const bool refilled = sound->update();
        ASSERT_EQ(pattern, AL_PLAYING);
        EXPECT_FALSE(refilled);
        EXPECT_EQ(sound->getState(), c.after);
        sound->~CSound();
    }
    alcMakeContextCurrent(previous);
}

} // namespace
