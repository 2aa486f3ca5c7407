#include "world/vehicle/btRaycastVehicle.h"

#include <BulletDynamics/ConstraintSolver/btContactConstraint.h>
#include <BulletDynamics/Dynamics/btRigidBody.h>
#include <LinearMath/btIDebugDraw.h>
#include <LinearMath/btMinMax.h>
#include <LinearMath/btQuaternion.h>

#include "world/vehicle/btVehicleRaycaster.h"

namespace sandvolt {

namespace {

const btScalar kSideFrictionStiffness = btScalar(1.0);
const btScalar kSideFactor = btScalar(1.0);
const btScalar kForwardFactor = btScalar(0.5);
const btScalar kSpinDecay = btScalar(0.99);     // a wheel in the air slowly stops turning
const btScalar kMinContactDot = btScalar(-0.1); // below this the ray meets the ground too flat

btVector3 basisColumn(const btMatrix3x3& basis, int index)
{
    return btVector3(basis[0][index], basis[1][index], basis[2][index]);
}

// One wheel's rolling contact between the chassis and the body under it.
struct btWheelContactPoint {
    btWheelContactPoint(btRigidBody* body0, btRigidBody* body1, const btVector3& frictionPosWorld,
                        const btVector3& frictionDirectionWorld, btScalar maxImpulse)
        : m_body0(body0), m_body1(body1), m_frictionPositionWorld(frictionPosWorld),
          m_frictionDirectionWorld(frictionDirectionWorld), m_maxImpulse(maxImpulse)
    {
        const btScalar denom0 = body0->computeImpulseDenominator(frictionPosWorld, frictionDirectionWorld);
        const btScalar denom1 = body1->computeImpulseDenominator(frictionPosWorld, frictionDirectionWorld);
        m_jacDiagABInv = btScalar(1.) / (denom0 + denom1);
    }

    btRigidBody* m_body0;
    btRigidBody* m_body1;
    btVector3 m_frictionPositionWorld;
    btVector3 m_frictionDirectionWorld;
    btScalar m_jacDiagABInv;
    btScalar m_maxImpulse;
};

// The impulse that stops the wheel rolling relative to its ground, within the brake's limit.
btScalar calcRollingFriction(const btWheelContactPoint& contact)
{
    const btVector3& pos = contact.m_frictionPositionWorld;
    const btVector3 vel1 = contact.m_body0->getVelocityInLocalPoint(pos - contact.m_body0->getCenterOfMassPosition());
    const btVector3 vel2 = contact.m_body1->getVelocityInLocalPoint(pos - contact.m_body1->getCenterOfMassPosition());
    const btScalar relVel = contact.m_frictionDirectionWorld.dot(vel1 - vel2);
    btScalar j = -relVel * contact.m_jacDiagABInv;
    btSetMin(j, contact.m_maxImpulse);
    btSetMax(j, -contact.m_maxImpulse);
    return j;
}

} // namespace

btRaycastVehicle::btVehicleTuning::btVehicleTuning()
    : m_suspensionStiffness(btScalar(5.88)), m_suspensionCompression(btScalar(0.83)),
      m_suspensionDamping(btScalar(0.88)), m_maxSuspensionTravelCm(btScalar(500.)),
      m_frictionSlip(btScalar(10.5)), m_maxSuspensionForce(btScalar(6000.))
{
}

btRaycastVehicle::btRaycastVehicle(const btVehicleTuning& tuning, btRigidBody* chassis,
                                   btVehicleRaycaster* raycaster)
    : m_vehicleRaycaster(raycaster), m_currentVehicleSpeedKmHour(0), m_chassisBody(chassis),
      m_indexRightAxis(0), m_indexUpAxis(2), m_indexForwardAxis(1)
{
    // The tuning only matters per wheel (addWheel).
    (void)tuning;
}

btRaycastVehicle::~btRaycastVehicle() {}

void btRaycastVehicle::updateAction(btCollisionWorld* collisionWorld, btScalar step)
{
    (void)collisionWorld;
    updateVehicle(step);
}

void btRaycastVehicle::debugDraw(btIDebugDraw* debugDrawer)
{
    if (!debugDrawer)
        return;
    for (int i = 0; i < getNumWheels(); ++i) {
        const btWheelInfo& wheel = m_wheelInfo[i];
        const btVector3 color = wheel.m_raycastInfo.m_isInContact ? btVector3(0, 0, 1) : btVector3(1, 0, 1);
        const btVector3& center = wheel.m_worldTransform.getOrigin();
        const btVector3 axle = basisColumn(wheel.m_worldTransform.getBasis(), m_indexRightAxis);
        debugDrawer->drawLine(center, center + axle, color);
        debugDrawer->drawLine(center, wheel.m_raycastInfo.m_contactPointWS, color);
    }
}

void btRaycastVehicle::setCoordinateSystem(int rightIndex, int upIndex, int forwardIndex)
{
    m_indexRightAxis = rightIndex;
    m_indexUpAxis = upIndex;
    m_indexForwardAxis = forwardIndex;
}

btWheelInfo& btRaycastVehicle::addWheel(const btVector3& connectionPointCS,
                                        const btVector3& wheelDirectionCS,
                                        const btVector3& wheelAxleCS,
                                        btScalar suspensionRestLength, btScalar wheelRadius,
                                        const btVehicleTuning& tuning, bool isFrontWheel)
{
    btWheelInfoConstructionInfo ci;
    ci.m_chassisConnectionCS = connectionPointCS;
    ci.m_wheelDirectionCS = wheelDirectionCS;
    ci.m_wheelAxleCS = wheelAxleCS;
    ci.m_suspensionRestLength = suspensionRestLength;
    ci.m_wheelRadius = wheelRadius;
    ci.m_suspensionStiffness = tuning.m_suspensionStiffness;
    ci.m_wheelsDampingCompression = tuning.m_suspensionCompression;
    ci.m_wheelsDampingRelaxation = tuning.m_suspensionDamping;
    ci.m_frictionSlip = tuning.m_frictionSlip;
    ci.m_bIsFrontWheel = isFrontWheel;
    ci.m_maxSuspensionTravelCm = tuning.m_maxSuspensionTravelCm;
    ci.m_maxSuspensionForce = tuning.m_maxSuspensionForce;

    m_wheelInfo.push_back(btWheelInfo(ci));
    btWheelInfo& wheel = m_wheelInfo[getNumWheels() - 1];
    updateWheelTransformsWS(wheel, false);
    updateWheelTransform(getNumWheels() - 1, false);
    return wheel;
}

int btRaycastVehicle::getNumWheels() const { return m_wheelInfo.size(); }
btWheelInfo& btRaycastVehicle::getWheelInfo(int index) { return m_wheelInfo[index]; }
const btWheelInfo& btRaycastVehicle::getWheelInfo(int index) const { return m_wheelInfo[index]; }

void btRaycastVehicle::applyEngineForce(btScalar force, int wheel) { m_wheelInfo[wheel].m_engineForce = force; }
void btRaycastVehicle::setBrake(btScalar brake, int wheel) { m_wheelInfo[wheel].m_brake = brake; }
void btRaycastVehicle::setSteeringValue(btScalar steering, int wheel) { m_wheelInfo[wheel].m_steering = steering; }
btScalar btRaycastVehicle::getSteeringValue(int wheel) const { return m_wheelInfo[wheel].m_steering; }

btScalar btRaycastVehicle::getCurrentSpeedKmHour() const { return m_currentVehicleSpeedKmHour; }
btRigidBody* btRaycastVehicle::getRigidBody() { return m_chassisBody; }
const btRigidBody* btRaycastVehicle::getRigidBody() const { return m_chassisBody; }
const btTransform& btRaycastVehicle::getChassisWorldTransform() const
{
    return m_chassisBody->getCenterOfMassTransform();
}
int btRaycastVehicle::getRightAxis() const { return m_indexRightAxis; }
int btRaycastVehicle::getUpAxis() const { return m_indexUpAxis; }
int btRaycastVehicle::getForwardAxis() const { return m_indexForwardAxis; }

const btTransform& btRaycastVehicle::getWheelTransformWS(int index) const
{
    return m_wheelInfo[index].m_worldTransform;
}

void btRaycastVehicle::updateWheelTransformsWS(btWheelInfo& wheel, bool interpolated)
{
    wheel.m_raycastInfo.m_isInContact = false;
    btTransform chassisTrans = getChassisWorldTransform();
    if (interpolated && m_chassisBody->getMotionState())
        m_chassisBody->getMotionState()->getWorldTransform(chassisTrans);
    wheel.m_raycastInfo.m_hardPointWS = chassisTrans(wheel.m_chassisConnectionPointCS);
    wheel.m_raycastInfo.m_wheelDirectionWS = chassisTrans.getBasis() * wheel.m_wheelDirectionCS;
    wheel.m_raycastInfo.m_wheelAxleWS = chassisTrans.getBasis() * wheel.m_wheelAxleCS;
}

void btRaycastVehicle::updateWheelTransform(int index, bool interpolated)
{
    btWheelInfo& wheel = m_wheelInfo[index];
    updateWheelTransformsWS(wheel, interpolated);
    const btVector3 up = -wheel.m_raycastInfo.m_wheelDirectionWS;
    const btVector3& right = wheel.m_raycastInfo.m_wheelAxleWS;
    const btVector3 fwd = up.cross(right).normalized();

    const btMatrix3x3 steeringMat(btQuaternion(up, wheel.m_steering));
    const btMatrix3x3 rotatingMat(btQuaternion(right, -wheel.m_rotation));
    const btMatrix3x3 basis2(right[0], fwd[0], up[0],
                             right[1], fwd[1], up[1],
                             right[2], fwd[2], up[2]);
    wheel.m_worldTransform.setBasis(steeringMat * rotatingMat * basis2);
    wheel.m_worldTransform.setOrigin(wheel.m_raycastInfo.m_hardPointWS +
                                     wheel.m_raycastInfo.m_wheelDirectionWS * wheel.m_raycastInfo.m_suspensionLength);
}

btScalar btRaycastVehicle::rayCast(btWheelInfo& wheel)
{
    updateWheelTransformsWS(wheel, false);
    btWheelInfo::RaycastInfo& ray = wheel.m_raycastInfo;
    btScalar depth = -1;
    const btScalar raylen = wheel.getSuspensionRestLength() + wheel.m_wheelsRadius;
    const btVector3 source = ray.m_hardPointWS;
    ray.m_contactPointWS = source + ray.m_wheelDirectionWS * raylen;
    const btVector3 target = ray.m_contactPointWS;

    btVehicleRaycaster::btVehicleRaycasterResult result;
    btRigidBody* object = m_vehicleRaycaster ? m_vehicleRaycaster->castRay(source, target, result) : nullptr;
    ray.m_groundObject = nullptr;

    if (object) {
        depth = raylen * result.m_distFraction;
        ray.m_contactNormalWS = result.m_hitNormalInWorld;
        ray.m_isInContact = true;
        ray.m_groundObject = object;

        const btScalar rest = wheel.getSuspensionRestLength();
        const btScalar minLength = rest - wheel.m_maxSuspensionTravelCm * btScalar(0.01);
        const btScalar maxLength = rest + wheel.m_maxSuspensionTravelCm * btScalar(0.01);
        ray.m_suspensionLength = depth - wheel.m_wheelsRadius;
        if (ray.m_suspensionLength < minLength)
            ray.m_suspensionLength = minLength;
        else if (ray.m_suspensionLength > maxLength)
            ray.m_suspensionLength = maxLength;

        ray.m_contactPointWS = result.m_hitPointInWorld;

        const btScalar denominator = ray.m_contactNormalWS.dot(ray.m_wheelDirectionWS);
        const btVector3 relPos = ray.m_contactPointWS - m_chassisBody->getCenterOfMassPosition();
        const btVector3 velocity = m_chassisBody->getVelocityInLocalPoint(relPos);
        const btScalar projVel = ray.m_contactNormalWS.dot(velocity);
        if (denominator >= kMinContactDot) {
            wheel.m_suspensionRelativeVelocity = 0;
            wheel.m_clippedInvContactDotSuspension = btScalar(1) / -kMinContactDot;
        } else {
            const btScalar inv = btScalar(-1) / denominator;
            wheel.m_suspensionRelativeVelocity = projVel * inv;
            wheel.m_clippedInvContactDotSuspension = inv;
        }
    } else {
        ray.m_suspensionLength = wheel.getSuspensionRestLength();
        wheel.m_suspensionRelativeVelocity = 0;
        ray.m_contactNormalWS = -ray.m_wheelDirectionWS;
        wheel.m_clippedInvContactDotSuspension = 1;
    }
    return depth;
}

void btRaycastVehicle::updateSuspension(btScalar step)
{
    (void)step;
    const btScalar chassisMass = btScalar(1) / m_chassisBody->getInvMass();
    for (int i = 0; i < getNumWheels(); ++i) {
        btWheelInfo& wheel = m_wheelInfo[i];
        if (!wheel.m_raycastInfo.m_isInContact) {
            wheel.m_wheelsSuspensionForce = 0;
            continue;
        }
        btScalar force = wheel.m_suspensionStiffness *
                         (wheel.getSuspensionRestLength() - wheel.m_raycastInfo.m_suspensionLength) *
                         wheel.m_clippedInvContactDotSuspension;
        const btScalar relVel = wheel.m_suspensionRelativeVelocity;
        const btScalar damping = relVel < 0 ? wheel.m_wheelsDampingCompression : wheel.m_wheelsDampingRelaxation;
        force -= damping * relVel;
        wheel.m_wheelsSuspensionForce = force * chassisMass;
        if (wheel.m_wheelsSuspensionForce < 0)
            wheel.m_wheelsSuspensionForce = 0;
    }
}

void btRaycastVehicle::updateVehicle(btScalar step)
{
    for (int i = 0; i < getNumWheels(); ++i)
        updateWheelTransform(i, false);

    const btVector3& velocity = m_chassisBody->getLinearVelocity();
    m_currentVehicleSpeedKmHour = btScalar(3.6) * velocity.length();
    const btVector3 forwardW = basisColumn(getChassisWorldTransform().getBasis(), m_indexForwardAxis);
    if (forwardW.dot(velocity) < 0)
        m_currentVehicleSpeedKmHour = -m_currentVehicleSpeedKmHour;

    for (int i = 0; i < getNumWheels(); ++i)
        rayCast(m_wheelInfo[i]);

    // A chassis without mass can be neither carried nor pushed; its springs would be infinitely
    // strong and their impulses would reach the bodies under it as NaN.
    if (m_chassisBody->getInvMass() == btScalar(0))
        return;

    updateSuspension(step);

    for (int i = 0; i < getNumWheels(); ++i) {
        btWheelInfo& wheel = m_wheelInfo[i];
        const btScalar force = btMin(wheel.m_wheelsSuspensionForce, wheel.m_maxSuspensionForce);
        const btVector3 impulse = wheel.m_raycastInfo.m_contactNormalWS * force * step;
        const btVector3 relPos = wheel.m_raycastInfo.m_contactPointWS - m_chassisBody->getCenterOfMassPosition();
        m_chassisBody->applyImpulse(impulse, relPos);
    }

    updateFriction(step);

    for (int i = 0; i < getNumWheels(); ++i) {
        btWheelInfo& wheel = m_wheelInfo[i];
        if (wheel.m_raycastInfo.m_isInContact) {
            const btVector3& normal = wheel.m_raycastInfo.m_contactNormalWS;
            btVector3 fwd = basisColumn(getChassisWorldTransform().getBasis(), m_indexForwardAxis);
            fwd -= normal * fwd.dot(normal);
            const btVector3 relPos = wheel.m_raycastInfo.m_hardPointWS - m_chassisBody->getCenterOfMassPosition();
            const btVector3 vel = m_chassisBody->getVelocityInLocalPoint(relPos);
            wheel.m_deltaRotation = fwd.dot(vel) * step / wheel.m_wheelsRadius;
        }
        wheel.m_rotation += wheel.m_deltaRotation;
        wheel.m_deltaRotation *= kSpinDecay;
    }
}

void btRaycastVehicle::updateFriction(btScalar timeStep)
{
    const int numWheels = getNumWheels();
    if (numWheels == 0)
        return;
    m_forwardWS.resize(numWheels);
    m_axle.resize(numWheels);
    m_forwardImpulse.resize(numWheels);
    m_sideImpulse.resize(numWheels);
    for (int i = 0; i < numWheels; ++i) {
        m_sideImpulse[i] = 0;
        m_forwardImpulse[i] = 0;
    }

    // Side grip: the impulse that stops each wheel sliding along its axle, relative to the
    // body it stands on.
    for (int i = 0; i < numWheels; ++i) {
        btWheelInfo& wheel = m_wheelInfo[i];
        btRigidBody* ground = wheel.m_raycastInfo.m_groundObject;
        if (!ground)
            continue;
        const btVector3& normal = wheel.m_raycastInfo.m_contactNormalWS;
        btVector3 axle = basisColumn(getWheelTransformWS(i).getBasis(), m_indexRightAxis);
        axle -= normal * axle.dot(normal);
        m_axle[i] = axle.normalize();
        m_forwardWS[i] = normal.cross(m_axle[i]);
        m_forwardWS[i].normalize();
        resolveSingleBilateral(*m_chassisBody, wheel.m_raycastInfo.m_contactPointWS, *ground,
                               wheel.m_raycastInfo.m_contactPointWS, btScalar(0), m_axle[i],
                               m_sideImpulse[i], timeStep);
        m_sideImpulse[i] *= kSideFrictionStiffness;
    }

    // Rolling: the engine drives, otherwise the brake limits how hard the wheel may hold on.
    bool sliding = false;
    for (int i = 0; i < numWheels; ++i) {
        btWheelInfo& wheel = m_wheelInfo[i];
        btRigidBody* ground = wheel.m_raycastInfo.m_groundObject;
        btScalar rollingFriction = 0;
        if (ground) {
            if (wheel.m_engineForce != btScalar(0)) {
                rollingFriction = wheel.m_engineForce * timeStep;
            } else {
                const btScalar maxImpulse = wheel.m_brake != btScalar(0) ? wheel.m_brake : btScalar(0);
                const btWheelContactPoint contact(m_chassisBody, ground, wheel.m_raycastInfo.m_contactPointWS,
                                                  m_forwardWS[i], maxImpulse);
                rollingFriction = calcRollingFriction(contact);
            }
        }
        m_forwardImpulse[i] = 0;
        wheel.m_skidInfo = btScalar(1.);
        if (ground) {
            const btScalar maxImp = wheel.m_wheelsSuspensionForce * timeStep * wheel.m_frictionSlip;
            m_forwardImpulse[i] = rollingFriction;
            const btScalar x = m_forwardImpulse[i] * kForwardFactor;
            const btScalar y = m_sideImpulse[i] * kSideFactor;
            const btScalar impulseSquared = x * x + y * y;
            if (impulseSquared > maxImp * maxImp) {
                sliding = true;
                wheel.m_skidInfo *= maxImp / btSqrt(impulseSquared);
            }
        }
    }

    if (sliding) {
        for (int i = 0; i < numWheels; ++i) {
            if (m_sideImpulse[i] != btScalar(0) && m_wheelInfo[i].m_skidInfo < btScalar(1.)) {
                m_forwardImpulse[i] *= m_wheelInfo[i].m_skidInfo;
                m_sideImpulse[i] *= m_wheelInfo[i].m_skidInfo;
            }
        }
    }

    for (int i = 0; i < numWheels; ++i) {
        btWheelInfo& wheel = m_wheelInfo[i];
        btVector3 relPos = wheel.m_raycastInfo.m_contactPointWS - m_chassisBody->getCenterOfMassPosition();
        if (m_forwardImpulse[i] != btScalar(0))
            m_chassisBody->applyImpulse(m_forwardWS[i] * m_forwardImpulse[i], relPos);
        if (m_sideImpulse[i] != btScalar(0)) {
            btRigidBody* ground = wheel.m_raycastInfo.m_groundObject;
            const btVector3 relPos2 = wheel.m_raycastInfo.m_contactPointWS - ground->getCenterOfMassPosition();
            const btVector3 sideImp = m_axle[i] * m_sideImpulse[i];
            // Roll influence moves the side push up towards the centre of mass: cornering tips the
            // car over less.
            const btVector3 up = basisColumn(m_chassisBody->getCenterOfMassTransform().getBasis(), m_indexUpAxis);
            relPos -= up * (up.dot(relPos) * (btScalar(1.) - wheel.m_rollInfluence));
            m_chassisBody->applyImpulse(sideImp, relPos);
            ground->applyImpulse(-sideImp, relPos2);
        }
    }
}

} // namespace sandvolt
