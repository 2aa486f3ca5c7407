#pragma once
#include "CStereoBuffer.h"

// A ping-pong echo and a small room reverb for the melodic parts. On a wrapping buffer the effect
// runs over the loop twice and keeps the second turn, so the echoes of the loop's end ring on
// into its start exactly as they do on every later turn.
class CRoomEffect {
public:
    CRoomEffect(int rate, double echoSeconds, float echoMix, float reverbMix);
    // The effect's output alone (no dry signal), as long as the input.
    CStereoBuffer process(const CStereoBuffer& in) const;

private:
    int rate;
    double echoSeconds;
    float echoMix;
    float reverbMix;
};
