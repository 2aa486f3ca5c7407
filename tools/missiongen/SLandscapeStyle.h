#pragma once
// How one kind of landscape looks and is shaped: its three ground textures (the splat map's red,
// green and blue weights pick them), its scenery and how the track is cut into it.
#include <string>

namespace missiongen {

enum class ETree { None, Cactus, Pine, SnowPine, Broadleaf, Acacia };

struct SLandscapeStyle {
    // Ground textures by name (CGroundTextures paints "data/terrain/<name>.dds"): the open
    // ground, the steep or patchy ground, and the track's own surface.
    std::string ground, slope, track;
    std::string rock; // the ground texture the rocks wear
    ETree tree = ETree::None;
    int trees = 0; // scattered beside the track
    int rocks = 0;

    float shoulder = 3.0f;   // flat ground beyond each track edge
    float bank = 18.0f;      // over this distance the ground returns to the landscape
    float edgeRise = 45.0f;  // hills closing the world off at the terrain's border
    float slopeRock = 0.55f; // ground steeper than this (rise per run) shows the slope texture
};

} // namespace missiongen
