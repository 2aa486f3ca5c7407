#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "SPatch.h"

// One part of a piece: 'I' intro, 'A' and 'B' the two themes, 'D' a breakdown without kick and
// lead, 'O' the outro with its closing chord.
struct SSection {
    char kind;
    int bars;
};

// What a piece of music is made of; the composer turns it into notes.
struct SSongPlan {
    std::string file;             // relative to the audio folder
    double bpm = 120.0;
    int tonic = 60;               // MIDI note of the key's tonic in the lead's octave
    std::vector<int> scale;       // seven semitone steps from the tonic
    std::vector<int> progressionA; // scale degree of each bar's chord in theme A (and I, D, O)
    std::vector<int> progressionB;
    std::vector<SSection> sections;
    int drumStyle = 0;            // 0 driving, 1 funk, 2 broken beat, 3 half-time
    int bassStyle = 0;            // 0 eighths, 1 syncopated, 2 long notes with pick-ups, 3 calm
    int arpStepsPerNote = 2;      // sixteenths per arpeggio note
    float drumLevel = 0.30f;      // the kit's level against the lead's 0.2
    bool loops = false;           // one turn of a seamless loop instead of a piece with an end
    uint64_t seed = 1;
    SPatch lead, bass, pad, arp;
};
