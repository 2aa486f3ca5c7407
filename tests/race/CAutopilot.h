#pragma once
// A test driver for the player's car: it presses only the four driving keys, steering towards a
// point ahead on the track's navigation path and slowing for bends, and backs out when stuck.
// Test code: the game never drives the player's car.
#include <irrlicht.h>
#include <string>
#include <vector>

namespace racetest {

class CRaceWorld;

// How the autopilot drives: its line, how hard it corners and brakes. The defaults are the
// clean drive the race tests expect.
struct SDriveStyle {
    float lookMetres = 7.0f;   // aims this far ahead, plus lookSeconds of travel: longer cuts bends
    float lookSeconds = 0.6f;
    float offset = 0.0f;       // metres to one side (+) or the other (-) of the navigation path
    float lateral = 10.0f;     // m/s2 it asks of the car in a bend
    float braking = 3.0f;      // m/s2 it expects to lose with the brake
};

class CAutopilot {
public:
    explicit CAutopilot(CRaceWorld& world, SDriveStyle style = SDriveStyle());
    // Lets go of every key it holds, so that the next race in the same world starts with none.
    ~CAutopilot();
    CAutopilot(const CAutopilot&) = delete;
    CAutopilot& operator=(const CAutopilot&) = delete;

    // Follows these points (x, z) from the first to the last in place of the navigation path.
    void follow(const std::vector<irr::core::vector2df>& points);
    // Sets the keys for the next frame.
    void drive();
    // Where the car is and what it does, for a failure message.
    std::string describe();

    // How often the car was stuck and backed out.
    int reverses = 0;

private:
    irr::core::vector2df point(int index) const;
    int wrap(int index) const;
    void findNearest(const irr::core::vector2df& at);
    // Walks `metres` along the path from the nearest point.
    irr::core::vector2df ahead(const irr::core::vector2df& at, float metres) const;
    // km/h the car can go now and still take every bend within its braking reach.
    float safeSpeed(float speedKmh) const;
    void setKeys(bool forward, bool backward, bool left, bool right);

    CRaceWorld& world;
    SDriveStyle style;
    std::vector<irr::core::vector2df> path;
    bool loop = true;
    int nearest = -1;
    irr::f32 slowSince = -1.0f;
    irr::f32 reverseUntil = -1.0f;
    float reverseSteer = 0.0f;
    float topKmh = 100.0f;
    bool keys[4] = {false, false, false, false};
};

} // namespace racetest
