#pragma once
#include <LinearMath/btVector3.h>
#include <string>

// Wheel placement and suspension of one vehicle body, chosen by its shape type: "VEHICLE0" and
// "VEHICLE0C" are the small-wheeled cars, "VEHICLE1" and "VEHICLE1C" the big-wheeled ones; any
// other type keeps the defaults. All vectors are in chassis space (+y up, +z front).
class CVehicleTuningParams {
public:
    explicit CVehicleTuningParams(const std::string& type);

    int rightAxis;
    int upAxis;
    int forwardAxis;
    btVector3 wheelDirection;
    btVector3 wheelAxle;
    float wheelRadius;
    float wheelWidth;
    float frictionSlip;
    float rollInfluence;
    float suspensionStiffness;
    float dampingRelaxation;
    float dampingCompression;
    float suspensionRestLength;
    btVector3 chassisOffset;     // origin of the chassis box inside the compound shape
    float connectionHeight;      // y of every wheel's connection point
};
