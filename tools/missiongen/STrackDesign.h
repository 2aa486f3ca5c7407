#pragma once
// What a mission is made of before any file is written: the track's shape, its landscape, the
// race rules and the cars. CTrackCatalogue holds the eight designs; everything else is derived
// from them, so a track is mended in one place.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/contentkit/SMeshData.h"

namespace missiongen {

enum class ELandscape { Dunes, Canyon, Forest, Snow, Savanna, Volcanic, Autumn, Alpine };

// The body styles; the first two are the small-wheel family ("VEHICLE0"), the truck the big-wheel
// family ("VEHICLE1").
enum class ECarStyle { Buggy, Rally, Truck };

struct SCarEntry {
    std::string name; // the "Name" and "DisplayName" shown in the standings
    ECarStyle style = ECarStyle::Buggy;
    int paint = 0; // index into CCarFactory's paint list: each car of a mission its own
    bool player = false;
    float maxVelocity = 0.0f;    // km/h
    float maxEngineForce = 0.0f; // per driven wheel
};

struct STrackDesign {
    int number = 1;   // 1 to 8: "missions/m01/" ...
    std::string name; // shown on the mission button
    ELandscape landscape = ELandscape::Dunes;
    uint32_t seed = 1;

    // The centre line: a closed loop through these points (x, z) in driving order. Point 0 is the
    // start and finish line; its neighbours lie on one straight line with it, so the cars start
    // on a straight.
    std::vector<contentkit::SVec2> controlPoints;
    float width = 16.0f; // drivable width between the track edges
    float terrainSize = 640.0f;
    float maxGrade = 0.08f; // steepest climb along the track (rise per unit run)
    float relief = 1.0f;    // scales the landscape's hills

    bool rally = false;
    int laps = 3;
    std::vector<int> rallyTimes; // milliseconds; a clean drive beats the first
    std::string shadowType = "NormalFixed";
    int items = 6; // pick-ups round the lap: tyres (more pull), rockets and crates (more speed)

    std::vector<SCarEntry> cars; // the player's car and the computer cars
};

} // namespace missiongen
