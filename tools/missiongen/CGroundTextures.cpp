#include "tools/missiongen/CGroundTextures.h"

#include <cmath>
#include <cstdint>

#include "tools/paint/CNoise.h"

namespace missiongen {

using paint::clamp01;
using paint::rgb8;
using paint::SColour;

namespace {

const float kTau = 6.2831853f;

enum class EFeature { None, Ripples, Pebbles, Strata, Blades, Leaves, Sparkle };

struct SRecipe {
    const char* name;
    SColour dark, light;
    float patches; // contrast of the large light and dark patches
    float grain;   // contrast of the fine grain
    EFeature feature;
    SColour featureColour;
    float amount; // how much of the feature: density of stones and leaves, depth of bands
};

const SRecipe kRecipes[] = {
    {"sand", rgb8(196, 158, 104), rgb8(228, 196, 142), 0.45f, 0.25f, EFeature::Sparkle, rgb8(250, 232, 196), 0.15f},
    {"sandstone", rgb8(170, 128, 84), rgb8(214, 172, 120), 0.45f, 0.3f, EFeature::Strata, rgb8(150, 104, 66), 0.4f},
    {"sand_ripples", rgb8(184, 142, 90), rgb8(222, 186, 130), 0.35f, 0.2f, EFeature::Ripples, rgb8(150, 110, 70),
     0.35f},
    {"desert_track", rgb8(150, 118, 80), rgb8(186, 150, 104), 0.4f, 0.45f, EFeature::Pebbles, rgb8(120, 96, 70), 0.25f},
    {"red_dust", rgb8(168, 86, 50), rgb8(206, 122, 76), 0.45f, 0.3f, EFeature::Pebbles, rgb8(130, 64, 40), 0.12f},
    {"red_rock", rgb8(128, 56, 34), rgb8(182, 92, 58), 0.5f, 0.35f, EFeature::Strata, rgb8(96, 40, 26), 0.5f},
    {"gravel", rgb8(112, 104, 96), rgb8(160, 150, 138), 0.3f, 0.55f, EFeature::Pebbles, rgb8(196, 188, 176), 0.55f},
    {"grass", rgb8(62, 102, 40), rgb8(104, 146, 62), 0.5f, 0.3f, EFeature::Blades, rgb8(40, 74, 28), 0.5f},
    {"forest_floor", rgb8(70, 58, 38), rgb8(104, 88, 56), 0.45f, 0.35f, EFeature::Leaves, rgb8(58, 80, 34), 0.35f},
    {"dirt", rgb8(104, 80, 56), rgb8(140, 110, 78), 0.4f, 0.45f, EFeature::Pebbles, rgb8(82, 64, 46), 0.3f},
    {"snow", rgb8(214, 222, 236), rgb8(246, 249, 255), 0.35f, 0.15f, EFeature::Sparkle, rgb8(255, 255, 255), 0.2f},
    {"ice_rock", rgb8(96, 104, 118), rgb8(150, 160, 176), 0.5f, 0.35f, EFeature::Strata, rgb8(210, 220, 236), 0.4f},
    {"packed_snow", rgb8(178, 186, 200), rgb8(214, 220, 232), 0.35f, 0.35f, EFeature::Pebbles, rgb8(150, 158, 172),
     0.25f},
    {"dry_grass", rgb8(168, 142, 70), rgb8(208, 184, 104), 0.5f, 0.3f, EFeature::Blades, rgb8(132, 110, 52), 0.55f},
    {"savanna_earth", rgb8(150, 96, 56), rgb8(184, 126, 78), 0.45f, 0.35f, EFeature::Pebbles, rgb8(120, 78, 46), 0.2f},
    {"red_dirt", rgb8(146, 78, 46), rgb8(180, 104, 64), 0.4f, 0.45f, EFeature::Pebbles, rgb8(112, 62, 38), 0.3f},
    {"ash", rgb8(66, 62, 60), rgb8(104, 98, 94), 0.45f, 0.3f, EFeature::Sparkle, rgb8(140, 132, 126), 0.12f},
    {"basalt", rgb8(34, 32, 34), rgb8(74, 70, 72), 0.5f, 0.4f, EFeature::Strata, rgb8(24, 22, 24), 0.45f},
    {"cinder", rgb8(84, 48, 40), rgb8(122, 76, 62), 0.35f, 0.5f, EFeature::Pebbles, rgb8(52, 36, 32), 0.45f},
    {"autumn_grass", rgb8(98, 108, 44), rgb8(142, 140, 66), 0.5f, 0.3f, EFeature::Blades, rgb8(70, 78, 30), 0.45f},
    {"leaf_litter", rgb8(112, 62, 30), rgb8(168, 104, 44), 0.45f, 0.3f, EFeature::Leaves, rgb8(196, 84, 30), 0.6f},
    {"alpine_meadow", rgb8(74, 110, 52), rgb8(118, 150, 80), 0.5f, 0.3f, EFeature::Blades, rgb8(200, 200, 120), 0.35f},
    {"alpine_rock", rgb8(92, 92, 96), rgb8(148, 146, 146), 0.5f, 0.4f, EFeature::Strata, rgb8(70, 70, 74), 0.45f},
};

const SRecipe* find(const std::string& name)
{
    for (const SRecipe& r : kRecipes)
        if (name == r.name)
            return &r;
    return nullptr;
}

uint32_t seedOf(const std::string& name)
{
    uint32_t h = 2166136261u;
    for (unsigned char c : name)
        h = (h ^ c) * 16777619u;
    return h;
}

// Round stones (or leaves) scattered on a wrapped grid of cells: 0 where there is none, else how
// far into the nearest one (1 at its middle), with `tone` its own light or dark.
float stones(const paint::CNoise& noise, float u, float v, int cellsPerSide, float density, float& tone)
{
    const float gx = u * cellsPerSide, gy = v * cellsPerSide;
    const int cx = int(std::floor(gx)), cy = int(std::floor(gy));
    float best = 0.0f;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int ix = ((cx + dx) % cellsPerSide + cellsPerSide) % cellsPerSide;
            const int iy = ((cy + dy) % cellsPerSide + cellsPerSide) % cellsPerSide;
            if (noise.hash(ix, iy + 5000) >= density)
                continue;
            const float px = float(cx + dx) + 0.2f + 0.6f * noise.hash(ix + 100, iy);
            const float py = float(cy + dy) + 0.2f + 0.6f * noise.hash(ix, iy + 100);
            const float radius = 0.18f + 0.3f * noise.hash(ix + 300, iy + 300);
            const float d = std::hypot(gx - px, gy - py) / radius;
            if (d < 1.0f && 1.0f - d > best) {
                best = 1.0f - d;
                tone = noise.hash(ix + 700, iy + 900);
            }
        }
    }
    return best;
}

} // namespace

bool CGroundTextures::knows(const std::string& name) { return find(name) != nullptr; }

std::string CGroundTextures::path(const std::string& name) { return "data/terrain/" + name + ".dds"; }

paint::CCanvas CGroundTextures::paint(const std::string& name)
{
    static const SRecipe kPlain = {"",   rgb8(120, 120, 120), rgb8(140, 140, 140), 0.3f,
                                   0.3f, EFeature::None,      SColour(),           0.0f};
    const SRecipe* found = find(name);
    const SRecipe& r = found ? *found : kPlain;
    const paint::CNoise noise(seedOf(name));
    paint::CCanvas canvas(kSize, kSize, r.dark);
    canvas.shade([&](int x, int y, SColour& c) {
        const float u = (float(x) + 0.5f) / kSize, v = (float(y) + 0.5f) / kSize;
        const float big = noise.periodicFbm(u * 4.0f, v * 4.0f, 4, 4) - 0.5f;
        const float fine = noise.periodicFbm(u * 64.0f, v * 64.0f, 2, 64) - 0.5f;
        c = mix(r.dark, r.light, clamp01(0.5f + 2.0f * (big * r.patches + fine * r.grain)));
        float tone = 0.0f;
        switch (r.feature) {
        case EFeature::None: break;
        case EFeature::Ripples: {
            // Wind ripples: wavy bands, a whole number of them across the tile.
            const float warp = noise.periodicFbm(u * 3.0f, v * 3.0f, 2, 3) - 0.5f;
            const float wave = 0.5f + 0.5f * std::sin(kTau * (v * 14.0f + u * 2.0f + 1.2f * warp));
            c = mix(c, r.featureColour, r.amount * wave * wave);
            break;
        }
        case EFeature::Pebbles: {
            const float s = stones(noise, u, v, 48, r.amount, tone);
            if (s > 0.0f) {
                const SColour stone = mix(r.featureColour, r.light, 0.6f * tone);
                // A lit top edge and a shade below make each stone stand up from the ground.
                c = mix(c, stone * (0.85f + 0.3f * s), std::min(1.0f, 3.0f * s));
            }
            break;
        }
        case EFeature::Strata: {
            const float warp = noise.periodicFbm(u * 2.0f, v * 2.0f, 3, 2) - 0.5f;
            const float band = 0.5f + 0.5f * std::sin(kTau * (v * 9.0f + 1.5f * warp));
            const float crack = noise.periodicFbm(u * 16.0f, v * 16.0f, 3, 16);
            c = mix(c, r.featureColour, r.amount * band * band);
            if (crack < 0.3f)
                c = c * (0.7f + crack);
            break;
        }
        case EFeature::Blades: {
            const float blade = noise.periodicFbm(u * 160.0f, v * 40.0f, 2, 40) - 0.5f;
            c = mix(c, r.featureColour, clamp01(r.amount * (0.5f + 2.5f * blade)));
            break;
        }
        case EFeature::Leaves: {
            const float s = stones(noise, u, v, 40, r.amount, tone);
            if (s > 0.0f)
                c = mix(c, mix(r.featureColour, r.light, tone), std::min(1.0f, 4.0f * s));
            break;
        }
        case EFeature::Sparkle: {
            const float glint = noise.periodicFbm(u * 128.0f, v * 128.0f, 1, 128);
            if (glint > 1.0f - r.amount * 0.5f)
                c = mix(c, r.featureColour, 0.6f);
            break;
        }
        }
    });
    return canvas;
}

} // namespace missiongen
