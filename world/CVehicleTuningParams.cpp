#include "world/CVehicleTuningParams.h"

CVehicleTuningParams::CVehicleTuningParams(const std::string& type)
    : rightAxis(0), upAxis(1), forwardAxis(2), wheelDirection(0, -1, 0), wheelAxle(-1, 0, 0),
      wheelRadius(0.5f), wheelWidth(0.2f), frictionSlip(10.0f), rollInfluence(0.05f),
      suspensionStiffness(20.0f), dampingRelaxation(2.3f), dampingCompression(4.4f),
      suspensionRestLength(0.8f), chassisOffset(0, 1.5f, 0), connectionHeight(1.3f)
{
    // Both car families are damped hard; the second one stands on bigger wheels.
    if (type == "VEHICLE0" || type == "VEHICLE0C") {
        dampingRelaxation = 6.0f;
        dampingCompression = 6.0f;
    } else if (type == "VEHICLE1" || type == "VEHICLE1C") {
        wheelRadius = 0.72f;
        dampingRelaxation = 6.0f;
        dampingCompression = 6.0f;
    }
}
