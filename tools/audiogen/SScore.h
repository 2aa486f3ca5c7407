#pragma once
#include <vector>

// One note of a melodic part; times in seconds.
struct SNote {
    double start;
    double length;
    int midi;
    float velocity;
};

enum EDrum { ED_KICK, ED_SNARE, ED_HAT, ED_OPEN_HAT, ED_CRASH, ED_TOM_HIGH, ED_TOM_LOW };

struct SDrumHit {
    double start;
    EDrum kind;
    float velocity;
};

// Everything a piece plays, part by part.
struct SScore {
    std::vector<SNote> lead;
    std::vector<SNote> harmony;
    std::vector<SNote> bass;
    std::vector<SNote> pad;
    std::vector<SNote> arp;
    std::vector<SDrumHit> drums;
    double length = 0.0; // s, without the ringing tail of the last notes
};
