#pragma once
// The small missions the world-model tests load, laid out as a run folder of their own:
//   <root>/missions/<mission>/mission.xml, waypoints.xml and path files
//   <root>/data/...                         meshes and textures
// The paths inside are relative to <root>, as the game's are to its working directory.
#include <string>

class CWorldFixtures {
public:
    // Replaces <root>/missions and <root>/data with a fresh set; false after an "ERROR: " line.
    static bool write(const std::string& root);
};
