#pragma once
#include <LinearMath/btVector3.h>

class btRigidBody;

namespace sandvolt {

// Casts the wheel rays of a raycast vehicle into the world.
class btVehicleRaycaster {
public:
    struct btVehicleRaycasterResult {
        btVehicleRaycasterResult() : m_distFraction(btScalar(-1.)) {}
        btVector3 m_hitPointInWorld;
        btVector3 m_hitNormalInWorld;
        btScalar m_distFraction;     // -1 until something is hit
    };

    virtual ~btVehicleRaycaster() {}

    // The body the ray from `from` to `to` hits first, or null (result left as it was).
    virtual btRigidBody* castRay(const btVector3& from, const btVector3& to,
                                 btVehicleRaycasterResult& result) = 0;
};

} // namespace sandvolt
