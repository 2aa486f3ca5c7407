#include "world/BodyTransform.h"

#include <btBulletDynamicsCommon.h>

using namespace irr;

namespace {

const f32 kDegreesToRadians = 0.017453292f;

} // namespace

btTransform transformFromDegrees(const core::vector3df& position,
                                 const core::vector3df& rotationDegrees)
{
    btQuaternion turn;
    turn.setEulerZYX(rotationDegrees.Z * kDegreesToRadians, rotationDegrees.Y * kDegreesToRadians,
                     rotationDegrees.X * kDegreesToRadians);
    return btTransform(turn, btVector3(position.X, position.Y, position.Z));
}

btTransform shownTransform(const btRigidBody* body)
{
    btTransform transform = body->getWorldTransform();
    if (body->getMotionState())
        body->getMotionState()->getWorldTransform(transform);
    return transform;
}

void moveBody(btRigidBody* body, const btTransform& transform)
{
    body->setWorldTransform(transform);
    body->setInterpolationWorldTransform(transform);
    if (body->getMotionState())
        body->getMotionState()->setWorldTransform(transform);
}
