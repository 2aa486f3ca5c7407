#include "OggFixtures.h"

#include <gtest/gtest.h>
#include <cmath>
#include <filesystem>

#include "CVorbisWriter.h"

namespace oggfixtures {

std::vector<float> tone(double seconds, int channels, int rate, double frequency, float startLevel, float endLevel)
{
    const size_t frames = static_cast<size_t>(std::lround(seconds * rate));
    std::vector<float> samples(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < frames; ++i) {
        const double along = frames > 1 ? static_cast<double>(i) / static_cast<double>(frames - 1) : 0.0;
        const double level = startLevel + (endLevel - startLevel) * along;
        const double s = level * std::sin(2.0 * 3.14159265358979323846 * frequency * i / rate);
        for (int c = 0; c < channels; ++c)
            samples[i * static_cast<size_t>(channels) + static_cast<size_t>(c)] = static_cast<float>(s);
    }
    return samples;
}

void writeOgg(const std::string& path, const std::vector<float>& samples, int channels, int rate)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_TRUE(CVorbisWriter(channels, rate, 0.4f).write(path, samples)) << path;
}

int framesPerBuffer(int channels)
{
    return 32768 / (2 * channels);
}

} // namespace oggfixtures
