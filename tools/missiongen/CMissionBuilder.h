#pragma once
// Turns one track design into a mission: the ground with the track cut in and its splat map,
// the checkpoints, scenery, pick-ups and cars, the navigation and computer-car paths, and the
// files "missions/mNN/" and "data/tracks/mNN/" that hold them.
#include <string>
#include <vector>

#include "tools/contentkit/SMission.h"
#include "tools/missiongen/CLandscape.h"
#include "tools/missiongen/CSceneryPlacer.h"
#include "tools/missiongen/CSplatMap.h"
#include "tools/missiongen/CTerrain.h"
#include "tools/missiongen/CTrackField.h"
#include "tools/missiongen/CTrackPath.h"
#include "tools/missiongen/CTrackProfile.h"
#include "tools/missiongen/STrackDesign.h"

namespace missiongen {

class CMissionBuilder {
public:
    explicit CMissionBuilder(const STrackDesign& design);
    CMissionBuilder(const CMissionBuilder&) = delete;
    CMissionBuilder& operator=(const CMissionBuilder&) = delete;

    const STrackDesign& getDesign() const { return design; }
    const CLandscape& getLandscape() const { return landscape; }
    const CTrackPath& getPath() const { return path; }
    const CTerrain& getTerrain() const { return terrain; }
    const CSplatMap& getSplat() const { return splat; }
    const std::vector<SPlacement>& getScenery() const { return scenery; }

    std::string missionFolder() const; // "missions/m01/"
    std::string dataFolder() const;    // "data/tracks/m01/"

    // Navigation points every ten metres or so from the line, half a metre above the ground.
    std::vector<contentkit::SVec3> navigation() const;
    // One closed path per computer car, each in its own lane.
    std::vector<std::vector<contentkit::SVec3>> aiPaths() const;
    contentkit::SMission mission() const;

    // Writes every file of the mission under `root`; false after an "ERROR: " line.
    bool write(const std::string& root) const;

    static constexpr float kNavigationStep = 10.0f;
    static constexpr float kAIStep = 14.0f;

private:
    contentkit::SVec3 onGround(float s, float lateral, float lift) const;
    contentkit::SMesh checkpointMesh(float s) const;
    // How far from the centre line the fence stands: well beyond the shoulders, on the bank.
    float fenceOffset() const { return terrain.core() + 4.0f; }
    std::vector<std::vector<contentkit::SVec2>> fenceLines() const;
    contentkit::SMesh fenceMesh() const;
    contentkit::SObjectRecord fence() const;
    std::vector<contentkit::SObjectRecord> items() const;
    std::vector<contentkit::SObjectRecord> vehicles() const;
    contentkit::SObjectRecord ground() const;
    std::vector<std::string> groundTextures() const;

    STrackDesign design;
    CLandscape landscape;
    CTrackPath path;
    CTrackProfile profile;
    CTrackField field;
    CTerrain terrain;
    CSplatMap splat;
    std::vector<float> checkpoints; // where along the track checkpoints 0, 1 and 2 stand
    std::vector<SPlacement> scenery;
};

} // namespace missiongen
