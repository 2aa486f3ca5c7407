#pragma once

// A point of a waypoint path: two-dimensional (x, z) on the computer cars' paths, three-dimensional
// on the track's navigation path.
class CWaypoint {
public:
    CWaypoint(float x, float z);
    CWaypoint(float x, float y, float z);

    float getX() const;
    float getY() const;
    float getZ() const;

private:
    float x;
    float y;
    float z;
    int is3D;
};
