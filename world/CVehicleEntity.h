#pragma once
#include <irrlicht.h>
#include <string>

// A car of the loaded mission. So far it carries its id and name, which the entity manager keys
// on, and its race progress (finish, laps, navigation), which the race order and the standings
// read; the body, wheels, physics and controller join with the world model.
class CVehicleEntity {
public:
    CVehicleEntity();
    // The entity manager knows a car by its id (its index at creation) and its unique name.
    CVehicleEntity(int id, std::string name);
    ~CVehicleEntity();

    int getId() const;
    std::string getName() const;

    bool isFinished() const;
    void setFinished(bool finished);
    int getLap() const;
    void setLap(int lap);
    int getNavigationIndex() const;
    void setNavigationIndex(int index);
    irr::f32 getNavigationDistance() const;
    void setNavigationDistance(irr::f32 distance);

private:
    int id;
    std::string name;
    bool finished;
    int lap;
    int navigationIndex;
    irr::f32 navigationDistance;
};
