#pragma once
#include <LinearMath/btVector3.h>
#include <vector>

#include "race/CControllerPack.h"

class CWaypoint;

// A computer car's controller: it follows a closed path of ground-plane waypoints at full engine
// force up to its speed limit, brakes in sharp turns above 30 km/h, and backs out with mirrored
// steering when it has hardly moved for 2.5 s. It owns its waypoints.
class CAIControllerPack : public CControllerPack {
public:
    CAIControllerPack();
    ~CAIControllerPack() override;

    CAIControllerPack(const CAIControllerPack&) = delete;
    CAIControllerPack& operator=(const CAIControllerPack&) = delete;

    void setEngineForce(float force) override;
    float getEngineForce() override;
    void setBrakeForce(float force) override;
    float getBrakeForce() override;
    void setSteering(float steering) override;
    float getSteering() override;
    void setVehicle(CVehicleEntity* vehicle) override;
    CVehicleEntity* getVehicle() override;
    void update(float frameSeconds, bool firstFrame) override;
    bool isManual() override;

    // Takes the point over; null is ignored.
    virtual void addWaypoint(CWaypoint* waypoint);
    // Null when i is out of range.
    virtual CWaypoint* getWaypoint(int i);
    // False when i is out of range; otherwise the point is deleted and the later ones move down.
    virtual bool removeWaypoint(int i);
    virtual void clearWaypoints();
    virtual int getWaypointCount();
    // An index past the end counts as the path's first point.
    virtual void setCurrentWaypoint(int i);
    virtual int getCurrentWaypoint();

private:
    std::vector<CWaypoint*> waypoints;
    unsigned int currentWaypoint;
    float engineForce;
    float brakeForce;
    float steering;
    float lastCheckTime;
    btVector3 lastPosition;
    int reversing;
    CVehicleEntity* vehicle;
    int manual;
};
