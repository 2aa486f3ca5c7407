#pragma once
// The game's cars: three body styles over the two wheel families the physics knows, each body
// painted in one of eight colours. A body mesh carries the four suspension joints where the
// physics puts the wheels; the wheel meshes belong to the family.
#include <string>
#include <vector>

#include "tools/contentkit/CCarMeshBuilder.h"
#include "tools/contentkit/SMission.h"
#include "tools/missiongen/STrackDesign.h"
#include "tools/paint/CCanvas.h"

namespace missiongen {

struct SPaint {
    const char* name;
    int r, g, b;
};

struct SCarSpec {
    const char* folder;     // "data/cars/<folder>/"
    const char* shapeType;  // the "Physic" type
    contentkit::SVec3 size; // the chassis box
    float mass;
    float maxBreakingForce;
    const char* engineSound;
};

class CCarFactory {
public:
    static const std::vector<SPaint>& paints();
    static const SCarSpec& spec(ECarStyle style);
    static contentkit::SCarLayout layout(ECarStyle style);

    static std::string bodyPath(ECarStyle style, int paint);
    static std::string paintPath(int paint);
    static std::string wheelPath(ECarStyle style);
    static std::string wheelTexturePath(ECarStyle style);

    // The body with its joints, its texture naming the paint's atlas.
    static contentkit::SSkinnedMesh body(ECarStyle style, int paint);
    // The body's texture: paint, glass, dark trim and lamps in the four quarters.
    static paint::CCanvas bodyTexture(int paint);
    static contentkit::SMesh wheel(ECarStyle style);
    // Tread on the left half, the hub on the right.
    static paint::CCanvas wheelTexture(ECarStyle style);

    // The "Vehicle" record of one car of a mission, standing at `position` turned by `yaw`.
    static contentkit::SObjectRecord vehicle(const SCarEntry& car, const contentkit::SVec3& position, float yaw);
};

} // namespace missiongen
