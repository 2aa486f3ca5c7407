#pragma once

class CVehicleEntity;

// What drives a car: once per race frame the controller turns the driver's wishes into engine
// force, brake force and steering (radians, positive towards the car's +x side), which the car
// hands to its wheels. The car owns its controller and deletes it with itself.
class CControllerPack {
public:
    virtual ~CControllerPack();

    virtual void setEngineForce(float force) = 0;
    virtual float getEngineForce() = 0;
    virtual void setBrakeForce(float force) = 0;
    virtual float getBrakeForce() = 0;
    virtual void setSteering(float steering) = 0;
    virtual float getSteering() = 0;
    // Set by the car when it is built; a controller without a car leaves its values alone.
    virtual void setVehicle(CVehicleEntity* vehicle) = 0;
    virtual CVehicleEntity* getVehicle() = 0;
    // frameSeconds: the frame's length; firstFrame: the first frame of the race or after a pause.
    virtual void update(float frameSeconds, bool firstFrame) = 0;
    virtual bool isManual() = 0;
};
