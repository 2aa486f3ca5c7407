#include "world/vehicle/btWheelInfo.h"

namespace sandvolt {

btWheelInfo::btWheelInfo(const btWheelInfoConstructionInfo& ci)
    : m_chassisConnectionPointCS(ci.m_chassisConnectionCS),
      m_wheelDirectionCS(ci.m_wheelDirectionCS),
      m_wheelAxleCS(ci.m_wheelAxleCS),
      m_suspensionRestLength1(ci.m_suspensionRestLength),
      m_maxSuspensionTravelCm(ci.m_maxSuspensionTravelCm),
      m_wheelsRadius(ci.m_wheelRadius),
      m_suspensionStiffness(ci.m_suspensionStiffness),
      m_wheelsDampingCompression(ci.m_wheelsDampingCompression),
      m_wheelsDampingRelaxation(ci.m_wheelsDampingRelaxation),
      m_frictionSlip(ci.m_frictionSlip),
      m_steering(0),
      m_rotation(0),
      m_deltaRotation(0),
      m_rollInfluence(btScalar(0.1)),
      m_maxSuspensionForce(ci.m_maxSuspensionForce),
      m_engineForce(0),
      m_brake(0),
      m_bIsFrontWheel(ci.m_bIsFrontWheel),
      m_clippedInvContactDotSuspension(1),
      m_suspensionRelativeVelocity(0),
      m_wheelsSuspensionForce(0),
      m_skidInfo(1)
{
    // Until its first ray the wheel hangs at rest length, straight below its connection point.
    m_raycastInfo.m_contactNormalWS.setValue(0, 0, 0);
    m_raycastInfo.m_contactPointWS.setValue(0, 0, 0);
    m_raycastInfo.m_suspensionLength = ci.m_suspensionRestLength;
    m_raycastInfo.m_hardPointWS.setValue(0, 0, 0);
    m_raycastInfo.m_wheelDirectionWS.setValue(0, 0, 0);
    m_raycastInfo.m_wheelAxleWS.setValue(0, 0, 0);
    m_raycastInfo.m_isInContact = false;
    m_raycastInfo.m_groundObject = nullptr;
    m_worldTransform.setIdentity();
}

} // namespace sandvolt
