#pragma once
#include <string>
#include <vector>

// Encodes float samples (interleaved, -1 to 1) as an Ogg Vorbis stream. Shared by the content
// generator and the audio tests, which write their small fixture files with it.
class CVorbisWriter {
public:
    // serial: the Ogg stream serial number; a fixed one keeps the bytes the same on every run.
    CVorbisWriter(int channels, int rate, float quality = 0.3f, int serial = 0x5A4E0001);

    // The whole file in memory; empty when the encoder refused the settings.
    std::string encode(const std::vector<float>& interleaved) const;
    // Writes the encoded file; prints an "ERROR: " line and returns false on failure.
    bool write(const std::string& path, const std::vector<float>& interleaved) const;

private:
    int channels;
    int rate;
    float quality;
    int serial;
};
