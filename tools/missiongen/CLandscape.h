#pragma once
// The natural ground of a mission before the track is cut into it, and the look that goes with
// it. Pure functions of position and seed, so any thread may ask.
#include <cstdint>

#include "tools/missiongen/SLandscapeStyle.h"
#include "tools/missiongen/STrackDesign.h"
#include "tools/paint/CNoise.h"

namespace missiongen {

class CLandscape {
public:
    CLandscape(ELandscape kind, uint32_t seed, float terrainSize, float relief);

    static SLandscapeStyle styleOf(ELandscape kind);
    const SLandscapeStyle& style() const { return look; }

    // Height of the ground at (x, z), with the hills that close the world off at the border.
    float height(float x, float z) const;
    // The height the track would like at (x, z) before it is smoothed and its climbs limited:
    // the ground itself, except in a canyon, whose floor lies far below the plateau.
    float roadBase(float x, float z) const;

private:
    float hills(float x, float z) const;
    float centred(float x, float z, float scale, int octaves, uint32_t layer) const;

    ELandscape landscape;
    SLandscapeStyle look;
    paint::CNoise noise;
    float half;
    float relief;
};

} // namespace missiongen
