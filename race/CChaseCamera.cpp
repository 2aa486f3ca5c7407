#include "race/CChaseCamera.h"

#include <btBulletDynamicsCommon.h>

#include "core/CGameEngine.h"
#include "world/CPhysicsBody.h"
#include "world/BodyTransform.h"
#include "world/CVehicleEntity.h"

using namespace irr;

CChaseCamera::CChaseCamera(CGameEngine* engine)
    : leashPoint(30.0f, 30.0f, 30.0f), carPoint(0.0f, 0.0f, 0.0f), distance(13.0f), height(4.5f),
      camera(nullptr), engine(engine)
{
    if (engine && engine->getSceneManager())
        camera = engine->getSceneManager()->addCameraSceneNode();
}

// The car's place as the scene shows it (the interpolated transform), and its forward axis.
bool CChaseCamera::carPosition(CVehicleEntity* vehicle, core::vector3df& position,
                               core::vector3df* forward)
{
    if (!vehicle || !vehicle->getBodyNode() || !vehicle->getPhysicsBody())
        return false;
    btRigidBody* body = vehicle->getPhysicsBody()->getRigidBody();
    if (!body)
        return false;
    const btTransform transform = shownTransform(body);
    const btVector3& origin = transform.getOrigin();
    position.set(origin.x(), origin.y(), origin.z());
    if (forward) {
        const btVector3 axis = transform.getBasis().getColumn(2);
        forward->set(axis.x(), axis.y(), axis.z());
    }
    return true;
}

void CChaseCamera::placeNode(const core::vector3df& car)
{
    if (!camera)
        return;
    camera->setPosition(leashPoint + core::vector3df(0.0f, height, 0.0f));
    camera->setTarget(car + core::vector3df(0.0f, 0.5f * height, 0.0f));
}

bool CChaseCamera::update(CVehicleEntity* vehicle)
{
    core::vector3df car;
    if (!carPosition(vehicle, car, nullptr))
        return false;
    carPoint = car;
    core::vector3df leash = leashPoint - car;
    if (leash.getLength() > distance) {
        leash.normalize();
        leashPoint = car + leash * distance;
    }
    placeNode(car);
    return true;
}

void CChaseCamera::snapBehind(CVehicleEntity* vehicle)
{
    core::vector3df car, forward;
    if (!carPosition(vehicle, car, &forward))
        return;
    carPoint = car;
    core::vector3df behind = -forward;
    if (behind.getLengthSQ() != 0.0f)
        behind.normalize();
    leashPoint = car + behind * distance;
    placeNode(car);
}

void CChaseCamera::setDistance(f32 value) { distance = value; }
void CChaseCamera::setHeight(f32 value) { height = value; }
scene::ICameraSceneNode* CChaseCamera::getCameraNode() { return camera; }
