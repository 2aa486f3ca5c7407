#pragma once
// Drives a mission without a window: the real loader builds it into a real physics world, the
// game's own computer-car controller drives every car (the player's car too, along the first
// computer lane or the navigation path, held to its speed limit as the player's keys hold it),
// the lap rule counts checkpoint crossings, and the time each car needs for the mission's laps
// is measured on the game clock. A car that is not home in `limitSeconds` did not finish: its
// track is not drivable as built.
#include <string>
#include <vector>

class CMissionSession;

struct SDriveResult {
    std::string car;
    bool player = false;
    bool finished = false;
    float seconds = 0.0f;        // race time at the finish, or when given up
    int laps = 0;                // laps completed
    std::vector<float> lapTimes; // seconds of each completed lap
    int stops = 0;               // times the car stood (under 5 km/h) for over a second after the start
    float topSpeed = 0.0f;       // km/h
};

class CMissionDrive {
public:
    explicit CMissionDrive(const CMissionSession& session);

    // Loads `missionDir` and races it; empty after an "ERROR: " line when it does not load.
    std::vector<SDriveResult> race(const std::string& missionDir, float limitSeconds);

private:
    void countCheckpoints(std::vector<SDriveResult>& results, std::vector<float>& lapStart, float now);

    const CMissionSession& session;
};
