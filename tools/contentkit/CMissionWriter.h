#pragma once
// Writes the three mission formats: "mission.xml" (race rules and objects), "waypoints.xml"
// (the computer cars' path files) and waypoint path files (one point per line).
//
// "mission.xml" is laid out for reading: the rules first, then the checkpoints, then every
// object with its field elements indented. Static objects and vehicles enclose their fields;
// items use the form the items creator writes, an empty start tag followed by the fields and a
// separate end tag, which the game reads the same way.
#include <string>
#include <vector>

#include "tools/contentkit/SMission.h"

namespace contentkit {

class CMissionWriter {
public:
    static std::string missionText(const SMission& mission);
    static std::string waypointsText(const std::vector<std::string>& pathFiles);
    static std::string pathText(const std::vector<SVec3>& points);

    // Each writes its text to `file` (making the folders); false with an "ERROR: " line when the
    // file cannot be written. A NaN or infinite number is written as 0 with a "Warning: " line.
    static bool writeMission(const std::string& file, const SMission& mission);
    static bool writeWaypoints(const std::string& file, const std::vector<std::string>& pathFiles);
    static bool writePath(const std::string& file, const std::vector<SVec3>& points);
};

} // namespace contentkit
