#pragma once
#include "CStereoBuffer.h"
#include "SPatch.h"
#include "SScore.h"

// Renders the notes of a melodic instrument into a buffer.
class CToneSynth {
public:
    CToneSynth(const SPatch& patch, int rate);
    void render(const SNote& note, CStereoBuffer& out) const;

    static double frequency(int midi);

private:
    SPatch patch;
    int rate;
};
