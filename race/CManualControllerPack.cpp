#include "race/CManualControllerPack.h"

#include "core/CGameEngine.h"
#include "core/SGameSettings.h"
#include "core/SKeyEntry.h"
#include "world/CItemEntity.h"
#include "world/CPhysicsBody.h"
#include "world/CVehicleEntity.h"
#include "world/vehicle/btRaycastVehicle.h"

namespace {

const float kSteeringRate = 0.35f;  // radians per second
const float kSteeringLimit = 0.75f; // radians
const float kStartBoost = 2.0f;     // engine force factor while pulling away
const float kReverseFactor = 1.2f;
const float kCoastBrake = 0.5f;     // brake share with no key held

// Held, or tapped since the last frame; an unbound key or a code beyond the receiver's table is
// never held.
bool held(const GameControllerEvent& input, const SKeyEntry* key)
{
    return key && input.isKeyDown(static_cast<int>(key->getCode()));
}

} // namespace

CManualControllerPack::CManualControllerPack(SGameSettings* settings, CGameEngine* engine)
    : engineForce(0.0f), brakeForce(0.0f), steering(0.0f), vehicle(nullptr), manual(1),
      settings(settings), engine(engine)
{
}

CManualControllerPack::~CManualControllerPack() = default;

void CManualControllerPack::setEngineForce(float force) { engineForce = force; }
float CManualControllerPack::getEngineForce() { return engineForce; }
void CManualControllerPack::setBrakeForce(float force) { brakeForce = force; }
float CManualControllerPack::getBrakeForce() { return brakeForce; }
void CManualControllerPack::setSteering(float value) { steering = value; }
float CManualControllerPack::getSteering() { return steering; }
void CManualControllerPack::setVehicle(CVehicleEntity* newVehicle) { vehicle = newVehicle; }
CVehicleEntity* CManualControllerPack::getVehicle() { return vehicle; }
bool CManualControllerPack::isManual() { return manual != 0; }

void CManualControllerPack::update(float frameSeconds, bool /*firstFrame*/)
{
    CPhysicsBody* body = vehicle ? vehicle->getPhysicsBody() : nullptr;
    sandvolt::btRaycastVehicle* raycastVehicle = body ? body->getVehicle() : nullptr;
    if (!raycastVehicle || !settings || !engine)
        return;

    float topSpeed = vehicle->getMaxVelocity();
    float maxForce = vehicle->getMaxEngineForce();
    if (CItemEntity* item = vehicle->getItem()) {
        if (item->getType() == EIT_BOOST)
            maxForce += item->getValue();
        else
            topSpeed += item->getValue();
    }
    const float maxBrake = vehicle->getMaxBreakingForce();
    const float speed = raycastVehicle->getCurrentSpeedKmHour();
    const GameControllerEvent input = engine->getInput();

    if (held(input, settings->keyForward) && speed < topSpeed) {
        if (speed < -3.0f) {
            engineForce = 0.0f;
            brakeForce = maxBrake;
        } else if (speed > -2.0f && speed < 15.0f) {
            engineForce = kStartBoost * maxForce;
            brakeForce = 0.0f;
        } else {
            engineForce = maxForce;
            brakeForce = 0.0f;
        }
    } else if (held(input, settings->keyBackward)) {
        if (speed > -35.0f && speed < 3.0f) {
            engineForce = -kReverseFactor * maxForce;
            brakeForce = 0.0f;
        } else {
            engineForce = 0.0f;
            brakeForce = maxBrake;
        }
    } else {
        engineForce = 0.0f;
        brakeForce = kCoastBrake * maxBrake;
    }

    // The limit holds from the frame after it is passed; turning the other way starts from
    // straight ahead.
    if (held(input, settings->keyRight)) {
        if (steering < kSteeringLimit)
            steering += kSteeringRate * frameSeconds;
        else
            steering = kSteeringLimit;
        if (steering < 0.0f)
            steering = 0.0f;
    } else if (held(input, settings->keyLeft)) {
        if (steering > -kSteeringLimit)
            steering -= kSteeringRate * frameSeconds;
        else
            steering = -kSteeringLimit;
        if (steering > 0.0f)
            steering = 0.0f;
    } else {
        steering = 0.0f;
    }
}
