#pragma once

// The sound of one melodic instrument: two detuned oscillators through a resonant low-pass
// filter with its own envelope.
struct SPatch {
    float saw = 1.0f;        // oscillator mix
    float square = 0.0f;
    float sine = 0.0f;
    float pulseWidth = 0.5f;
    float detuneCents = 8.0f; // second oscillator
    float cutoff = 1200.0f;   // Hz
    float envCutoff = 2000.0f; // Hz added at the start of a note, decaying with filterDecay
    float filterDecay = 0.25f; // s
    float resonance = 0.2f;   // 0 to 0.9
    float attack = 0.005f;    // s
    float decay = 0.2f;       // s
    float sustain = 0.7f;     // level
    float release = 0.15f;    // s
    float vibratoDepth = 0.0f; // semitones
    float vibratoRate = 5.0f;  // Hz
    float gain = 0.3f;
    float pan = 0.0f;         // -1 left to 1 right
};
