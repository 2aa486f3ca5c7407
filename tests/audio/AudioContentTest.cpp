// The music and engine sounds that audiogen made for the run folder decode as the game needs them.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string kAudio = std::string(SANDVOLT_RUN_DIR) + "/data/audio/";

// Decoded frames (as floats, interleaved) from `first` on, at most `count` of them.
std::vector<float> decode(OggVorbis_File& file, ogg_int64_t first, int count, int channels)
{
    std::vector<float> samples;
    if (ov_pcm_seek(&file, first) != 0)
        return samples;
    char bytes[8192];
    int section = 0;
    while (static_cast<int>(samples.size()) < count * channels) {
        const long n = ov_read(&file, bytes, sizeof bytes, 0, 2, 1, &section);
        if (n <= 0)
            break;
        const short* pcm = reinterpret_cast<const short*>(bytes);
        for (long i = 0; i < n / 2; ++i)
            samples.push_back(pcm[i] / 32768.0f);
    }
    samples.resize(std::min(samples.size(), static_cast<size_t>(count * channels)));
    return samples;
}

struct SDecoded {
    bool opened = false;
    int channels = 0;
    double seconds = 0.0;
    double bytes = 0.0; // 16-bit decoded size
    std::vector<float> head, tail;
};

SDecoded open(const std::string& path)
{
    SDecoded d;
    OggVorbis_File file;
    if (ov_fopen(path.c_str(), &file) != 0)
        return d;
    d.opened = true;
    d.channels = ov_info(&file, -1)->channels;
    const ogg_int64_t frames = ov_pcm_total(&file, -1);
    d.seconds = ov_time_total(&file, -1);
    d.bytes = static_cast<double>(frames) * d.channels * 2.0;
    d.head = decode(file, 0, 4096, d.channels);
    d.tail = decode(file, std::max<ogg_int64_t>(0, frames - 4096), 4096, d.channels);
    ov_clear(&file);
    return d;
}

// The jump from the last frame to the first, against the steps between neighbours near both
// ends: a seamless loop turns like any other moment (a cut at a random point jumps by about as
// much as the signal's whole swing, far beyond nearly every step).
void expectSeamless(const SDecoded& d, const std::string& what)
{
    ASSERT_EQ(d.head.size(), d.tail.size()) << what;
    const size_t c = static_cast<size_t>(d.channels);
    for (size_t ch = 0; ch < c; ++ch) {
        std::vector<double> steps;
        for (const std::vector<float>* part : {&d.head, &d.tail}) {
            for (size_t i = c + ch; i < part->size(); i += c)
                steps.push_back(std::fabs((*part)[i] - (*part)[i - c]));
        }
        ASSERT_FALSE(steps.empty()) << what;
        std::sort(steps.begin(), steps.end());
        const double usualMost = steps[steps.size() * 99 / 100];
        const double seam = std::fabs(d.head[ch] - d.tail[d.tail.size() - c + ch]);
        EXPECT_LE(seam, usualMost + 0.002) << what << ", channel " << ch << ": a click where the loop turns";
    }
}

TEST(AudioContent, LoopsDecodeLongEnoughAndTurnWithoutAClick)
{
    struct Case { const char* file; int channels; double minSeconds; bool engine; };
    const Case cases[] = {{"menu_music.ogg", 2, 20.0, false},
                          {"engines/buggy.ogg", 1, 1.0, true},
                          {"engines/truck.ogg", 1, 1.0, true}};
    for (const Case& c : cases) {
        const SDecoded d = open(kAudio + c.file);
        ASSERT_TRUE(d.opened) << c.file;
        EXPECT_EQ(d.channels, c.channels) << c.file;
        EXPECT_GE(d.seconds, c.minSeconds) << c.file;
        EXPECT_GT(d.bytes, 4.0 * 32768) << c.file << " is hardly longer than the two stream buffers";
        expectSeamless(d, c.file);
        if (c.engine) {
            // The game changes an engine's pitch with the speed: that needs overtones, which move
            // the signal much faster than its low fundamental does.
            double power = 0.0, change = 0.0;
            for (size_t i = 1; i < d.head.size(); ++i) {
                power += d.head[i] * d.head[i];
                change += (d.head[i] - d.head[i - 1]) * (d.head[i] - d.head[i - 1]);
            }
            EXPECT_GT(std::sqrt(change / power), 0.1) << c.file << " sounds like a bare tone";
        }
    }
}

TEST(AudioContent, MusicFolderHoldsThreeStereoTracksOfAMinuteOrMore)
{
    int tracks = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kAudio + "music")) {
        if (entry.path().extension() != ".ogg")
            continue;
        ++tracks;
        const SDecoded d = open(entry.path().string());
        ASSERT_TRUE(d.opened) << entry.path();
        EXPECT_EQ(d.channels, 2) << entry.path();
        EXPECT_GE(d.seconds, 60.0) << entry.path();
    }
    EXPECT_GE(tracks, 3);
    EXPECT_FALSE(std::filesystem::exists(kAudio + "music/buggy.ogg")) << "engine sounds are no music";
}

} // namespace
