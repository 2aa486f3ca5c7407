#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The idle note of one engine, as a seamless mono loop. The game raises its pitch with the
// car's speed, so the sound is a train of firing pulses rich in harmonics (a bare tone would
// barely seem to change).
struct SEngineSpec {
    std::string file;          // relative to the audio folder
    double loopSeconds = 1.2;  // times the rate must give whole frames
    int firings = 60;          // per loop: a whole number keeps the loop seamless
    int cylinders = 4;         // firings per engine turn; must divide firings
    double body = 600.0;       // Hz, the main resonance each firing rings
    double bodyDecay = 0.003;  // s
    double bite = 1700.0;      // Hz, a brighter second resonance
    double biteDecay = 0.0015; // s
    double thump = 0.8;        // weight of the low thump of each firing
    double unevenness = 0.15;  // how much the cylinders differ
    double clatter = 0.0;      // diesel knock: a sharp noise burst on each firing
    double hiss = 0.08;        // intake and exhaust noise
    uint64_t seed = 1;
};

class CEngineSynth {
public:
    explicit CEngineSynth(int rate);
    // Mono samples, -1 to 1, exactly loopSeconds long.
    std::vector<float> render(const SEngineSpec& spec) const;

private:
    int rate;
};
