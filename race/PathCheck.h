#pragma once
// Whether a computer car's waypoint path can be raced on. A damaged path file (cut short, a
// point flipped far out, points out of order) is otherwise followed as it stands: the car heads
// across the country for the stray point, or turns round at the cut, and never finishes.
#include <irrlicht.h>
#include <string>
#include <vector>

class CWaypoint;

// What is wrong with `path` (x, z points in driving order, a closed loop), or an empty text when
// nothing is. With a navigation path of two points or more, a point far from every navigation
// point is off the track.
std::string pathFault(const std::vector<irr::core::vector2df>& path,
                      const std::vector<CWaypoint*>& navigation);
