#include "world/vehicle/btDefaultVehicleRaycaster.h"

#include <BulletDynamics/Dynamics/btDynamicsWorld.h>
#include <BulletDynamics/Dynamics/btRigidBody.h>

namespace sandvolt {

btDefaultVehicleRaycaster::btDefaultVehicleRaycaster(btDynamicsWorld* world)
    : m_dynamicsWorld(world)
{
}

btRigidBody* btDefaultVehicleRaycaster::castRay(const btVector3& from, const btVector3& to,
                                                btVehicleRaycasterResult& result)
{
    if (!m_dynamicsWorld)
        return nullptr;
    btCollisionWorld::ClosestRayResultCallback rayCallback(from, to);
    rayCallback.m_collisionFilterGroup = btBroadphaseProxy::DefaultFilter;
    rayCallback.m_collisionFilterMask = btBroadphaseProxy::AllFilter;
    m_dynamicsWorld->rayTest(from, to, rayCallback);
    if (!rayCallback.hasHit())
        return nullptr;
    const btRigidBody* body = btRigidBody::upcast(rayCallback.m_collisionObject);
    if (!body || !body->hasContactResponse())
        return nullptr;
    result.m_hitPointInWorld = rayCallback.m_hitPointWorld;
    result.m_hitNormalInWorld = rayCallback.m_hitNormalWorld;
    if (result.m_hitNormalInWorld.length2() > btScalar(0))
        result.m_hitNormalInWorld.normalize();
    result.m_distFraction = rayCallback.m_closestHitFraction;
    // The wheel pushes the body it stands on, so it needs it writable.
    return const_cast<btRigidBody*>(body);
}

} // namespace sandvolt
