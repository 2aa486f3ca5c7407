#pragma once
// Small Ogg Vorbis files for the audio tests, written with the content generator's encoder.
#include <string>
#include <vector>

namespace oggfixtures {

// A sine tone whose level moves linearly from startLevel to endLevel. Pick a frequency with a
// whole number of cycles in `seconds` and the tone loops without a seam.
std::vector<float> tone(double seconds, int channels, int rate, double frequency, float startLevel = 0.5f,
                        float endLevel = 0.5f);

// Encodes samples and writes them to path, making its folder first; the test fails on an encoder
// error.
void writeOgg(const std::string& path, const std::vector<float>& samples, int channels, int rate);

// Frames per stream buffer of the game's sound (32768 bytes of 16-bit samples).
int framesPerBuffer(int channels);

} // namespace oggfixtures
