#pragma once
// Dresses a mission: trees and rocks scattered off the track (never on it, never on ground too
// steep to stand on), tyre barriers on the outside of the tight bends, flags at the two
// checkpoints beside the line and the start gate over it.
#include <string>
#include <vector>

#include "tools/contentkit/SMission.h"
#include "tools/missiongen/CSceneryArt.h"
#include "tools/missiongen/CTerrain.h"
#include "tools/missiongen/STrackDesign.h"

namespace missiongen {

struct SPlacement {
    EScenery kind = EScenery::RockA;
    contentkit::SVec3 position;
    float yaw = 0.0f; // degrees
    float scale = 1.0f;
};

class CSceneryPlacer {
public:
    CSceneryPlacer(const STrackDesign& design, const CLandscape& landscape, const CTrackPath& path,
                   const CTrackField& field, const CTerrain& terrain);

    // `checkpoints` are the places along the track of checkpoints 1 and 2 (flags beside them).
    std::vector<SPlacement> place(const std::vector<float>& checkpoints) const;

    // The "StaticObject" records: named `<Kind>NN`, the rocks wearing `rockTexture`.
    static std::vector<contentkit::SObjectRecord> records(const std::vector<SPlacement>& placements,
                                                          const std::string& rockTexture);
    // The start gate standing over the line.
    contentkit::SObjectRecord startGate(const std::string& meshPath) const;

private:
    void scatter(std::vector<SPlacement>& out, EScenery kind, int count, float nearest, uint32_t salt) const;
    void barriers(std::vector<SPlacement>& out) const;
    bool clear(const std::vector<SPlacement>& placed, float x, float z, float gap) const;
    // Yaw (degrees) that turns an object's own +x along the track's direction at s.
    float alongTrack(float s) const;

    const STrackDesign& design;
    const CLandscape& landscape;
    const CTrackPath& path;
    const CTrackField& field;
    const CTerrain& terrain;
};

} // namespace missiongen
