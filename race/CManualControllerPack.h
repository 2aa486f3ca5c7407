#pragma once
#include "race/CControllerPack.h"

class CGameEngine;
class SKeyEntry;
struct SGameSettings;

// The player's controller: throttle, brake and steering from the four driving keys of the
// settings, within the car's limits (raised by a pick-up item in effect).
class CManualControllerPack : public CControllerPack {
public:
    CManualControllerPack(SGameSettings* settings, CGameEngine* engine);
    ~CManualControllerPack() override;

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

private:
    float engineForce;
    float brakeForce;
    float steering;
    CVehicleEntity* vehicle;
    int manual;
    SGameSettings* settings;
    CGameEngine* engine;
};
