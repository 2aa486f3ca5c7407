#pragma once
#include <string>

#include "world/vehicle/btRaycastVehicle.h"

class btCollisionShape;
class btRigidBody;
class btTriangleMesh;
class CGameEngine;
class CPhysicsShapeDesc;
class CVehicleTuningParams;

namespace sandvolt {
class btDefaultVehicleRaycaster;
}

// The physics side of a static object or a car: its collision shape, rigid body and, for the
// vehicle shape types, the raycast vehicle with four wheels. Shape types: "EMPTY", "MESH",
// "VEHICLE0", "VEHICLE1" (box chassis), "VEHICLE0C", "VEHICLE1C" (hull of the mesh).
//
// The body does not enter the world by itself: its entity adds the rigid body (and the vehicle);
// the destructor takes both out again and deletes everything the body made.
//
// Whatever the data, the body is always whole: a type it does not know, a mesh it cannot load or
// that has no triangles, or a vehicle without mass gives a message line and an empty shape
// without a vehicle (hasShape() false, getVehicle() null). A vehicle type without a tuning record
// gives the same, silently (a static object that names a vehicle type).
class CPhysicsBody {
public:
    // tuningParams may be null; the body owns it.
    CPhysicsBody(std::string type, std::string meshPath, float scaleX, float scaleY, float scaleZ,
                 float mass, CGameEngine* engine, CVehicleTuningParams* tuningParams);
    // An equal body from a parent object's description.
    CPhysicsBody(const CPhysicsShapeDesc* desc, CVehicleTuningParams* tuningParams);
    ~CPhysicsBody();

    CPhysicsBody(const CPhysicsBody&) = delete;
    CPhysicsBody& operator=(const CPhysicsBody&) = delete;

    bool hasShape() const;
    btRigidBody* getRigidBody() const;
    float getMass() const;
    btTriangleMesh* getTriangleMesh() const;
    float getScaleX() const;
    float getScaleY() const;
    float getScaleZ() const;
    sandvolt::btRaycastVehicle::btVehicleTuning getVehicleTuning() const;
    sandvolt::btDefaultVehicleRaycaster* getRaycaster() const;
    // Null for every body without a vehicle (see above).
    sandvolt::btRaycastVehicle* getVehicle() const;
    CPhysicsShapeDesc* getShapeDesc() const;
    CVehicleTuningParams* getTuningParams() const;
    CGameEngine* getEngine() const;

private:
    void build();
    btCollisionShape* buildShape(const std::string& type);
    btCollisionShape* buildMeshShape();
    btCollisionShape* buildBoxChassis();
    btCollisionShape* buildHullChassis();
    btTriangleMesh* loadTriangleMesh(float sx, float sy, float sz);
    void buildVehicle();

    bool shapeBuilt;
    btRigidBody* rigidBody;
    float mass;
    btTriangleMesh* triangleMesh;
    float scaleX;
    float scaleY;
    float scaleZ;
    sandvolt::btRaycastVehicle::btVehicleTuning vehicleTuning;
    sandvolt::btDefaultVehicleRaycaster* raycaster;
    sandvolt::btRaycastVehicle* vehicle;
    CPhysicsShapeDesc* shapeDesc;
    CVehicleTuningParams* tuningParams;
    CGameEngine* engine;
};
