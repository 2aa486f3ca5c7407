#include "race/CAIControllerPack.h"

#include <btBulletDynamicsCommon.h>
#include <cmath>

#include "core/CGameEngine.h"
#include "race/CWaypoint.h"
#include "world/CItemEntity.h"
#include "world/CPhysicsBody.h"
#include "world/CVehicleEntity.h"
#include "world/SEntityDesc.h"
#include "world/vehicle/btRaycastVehicle.h"

namespace {

const float kStuckCheckMs = 2500.0f;
const float kStuckDistance = 3.0f;
const float kReverseFactor = 1.2f;
const float kReverseSpeedLimit = 30.0f; // km/h either way while backing out
const float kTurnBrakeSpeed = 30.0f;    // km/h
const float kTurnBrakeError = 0.15f;
const float kTurnBrakeShare = 0.2f;
const float kSteeringGain = 0.45f;
const float kSteeringLimit = 0.75f;
const float kReachBase = 1.0f;
const float kReachPerError = 15.0f;

} // namespace

CAIControllerPack::CAIControllerPack()
    : currentWaypoint(0), engineForce(0.0f), brakeForce(0.0f), steering(0.0f),
      lastCheckTime(0.0f), lastPosition(0, 0, 0), reversing(0), vehicle(nullptr), manual(0)
{
}

CAIControllerPack::~CAIControllerPack()
{
    clearWaypoints();
}

void CAIControllerPack::setEngineForce(float force) { engineForce = force; }
float CAIControllerPack::getEngineForce() { return engineForce; }
void CAIControllerPack::setBrakeForce(float force) { brakeForce = force; }
float CAIControllerPack::getBrakeForce() { return brakeForce; }
void CAIControllerPack::setSteering(float value) { steering = value; }
float CAIControllerPack::getSteering() { return steering; }
void CAIControllerPack::setVehicle(CVehicleEntity* newVehicle) { vehicle = newVehicle; }
CVehicleEntity* CAIControllerPack::getVehicle() { return vehicle; }
bool CAIControllerPack::isManual() { return manual != 0; }

void CAIControllerPack::addWaypoint(CWaypoint* waypoint)
{
    if (waypoint)
        waypoints.push_back(waypoint);
}

CWaypoint* CAIControllerPack::getWaypoint(int i)
{
    if (i < 0 || i >= getWaypointCount())
        return nullptr;
    return waypoints[static_cast<size_t>(i)];
}

bool CAIControllerPack::removeWaypoint(int i)
{
    if (i < 0 || i >= getWaypointCount())
        return false;
    delete waypoints[static_cast<size_t>(i)];
    waypoints.erase(waypoints.begin() + i);
    return true;
}

void CAIControllerPack::clearWaypoints()
{
    for (CWaypoint* waypoint : waypoints)
        delete waypoint;
    waypoints.clear();
}

int CAIControllerPack::getWaypointCount() { return static_cast<int>(waypoints.size()); }
void CAIControllerPack::setCurrentWaypoint(int i) { currentWaypoint = static_cast<unsigned int>(i); }
int CAIControllerPack::getCurrentWaypoint() { return static_cast<int>(currentWaypoint); }

void CAIControllerPack::update(float /*frameSeconds*/, bool firstFrame)
{
    if (!vehicle)
        return;
    const float maxBrake = vehicle->getMaxBreakingForce();
    if (waypoints.empty()) {
        steering = 0.0f;
        engineForce = 0.0f;
        brakeForce = maxBrake;
        return;
    }
    CPhysicsBody* body = vehicle->getPhysicsBody();
    sandvolt::btRaycastVehicle* raycastVehicle = body ? body->getVehicle() : nullptr;
    btRigidBody* chassis = body ? body->getRigidBody() : nullptr;
    irr::scene::ISceneNode* node = vehicle->getBodyNode();
    CGameEngine* engine = vehicle->getDesc() ? vehicle->getDesc()->getEngine() : nullptr;
    if (!raycastVehicle || !chassis || !chassis->getMotionState() || !node || !engine)
        return;

    // The chassis as the last physics step left it: the race also drives the computer cars
    // between the steps of a long frame, before the scene shows where they are.
    const btTransform& transform = chassis->getWorldTransform();
    const btVector3 position = transform.getOrigin();
    const btVector3 forward = transform.getBasis().getColumn(2);
    const float now =
        static_cast<float>(engine->getDevice()->getTimer()->getTime()) - engine->pausedTime;

    // Time in the pause menu never counts as standing still.
    if (firstFrame) {
        reversing = 0;
        lastCheckTime = now;
        lastPosition = position;
    } else if (now > lastCheckTime + kStuckCheckMs) {
        reversing = lastPosition.distance(position) < kStuckDistance ? 1 : 0;
        lastCheckTime = now;
        lastPosition = position;
    }

    float topSpeed = vehicle->getMaxVelocity();
    float maxForce = vehicle->getMaxEngineForce();
    if (CItemEntity* item = vehicle->getItem()) {
        if (item->getType() == EIT_BOOST)
            maxForce += item->getValue();
        else
            topSpeed += item->getValue();
    }

    // A path that lost points behind the car's index starts over.
    if (currentWaypoint >= waypoints.size())
        currentWaypoint = 0;
    const CWaypoint* target = waypoints[currentWaypoint];
    const irr::core::vector3df at(position.x(), position.y(), position.z());
    const float dx = target->getX() - at.X;
    const float dz = target->getZ() - at.Z;
    const float distance = std::sqrt(dx * dx + dz * dz);

    float fx = forward.x();
    float fz = forward.z();
    const float length = forward.length();
    if (length > 0.0f) {
        fx /= length;
        fz /= length;
    }
    // Sine of the heading error in the ground plane, negative towards the car's +x side. A car
    // standing on its waypoint has no direction to it and drives straight.
    float error = distance > 0.0f ? (dz / distance) * fx - (dx / distance) * fz : 0.0f;
    if (reversing)
        error = -error;

    const float speed = raycastVehicle->getCurrentSpeedKmHour();
    if (speed >= topSpeed) {
        engineForce = 0.0f;
    } else if (!reversing) {
        engineForce = maxForce;
        brakeForce = 0.0f;
    } else if (speed > -kReverseSpeedLimit && speed < kReverseSpeedLimit) {
        engineForce = -kReverseFactor * maxForce;
        brakeForce = 0.0f;
    } else {
        engineForce = 0.0f;
        brakeForce = maxBrake;
    }

    if (speed > kTurnBrakeSpeed && std::fabs(error) > kTurnBrakeError) {
        engineForce = 0.0f;
        brakeForce = kTurnBrakeShare * maxBrake;
    }
    if (speed <= kTurnBrakeSpeed)
        brakeForce = 0.0f;

    steering = -kSteeringGain * error;
    if (steering > kSteeringLimit)
        steering = kSteeringLimit;
    if (steering < -kSteeringLimit)
        steering = -kSteeringLimit;

    if (distance < kReachBase + kReachPerError * std::fabs(error))
        currentWaypoint = currentWaypoint + 1 >= waypoints.size() ? 0 : currentWaypoint + 1;
}
