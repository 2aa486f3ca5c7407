#include "race/CWaypoint.h"

CWaypoint::CWaypoint(float x, float z) : x(x), y(0.0f), z(z), is3D(0) {}
CWaypoint::CWaypoint(float x, float y, float z) : x(x), y(y), z(z), is3D(1) {}

