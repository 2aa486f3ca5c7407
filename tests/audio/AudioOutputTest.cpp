// What comes out of the speakers: the sounds run in a probe process on OpenAL Soft's wave
// writer, and the test reads the WAV file it wrote. The probe also runs with no backend at all.
#include <gtest/gtest.h>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include "OggFixtures.h"
#include "support/TestSupport.h"

extern char** environ;

namespace {

struct SProbeRun {
    bool finished = false;
    int exitCode = -1;
    std::string output;
};

// Runs the probe with the given OpenAL Soft variables in place of the test's own. A probe that
// has not ended after a minute is stopped and reported as hanging.
SProbeRun runProbe(const std::vector<std::string>& arguments, const std::vector<std::string>& alsoftVariables,
                   const std::string& outputFile)
{
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e) {
        if (std::strncmp(*e, "ALSOFT_", 7) != 0)
            environment.push_back(*e);
    }
    environment.insert(environment.end(), alsoftVariables.begin(), alsoftVariables.end());
    std::vector<char*> envp;
    for (std::string& e : environment)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    std::vector<std::string> args = {AUDIO_PROBE};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    SProbeRun run;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return run;

    int status = 0;
    for (int waited = 0; waited < 6000; ++waited) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            run.finished = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!run.finished) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    } else if (WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
    }
    std::ifstream in(outputFile);
    std::ostringstream text;
    text << in.rdbuf();
    run.output = text.str();
    return run;
}

struct SWave {
    int channels = 0;
    int rate = 0;
    int bits = 0;
    std::vector<int16_t> samples; // interleaved
};

uint32_t readLittle(const std::string& bytes, size_t at, int count)
{
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
    return value;
}

// The 16-bit PCM of a RIFF WAVE file; empty when the file is not one.
SWave readWave(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream raw;
    raw << in.rdbuf();
    const std::string bytes = raw.str();
    SWave wave;
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        return wave;
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::string id = bytes.substr(at, 4);
        size_t size = readLittle(bytes, at + 4, 4);
        at += 8;
        // The writer fills in the sizes when the device closes; trust the file's end over them.
        if (size > bytes.size() - at)
            size = bytes.size() - at;
        if (id == "fmt " && size >= 16) {
            wave.channels = static_cast<int>(readLittle(bytes, at + 2, 2));
            wave.rate = static_cast<int>(readLittle(bytes, at + 4, 4));
            wave.bits = static_cast<int>(readLittle(bytes, at + 14, 2));
        } else if (id == "data" && wave.bits == 16) {
            wave.samples.resize(size / 2);
            std::memcpy(wave.samples.data(), bytes.data() + at, wave.samples.size() * 2);
        }
        at += size + (size & 1);
    }
    return wave;
}

// Root mean square of the interleaved samples in [first, last), as a fraction of full scale.
double level(const std::vector<int16_t>& samples, size_t first, size_t last)
{
    double sum = 0.0;
    for (size_t i = first; i < last; ++i)
        sum += static_cast<double>(samples[i]) * samples[i];
    return last > first ? std::sqrt(sum / static_cast<double>(last - first)) / 32768.0 : 0.0;
}

// First and one past the last sample louder than `threshold`; (0, 0) when there is none.
std::pair<size_t, size_t> audibleSpan(const std::vector<int16_t>& samples, int threshold)
{
    size_t first = samples.size(), last = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        if (std::abs(samples[i]) > threshold) {
            first = std::min(first, i);
            last = i + 1;
        }
    }
    return first < last ? std::make_pair(first, last) : std::make_pair<size_t, size_t>(0, 0);
}

class AudioOutput : public ::testing::Test {
protected:
    // Plays a scenario on the wave writer and returns what it wrote.
    SWave record(const std::string& scenario, const std::string& volume, const std::string& name)
    {
        const std::string wav = dir.file(name + ".wav");
        const std::string conf = dir.file(name + ".conf");
        std::ofstream(conf) << "[general]\ndrivers = wave\nchannels = stereo\nsample-type = int16\n"
                               "frequency = 44100\ndither = false\nhrtf = false\n[wave]\nfile = "
                            << wav << "\n";
        const SProbeRun run = runProbe({scenario, game, volume}, {"ALSOFT_DRIVERS=wave", "ALSOFT_CONF=" + conf},
                                       dir.file(name + ".txt"));
        EXPECT_TRUE(run.finished) << scenario << " hangs:\n" << run.output;
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_NE(run.output.find("probe: device open"), std::string::npos) << run.output;
        const SWave wave = readWave(wav);
        EXPECT_EQ(wave.channels, 2) << "no wave file came out:\n" << run.output;
        EXPECT_EQ(wave.rate, 44100);
        return wave;
    }

    void addSound(const std::string& relativePath, const std::vector<float>& samples, int channels, int rate)
    {
        oggfixtures::writeOgg(game + "/" + relativePath, samples, channels, rate);
    }

    testsupport::CScratchDir dir;
    std::string game = dir.file("game");
};

TEST_F(AudioOutput, MenuMusicLevelFollowsTheMusicVolume)
{
    // A steady one-second tone with a whole number of cycles loops without a seam.
    addSound("data/audio/menu_music.ogg", oggfixtures::tone(1.0, 2, 44100, 440.0), 2, 44100);

    const SWave loud = record("menu", "80", "loud");
    const SWave half = record("menu", "40", "half");
    const SWave silent = record("menu", "0", "silent");

    const auto loudSpan = audibleSpan(loud.samples, 64);
    const auto halfSpan = audibleSpan(half.samples, 32);
    const double loudLevel = level(loud.samples, loudSpan.first, loudSpan.second);
    const double halfLevel = level(half.samples, halfSpan.first, halfSpan.second);
    EXPECT_GT(loudLevel, 0.05) << "the menu music was not heard at volume 80";
    EXPECT_GT(loudSpan.second - loudSpan.first, 44100u) << "less than half a second of music came out";
    ASSERT_GT(loudLevel, 0.0);
    EXPECT_NEAR(halfLevel / loudLevel, 0.5, 0.08) << "half the volume should give half the level";

    ASSERT_FALSE(silent.samples.empty());
    const auto silentSpan = audibleSpan(silent.samples, 2);
    EXPECT_EQ(silentSpan.second - silentSpan.first, 0u) << "volume 0 is not silent";
}

// Mixed on a loopback device between the frames, so the sound's time is the frames' time: a busy
// machine that delays the streaming cannot starve the source, only a fault of the streaming can.
// Frames of 16 ms (60 fps) and of 100 ms (a slow software renderer).
TEST_F(AudioOutput, LoopingSoundShorterThanABufferPlaysWithoutGaps)
{
    addSound("loop.ogg", oggfixtures::tone(0.05, 2, 48000, 440.0), 2, 48000);
    for (const char* frameMs : {"16", "100"}) {
        const std::string wav = dir.file(std::string("loop-") + frameMs + ".wav");
        const SProbeRun run = runProbe({"loop", game, "80", frameMs, wav}, {"ALSOFT_DRIVERS=null"},
                                       dir.file(std::string("loop-") + frameMs + ".txt"));
        ASSERT_TRUE(run.finished) << run.output;
        ASSERT_EQ(run.exitCode, 0) << run.output;
        const SWave wave = readWave(wav);
        ASSERT_EQ(wave.channels, 2) << run.output;

        const auto span = audibleSpan(wave.samples, 200);
        EXPECT_GT(span.second - span.first, 2u * 44100u) << frameMs << " ms frames: the loop did not keep playing";
        EXPECT_LT(wave.samples.size() - span.second, 2u * 4410u) << frameMs << " ms frames: the loop stopped early";
        // Two channels: 88 interleaved samples are one millisecond. The tone crosses zero far faster.
        size_t quiet = 0, longestQuiet = 0;
        for (size_t i = span.first; i < span.second; ++i) {
            quiet = std::abs(wave.samples[i]) < 50 ? quiet + 1 : 0;
            longestQuiet = std::max(longestQuiet, quiet);
        }
        EXPECT_LT(longestQuiet, 88u) << frameMs << " ms frames: the loop has a gap";
    }
}

TEST_F(AudioOutput, StoppedSoundPlaysAgainFromTheStartToItsVeryEnd)
{
    // A mono tone that swells from 0.1 to 0.9: its level tells where in the file the output is.
    addSound("ramp.ogg", oggfixtures::tone(1.5, 1, 44100, 440.0, 0.1f, 0.9f), 1, 44100);
    const SWave wave = record("restart", "80", "restart");

    // Level in 10 ms windows.
    std::vector<double> windows;
    for (size_t first = 0; first + 882 <= wave.samples.size(); first += 882)
        windows.push_back(level(wave.samples, first, first + 882));
    double peak = 0.0;
    for (double w : windows)
        peak = std::max(peak, w);
    ASSERT_GT(peak, 0.01) << "nothing was heard";

    // The first play swells past the middle, the second starts low again, then swells to the end.
    size_t at = 0;
    while (at < windows.size() && windows[at] < 0.35 * peak)
        ++at;
    ASSERT_LT(at, windows.size()) << "the first play never got loud";
    size_t lowRun = 0, restart = 0;
    for (; at < windows.size(); ++at) {
        const bool low = windows[at] > 0.02 * peak && windows[at] <= 0.25 * peak;
        lowRun = low ? lowRun + 1 : 0;
        if (lowRun == 10) {
            restart = at - 9;
            break;
        }
    }
    ASSERT_GT(restart, 0u) << "the second play did not start from the quiet beginning";
    double afterRestart = 0.0;
    size_t lastHeard = restart;
    for (size_t i = restart; i < windows.size(); ++i) {
        afterRestart = std::max(afterRestart, windows[i]);
        if (windows[i] > 0.02 * peak)
            lastHeard = i;
    }
    EXPECT_EQ(afterRestart, peak);
    // The whole 1.5 s of the file, up to its loud end, and not only what was decoded before the
    // decoder reached the end.
    EXPECT_GE(lastHeard - restart + 1, 145u) << "the end of the sound was cut off";
}

TEST_F(AudioOutput, WithoutAnyAudioDeviceEverythingReturnsAtOnce)
{
    addSound("data/audio/menu_music.ogg", oggfixtures::tone(1.0, 2, 22050, 440.0), 2, 22050);
    addSound("data/audio/music/1.ogg", oggfixtures::tone(0.5, 2, 22050, 440.0), 2, 22050);
    addSound("data/audio/music/2.ogg", oggfixtures::tone(0.5, 1, 22050, 440.0), 1, 22050);

    const SProbeRun run = runProbe({"nodevice", game}, {"ALSOFT_DRIVERS=no-such-backend"}, dir.file("probe.txt"));
    ASSERT_TRUE(run.finished) << "the game hangs without an audio device:\n" << run.output;
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("probe: device none\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("probe: 2 tracks\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("probe: done\n"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("Sound Error"), std::string::npos) << run.output;
}

} // namespace
