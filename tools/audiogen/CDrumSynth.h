#pragma once
#include <cstdint>

#include "CStereoBuffer.h"
#include "SScore.h"

// Synthesised drum kit: kick, snare, hats, crash and two toms.
class CDrumSynth {
public:
    CDrumSynth(int rate, uint64_t seed);
    // Every hit gets its own noise, drawn from the kit's seed and the hit's number.
    void render(const SDrumHit& hit, int hitNumber, CStereoBuffer& out) const;

private:
    int rate;
    uint64_t seed;
};
