#pragma once

// A point of a waypoint path: two-dimensional (x, z) on the computer cars' paths, three-dimensional
// on the track's navigation path.
class CWaypoint {
public:
    CWaypoint(float x, float z);
    CWaypoint(float x, float y, float z);

    // Inline: every car reads the whole navigation path every frame.
    float getX() const { return x; }
    float getY() const { return y; }
    float getZ() const { return z; }

private:
    float x;
    float y;
    float z;
    int is3D;
};
