#pragma once
#include <cstdint>

// A small seeded generator (xorshift64*): the same seed gives the same sounds on every machine,
// independent of the C library's rand().
class CRandom {
public:
    explicit CRandom(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull)
    {
        if (state == 0)
            state = 0x2545F4914F6CDD1Dull;
    }

    uint64_t next()
    {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return state * 0x2545F4914F6CDD1Dull;
    }

    // Uniform in [0, 1).
    double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
    // Uniform in [-1, 1).
    float noise() { return static_cast<float>(uniform() * 2.0 - 1.0); }
    // Uniform integer in [lo, hi].
    int range(int lo, int hi) { return lo + static_cast<int>(next() % static_cast<uint64_t>(hi - lo + 1)); }
    bool chance(double p) { return uniform() < p; }

private:
    uint64_t state;
};
