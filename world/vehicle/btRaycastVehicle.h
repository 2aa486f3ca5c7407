#pragma once
#include <BulletDynamics/Dynamics/btActionInterface.h>
#include <LinearMath/btAlignedObjectArray.h>
#include <LinearMath/btTransform.h>

#include "world/vehicle/btWheelInfo.h"

class btCollisionWorld;
class btIDebugDraw;
class btRigidBody;

namespace sandvolt {

class btVehicleRaycaster;

// The game's car: a chassis rigid body carried by wheel rays, stepped by the world as an action
// once per fixed physics step. Each wheel keeps the body its ray hit, and the wheels' side
// friction pushes back on that body, so a car standing on another car moves it.
// Wheels of the game's cars: 0 front +x, 1 front -x, 2 rear -x, 3 rear +x.
class btRaycastVehicle : public btActionInterface {
public:
    // Suspension and tyre values handed to every new wheel.
    class btVehicleTuning {
    public:
        btVehicleTuning();
        btScalar m_suspensionStiffness;
        btScalar m_suspensionCompression;
        btScalar m_suspensionDamping;
        btScalar m_maxSuspensionTravelCm;
        btScalar m_frictionSlip;
        btScalar m_maxSuspensionForce;
    };

    // Neither the chassis nor the raycaster is owned.
    btRaycastVehicle(const btVehicleTuning& tuning, btRigidBody* chassis,
                     btVehicleRaycaster* raycaster);
    ~btRaycastVehicle() override;

    void updateAction(btCollisionWorld* collisionWorld, btScalar step) override;
    void debugDraw(btIDebugDraw* debugDrawer) override;
    virtual void updateVehicle(btScalar step);
    virtual void updateFriction(btScalar timeStep);
    virtual void setCoordinateSystem(int rightIndex, int upIndex, int forwardIndex);

    btWheelInfo& addWheel(const btVector3& connectionPointCS, const btVector3& wheelDirectionCS,
                          const btVector3& wheelAxleCS, btScalar suspensionRestLength,
                          btScalar wheelRadius, const btVehicleTuning& tuning, bool isFrontWheel);
    int getNumWheels() const;
    // No range check: the game's cars always have wheels 0-3.
    btWheelInfo& getWheelInfo(int index);
    const btWheelInfo& getWheelInfo(int index) const;

    void applyEngineForce(btScalar force, int wheel);
    void setBrake(btScalar brake, int wheel);
    void setSteeringValue(btScalar steering, int wheel);
    btScalar getSteeringValue(int wheel) const;

    // Signed: negative while the car rolls backwards.
    btScalar getCurrentSpeedKmHour() const;
    btRigidBody* getRigidBody();
    const btRigidBody* getRigidBody() const;
    const btTransform& getChassisWorldTransform() const;
    int getRightAxis() const;
    int getUpAxis() const;
    int getForwardAxis() const;

    // Places wheel `index` (m_worldTransform) from the chassis; `interpolated` uses the motion
    // state's transform, as drawing does.
    void updateWheelTransform(int index, bool interpolated = true);
    const btTransform& getWheelTransformWS(int index) const;
    void updateWheelTransformsWS(btWheelInfo& wheel, bool interpolated = true);

    // Casts the wheel's ray and updates its contact; returns the hit depth or -1.
    btScalar rayCast(btWheelInfo& wheel);
    void updateSuspension(btScalar step);

private:
    btAlignedObjectArray<btVector3> m_forwardWS;
    btAlignedObjectArray<btVector3> m_axle;
    btAlignedObjectArray<btScalar> m_forwardImpulse;
    btAlignedObjectArray<btScalar> m_sideImpulse;
    btVehicleRaycaster* m_vehicleRaycaster;
    btScalar m_currentVehicleSpeedKmHour;
    btRigidBody* m_chassisBody;
    int m_indexRightAxis;
    int m_indexUpAxis;
    int m_indexForwardAxis;
    btAlignedObjectArray<btWheelInfo> m_wheelInfo;
};

} // namespace sandvolt
