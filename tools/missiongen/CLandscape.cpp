#include "tools/missiongen/CLandscape.h"

#include <algorithm>
#include <cmath>

#include "tools/paint/SColour.h"

namespace missiongen {

using paint::smoothstep;

namespace {

const float kPi = 3.14159265f;

} // namespace

SLandscapeStyle CLandscape::styleOf(ELandscape kind)
{
    SLandscapeStyle s;
    switch (kind) {
    case ELandscape::Dunes:
        s.ground = "sand";
        s.slope = "sand_ripples";
        s.track = "desert_track";
        s.rock = "sandstone";
        s.tree = ETree::Cactus;
        s.trees = 45;
        s.rocks = 30;
        s.bank = 22.0f;
        s.slopeRock = 0.8f;
        break;
    case ELandscape::Canyon:
        s.ground = "red_dust";
        s.slope = "red_rock";
        s.track = "gravel";
        s.rock = "red_rock";
        s.tree = ETree::Cactus;
        s.trees = 20;
        s.rocks = 45;
        s.shoulder = 5.0f;
        s.bank = 11.0f;
        s.slopeRock = 0.45f;
        break;
    case ELandscape::Forest:
        s.ground = "grass";
        s.slope = "forest_floor";
        s.track = "dirt";
        s.rock = "alpine_rock";
        s.tree = ETree::Pine;
        s.trees = 230;
        s.rocks = 25;
        s.bank = 16.0f;
        break;
    case ELandscape::Snow:
        s.ground = "snow";
        s.slope = "ice_rock";
        s.track = "packed_snow";
        s.rock = "ice_rock";
        s.tree = ETree::SnowPine;
        s.trees = 130;
        s.rocks = 25;
        s.bank = 18.0f;
        s.slopeRock = 0.5f;
        break;
    case ELandscape::Savanna:
        s.ground = "dry_grass";
        s.slope = "savanna_earth";
        s.track = "red_dirt";
        s.rock = "sandstone";
        s.tree = ETree::Acacia;
        s.trees = 55;
        s.rocks = 35;
        s.bank = 20.0f;
        break;
    case ELandscape::Volcanic:
        s.ground = "ash";
        s.slope = "basalt";
        s.track = "cinder";
        s.rock = "basalt";
        s.tree = ETree::None;
        s.trees = 0;
        s.rocks = 70;
        s.bank = 15.0f;
        s.slopeRock = 0.4f;
        break;
    case ELandscape::Autumn:
        s.ground = "autumn_grass";
        s.slope = "leaf_litter";
        s.track = "dirt";
        s.rock = "alpine_rock";
        s.tree = ETree::Broadleaf;
        s.trees = 180;
        s.rocks = 25;
        s.bank = 16.0f;
        break;
    case ELandscape::Alpine:
        s.ground = "alpine_meadow";
        s.slope = "alpine_rock";
        s.track = "gravel";
        s.rock = "alpine_rock";
        s.tree = ETree::Pine;
        s.trees = 120;
        s.rocks = 45;
        s.bank = 16.0f;
        s.edgeRise = 80.0f;
        s.slopeRock = 0.45f;
        break;
    }
    return s;
}

CLandscape::CLandscape(ELandscape kind, uint32_t seed, float terrainSize, float reliefScale) :
    landscape(kind), look(styleOf(kind)), noise(seed), half(0.5f * terrainSize), relief(reliefScale)
{
}

float CLandscape::centred(float x, float z, float scale, int octaves, uint32_t layer) const
{
    // Each layer reads the noise far from the others, so they do not echo one another. Summed
    // octaves of value noise rarely stray far from the middle: stretched to about -0.5 to 0.5.
    return 2.2f * (noise.fbm(x / scale + 1000.0f * float(layer), z / scale - 700.0f * float(layer), octaves) - 0.5f);
}

float CLandscape::hills(float x, float z) const
{
    const float r = relief;
    switch (landscape) {
    case ELandscape::Dunes: {
        // Crests across the wind, bent by a slow warp, tall in some places and low in others.
        const float warp = 70.0f * centred(x, z, 180.0f, 2, 1);
        const float ridge = 0.5f + 0.5f * std::sin((0.8f * x + 0.6f * z + warp) * 2.0f * kPi / 58.0f);
        const float strength = std::clamp(0.4f + 1.6f * (centred(x, z, 150.0f, 2, 2) + 0.5f), 0.0f, 2.0f);
        return 10.0f * r * centred(x, z, 300.0f, 3, 3) + 8.0f * r * ridge * ridge * strength;
    }
    case ELandscape::Canyon:
        return 26.0f * r + 10.0f * r * centred(x, z, 170.0f, 3, 1) + 3.0f * centred(x, z, 30.0f, 2, 2);
    case ELandscape::Forest: return 24.0f * r * centred(x, z, 260.0f, 4, 1) + 3.0f * centred(x, z, 45.0f, 2, 2);
    case ELandscape::Snow: return 20.0f * r * centred(x, z, 240.0f, 3, 1) + 2.0f * centred(x, z, 60.0f, 2, 2);
    case ELandscape::Savanna: {
        const float kopje = std::max(0.0f, centred(x, z, 90.0f, 3, 2) - 0.15f);
        return 8.0f * r * centred(x, z, 260.0f, 3, 1) + 60.0f * r * kopje * kopje;
    }
    case ELandscape::Volcanic: {
        const float ridged = 1.0f - 2.0f * std::fabs(centred(x, z, 80.0f, 3, 2));
        // A volcano in the far corner, its crater open to the sky.
        const float cx = half - 60.0f, cz = half - 60.0f;
        const float d = std::hypot(x - cx, z - cz);
        const float cone = 95.0f * std::max(0.0f, 1.0f - d / 170.0f) - 40.0f * std::max(0.0f, 1.0f - d / 40.0f);
        return 16.0f * r * centred(x, z, 200.0f, 4, 1) + 5.0f * r * ridged + cone;
    }
    case ELandscape::Autumn: return 28.0f * r * centred(x, z, 230.0f, 4, 1) + 4.0f * centred(x, z, 55.0f, 2, 2);
    case ELandscape::Alpine: {
        // The whole valley climbs northwards (+z) to the pass.
        const float ridged = 1.0f - 2.0f * std::fabs(centred(x, z, 120.0f, 3, 2));
        return 0.06f * r * z + 22.0f * r * centred(x, z, 300.0f, 4, 1) + 8.0f * r * ridged;
    }
    }
    return 0.0f;
}

float CLandscape::height(float x, float z) const
{
    // Ridged mountains rise round the border and close the world off.
    const float border = std::max(std::fabs(x), std::fabs(z));
    const float rise = smoothstep(half - 80.0f, half - 5.0f, border);
    const float ridges = 1.0f - std::fabs(centred(x, z, 45.0f, 3, 4));
    return hills(x, z) + look.edgeRise * rise * (0.45f + 0.8f * ridges);
}

float CLandscape::roadBase(float x, float z) const
{
    if (landscape == ELandscape::Canyon)
        return 4.0f * relief * centred(x, z, 250.0f, 2, 5);
    return hills(x, z);
}

} // namespace missiongen
