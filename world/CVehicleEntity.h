#pragma once
#include <irrlicht.h>

// A car of the loaded mission. So far it carries its race progress (finish, laps, navigation),
// which the race order and the standings read; the body, wheels, physics and controller join with
// the world model.
class CVehicleEntity {
public:
    CVehicleEntity();

    bool isFinished() const;
    void setFinished(bool finished);
    int getLap() const;
    void setLap(int lap);
    int getNavigationIndex() const;
    void setNavigationIndex(int index);
    irr::f32 getNavigationDistance() const;
    void setNavigationDistance(irr::f32 distance);

private:
    bool finished;
    int lap;
    int navigationIndex;
    irr::f32 navigationDistance;
};
