#pragma once
#include "world/vehicle/btVehicleRaycaster.h"

class btDynamicsWorld;

namespace sandvolt {

// Wheel rays through the world's ray test; only rigid bodies with contact response carry a
// wheel (trigger bodies such as the checkpoints are driven through).
class btDefaultVehicleRaycaster : public btVehicleRaycaster {
public:
    explicit btDefaultVehicleRaycaster(btDynamicsWorld* world);

    btRigidBody* castRay(const btVector3& from, const btVector3& to,
                         btVehicleRaycasterResult& result) override;

private:
    btDynamicsWorld* m_dynamicsWorld;    // not owned
};

} // namespace sandvolt
