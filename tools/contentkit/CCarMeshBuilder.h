#pragma once
// Car meshes that fit the game's physics: the body's four suspension joints and the wheel
// meshes sit where the raycast vehicle puts its wheels for the car's "Physic" shape and sizes.
#include <string>
#include <vector>

#include "tools/contentkit/SMeshData.h"

namespace contentkit {

// The wheel placement of one car, in the car's own space (+z front, +x the side of wheel 0).
struct SCarLayout {
    SVec3 size{2.0f, 1.0f, 4.0f};  // the "Physic" X, Y, Z: the chassis box
    float wheelRadius = 0.5f;      // 0.72 for the "VEHICLE1" family
    float wheelWidth = 0.2f;       // how far the wheels sit in from the sides
    float connectionHeight = 1.3f; // where the suspension meets the chassis
    float suspensionRestLength = 0.8f;
    float chassisOffsetY = 1.5f;   // the chassis box's centre above the car's origin

    // The layout the physics gives a vehicle shape type ("VEHICLE0", "VEHICLE1C", ...).
    static SCarLayout forShape(const std::string& shapeType, const SVec3& size);

    // Wheel 0 front +x, 1 front -x, 2 rear -x, 3 rear +x, exactly as the physics places them.
    SVec3 connectionPoint(int wheel) const;
    // The wheel's centre with the suspension at its rest length.
    SVec3 wheelCentre(int wheel) const;
};

class CCarMeshBuilder {
public:
    // The body joints the vehicle moves with wheels 0 to 3, in that order.
    static const char* const kJointNames[4];

    // The chassis box with a cabin ("body" surface: `textures`, `colour`) and, for each wheel, a
    // strut and a mudguard weighted to that wheel's joint ("suspension" surface), so they follow
    // the wheel as the suspension works.
    static SSkinnedMesh body(const SCarLayout& layout, const std::vector<std::string>& textures = {},
                             const SColour& colour = {});

    // One wheel centred on the origin, axle along X, of the layout's radius; twice the inset wide,
    // so its outer face stays just inside the chassis side.
    static SMesh wheel(const SCarLayout& layout, const std::vector<std::string>& textures = {});
};

} // namespace contentkit
