#pragma once
#include <LinearMath/btTransform.h>
#include <LinearMath/btVector3.h>

class btRigidBody;

namespace sandvolt {

// What addWheel gathers for a new wheel; vectors in chassis space.
struct btWheelInfoConstructionInfo {
    btVector3 m_chassisConnectionCS;
    btVector3 m_wheelDirectionCS;
    btVector3 m_wheelAxleCS;
    btScalar m_suspensionRestLength;
    btScalar m_maxSuspensionTravelCm;
    btScalar m_wheelRadius;
    btScalar m_suspensionStiffness;
    btScalar m_wheelsDampingCompression;
    btScalar m_wheelsDampingRelaxation;
    btScalar m_frictionSlip;
    btScalar m_maxSuspensionForce;
    bool m_bIsFrontWheel;
};

// One wheel of a raycast vehicle: not a body of its own, only a ray, a spring and a contact.
struct btWheelInfo {
    // Written by each wheel ray. m_isInContact is also cleared whenever the wheel's world
    // placement is refreshed, so between steps only m_groundObject tells whether the wheel
    // stands on something.
    struct RaycastInfo {
        btVector3 m_contactNormalWS;
        btVector3 m_contactPointWS;
        btScalar m_suspensionLength;
        btVector3 m_hardPointWS;        // where the ray starts
        btVector3 m_wheelDirectionWS;
        btVector3 m_wheelAxleWS;
        bool m_isInContact;
        btRigidBody* m_groundObject;    // the body the ray hit; null in the air
    };

    explicit btWheelInfo(const btWheelInfoConstructionInfo& ci);

    btScalar getSuspensionRestLength() const { return m_suspensionRestLength1; }

    RaycastInfo m_raycastInfo;
    btTransform m_worldTransform;
    btVector3 m_chassisConnectionPointCS;
    btVector3 m_wheelDirectionCS;
    btVector3 m_wheelAxleCS;
    btScalar m_suspensionRestLength1;
    btScalar m_maxSuspensionTravelCm;
    btScalar m_wheelsRadius;
    btScalar m_suspensionStiffness;
    btScalar m_wheelsDampingCompression;
    btScalar m_wheelsDampingRelaxation;
    btScalar m_frictionSlip;
    btScalar m_steering;        // radians
    btScalar m_rotation;        // radians
    btScalar m_deltaRotation;
    btScalar m_rollInfluence;
    btScalar m_maxSuspensionForce;
    btScalar m_engineForce;
    btScalar m_brake;
    bool m_bIsFrontWheel;
    btScalar m_clippedInvContactDotSuspension;
    btScalar m_suspensionRelativeVelocity;
    btScalar m_wheelsSuspensionForce;
    btScalar m_skidInfo;        // 1 gripping, below 1 sliding
};

} // namespace sandvolt
