#include "world/CPhysicsBody.h"

#include <BulletCollision/CollisionShapes/btShapeHull.h>
#include <btBulletDynamicsCommon.h>
#include <cstdio>
#include <utility>

#include "core/CGameEngine.h"
#include "world/CMeshShape.h"
#include "world/CPhysicsShapeDesc.h"
#include "world/CVehicleTuningParams.h"
#include "world/vehicle/btDefaultVehicleRaycaster.h"

using namespace irr;

namespace {

const char* const kEmpty = "EMPTY";
const char* const kMesh = "MESH";

bool isBoxVehicle(const std::string& type) { return type == "VEHICLE0" || type == "VEHICLE1"; }
bool isHullVehicle(const std::string& type) { return type == "VEHICLE0C" || type == "VEHICLE1C"; }
bool isVehicle(const std::string& type) { return isBoxVehicle(type) || isHullVehicle(type); }

// The compound chassis owns its one child; nothing else in the game shares it.
void deleteShape(btCollisionShape* shape)
{
    if (shape && shape->isCompound()) {
        btCompoundShape* compound = static_cast<btCompoundShape*>(shape);
        for (int i = compound->getNumChildShapes() - 1; i >= 0; --i) {
            btCollisionShape* child = compound->getChildShape(i);
            compound->removeChildShapeByIndex(i);
            deleteShape(child);
        }
    }
    delete shape;
}

struct SWheelPlace {
    double x;
    double z;
    bool front;
};

} // namespace

CPhysicsBody::CPhysicsBody(std::string type, std::string meshPath, float scaleX, float scaleY,
                           float scaleZ, float mass, CGameEngine* engine,
                           CVehicleTuningParams* tuningParams)
    : shapeBuilt(false), rigidBody(nullptr), mass(mass), triangleMesh(nullptr), scaleX(0),
      scaleY(0), scaleZ(0), raycaster(nullptr), vehicle(nullptr),
      shapeDesc(new CPhysicsShapeDesc(std::move(type), std::move(meshPath), scaleX, scaleY, scaleZ,
                                      mass, engine)),
      tuningParams(tuningParams), engine(engine)
{
    build();
}

CPhysicsBody::CPhysicsBody(const CPhysicsShapeDesc* desc, CVehicleTuningParams* tuningParams)
    : shapeBuilt(false), rigidBody(nullptr), mass(desc ? desc->getMass() : 0.0f),
      triangleMesh(nullptr), scaleX(0), scaleY(0), scaleZ(0), raycaster(nullptr),
      vehicle(nullptr), shapeDesc(nullptr), tuningParams(tuningParams),
      engine(desc ? desc->getEngine() : nullptr)
{
    if (desc) {
        shapeDesc = new CPhysicsShapeDesc(*desc);
    } else {
        std::printf("ERROR: physics body copied from a missing description; it gets an empty shape\n");
        shapeDesc = new CPhysicsShapeDesc(kEmpty, "", 0, 0, 0, 0, nullptr);
    }
    build();
}

CPhysicsBody::~CPhysicsBody()
{
    delete tuningParams;
    btDiscreteDynamicsWorld* world = engine ? engine->getDynamicsWorld() : nullptr;
    if (vehicle) {
        if (world)
            world->removeVehicle(vehicle);
        delete vehicle;
        delete raycaster;
    }
    if (rigidBody) {
        if (world)
            world->removeRigidBody(rigidBody);
        btMotionState* motionState = rigidBody->getMotionState();
        btCollisionShape* shape = rigidBody->getCollisionShape();
        delete rigidBody;
        delete motionState;
        deleteShape(shape);
    }
    delete triangleMesh;
    delete shapeDesc;
}

void CPhysicsBody::build()
{
    std::string type = shapeDesc->getType();
    // A static object whose "Physic" names a car type has no tuning: it gets no vehicle.
    if (isVehicle(type) && !tuningParams)
        type = kEmpty;
    if (isVehicle(type) && !(mass > 0.0f)) {
        std::printf("ERROR: vehicle body of type \"%s\" has mass %g; a car needs a mass above 0, "
                    "so it gets an empty shape and no vehicle\n", type.c_str(), mass);
        type = kEmpty;
    }

    btCollisionShape* shape = buildShape(type);
    if (!shape) {
        // Whatever could not be built leaves an empty body behind, never a half-made one.
        type = kEmpty;
        delete triangleMesh;
        triangleMesh = nullptr;
        shape = new btEmptyShape();
    }
    shapeBuilt = type != kEmpty;
    if (!shapeBuilt)
        scaleX = scaleY = scaleZ = 0;

    btVector3 localInertia(0, 0, 0);
    shape->calculateLocalInertia(mass, localInertia);
    btTransform identity;
    identity.setIdentity();
    btDefaultMotionState* motionState = new btDefaultMotionState(identity, identity);
    rigidBody = new btRigidBody(mass, motionState, shape, localInertia);
    rigidBody->setFriction(0.0f);
    rigidBody->setDamping(0.0f, 0.0f);

    if (isVehicle(type))
        buildVehicle();
}

btCollisionShape* CPhysicsBody::buildShape(const std::string& type)
{
    if (type == kEmpty)
        return new btEmptyShape();
    const bool known = type == kMesh || isVehicle(type);
    if (!known) {
        std::printf("Warning: unknown physics shape type \"%s\"; the body gets an empty shape\n",
                    type.c_str());
        return nullptr;
    }
    if (!engine) {
        std::printf("ERROR: physics body of type \"%s\" has no engine; it gets an empty shape\n",
                    type.c_str());
        return nullptr;
    }
    scaleX = shapeDesc->getScaleX();
    scaleY = shapeDesc->getScaleY();
    scaleZ = shapeDesc->getScaleZ();
    if (type == kMesh)
        return buildMeshShape();
    if (isBoxVehicle(type))
        return buildBoxChassis();
    return buildHullChassis();
}

btTriangleMesh* CPhysicsBody::loadTriangleMesh(float sx, float sy, float sz)
{
    const std::string path = shapeDesc->getMeshPath();
    const char* what = isVehicle(shapeDesc->getType()) ? "an empty shape and no vehicle" : "an empty shape";
    scene::ISceneManager* sceneManager = engine->getSceneManager();
    scene::IMeshCache* cache = sceneManager->getMeshCache();
    // A mesh the scene already uses stays cached; one loaded only for its triangles goes again.
    const bool wasLoaded = cache->isMeshLoaded(path.c_str());
    scene::IAnimatedMesh* animated = sceneManager->getMesh(path.c_str());
    scene::IMesh* frame = animated ? animated->getMesh(0, 255, -1, -1) : nullptr;
    if (!frame) {
        if (animated && !wasLoaded)
            engine->releasePhysicsMesh(animated);
        std::printf("ERROR: physics mesh \"%s\" could not be loaded; the body gets %s\n",
                    path.c_str(), what);
        return nullptr;
    }
    btTriangleMesh* triangles = engine->createTriangleMesh(frame, core::vector3df(sx, sy, sz), path);
    if (!wasLoaded)
        engine->releasePhysicsMesh(animated);
    // The physics library cannot build a shape over no triangles at all.
    if (triangles->getNumTriangles() == 0) {
        delete triangles;
        std::printf("ERROR: physics mesh \"%s\" has no triangles; the body gets %s\n",
                    path.c_str(), what);
        return nullptr;
    }
    return triangles;
}

btCollisionShape* CPhysicsBody::buildMeshShape()
{
    triangleMesh = loadTriangleMesh(scaleX, scaleY, scaleZ);
    if (!triangleMesh)
        return nullptr;
    return new CMeshShape(triangleMesh);
}

btCollisionShape* CPhysicsBody::buildBoxChassis()
{
    btBoxShape* box = new btBoxShape(btVector3(0.5f * scaleX, 0.5f * scaleY, 0.5f * scaleZ));
    btCompoundShape* compound = new btCompoundShape(true);
    btTransform local;
    local.setIdentity();
    local.setOrigin(tuningParams->chassisOffset);
    compound->addChildShape(local, box);
    return compound;
}

btCollisionShape* CPhysicsBody::buildHullChassis()
{
    // The hull keeps the mesh's own size; the sizes only place the wheels.
    triangleMesh = loadTriangleMesh(1.0f, 1.0f, 1.0f);
    if (!triangleMesh)
        return nullptr;
    btConvexTriangleMeshShape* source = new btConvexTriangleMeshShape(triangleMesh, true);
    btShapeHull* hull = new btShapeHull(source);
    btConvexHullShape* hullShape = nullptr;
    if (hull->buildHull(source->getMargin()) && hull->numVertices() > 0) {
        hullShape = new btConvexHullShape();
        for (int i = 0; i < hull->numVertices(); ++i)
            hullShape->addPoint(hull->getVertexPointer()[i], true);
    }
    delete hull;
    delete source;
    if (!hullShape) {
        std::printf("ERROR: physics mesh \"%s\" gives no hull; the body gets an empty shape and "
                    "no vehicle\n", shapeDesc->getMeshPath().c_str());
        return nullptr;
    }
    btCompoundShape* compound = new btCompoundShape(true);
    btTransform local;
    local.setIdentity();
    compound->addChildShape(local, hullShape);
    return compound;
}

void CPhysicsBody::buildVehicle()
{
    const CVehicleTuningParams& t = *tuningParams;
    raycaster = new sandvolt::btDefaultVehicleRaycaster(engine->getDynamicsWorld());
    vehicle = new sandvolt::btRaycastVehicle(vehicleTuning, rigidBody, raycaster);
    vehicle->setCoordinateSystem(t.rightAxis, t.upAxis, t.forwardAxis);

    const double hx = 0.5 * scaleX;
    const double hz = 0.5 * scaleZ;
    const double w = t.wheelWidth;
    const double r = t.wheelRadius;
    // Wheels 0 front +x, 1 front -x, 2 rear -x, 3 rear +x; the entity and the race rely on it.
    const SWheelPlace places[4] = {
        {hx - w - 0.01, hz - r, true},
        {w - hx + 0.01, hz - r, true},
        {w - hx + 0.01, 1.2 * r - hz, false},
        {hx - w - 0.01, 1.2 * r - hz, false},
    };
    for (const SWheelPlace& place : places) {
        const btVector3 connection(static_cast<float>(place.x), t.connectionHeight,
                                   static_cast<float>(place.z));
        vehicle->addWheel(connection, t.wheelDirection, t.wheelAxle, t.suspensionRestLength,
                          t.wheelRadius, vehicleTuning, place.front);
    }
    for (int i = 0; i < vehicle->getNumWheels(); ++i) {
        sandvolt::btWheelInfo& wheel = vehicle->getWheelInfo(i);
        wheel.m_suspensionStiffness = t.suspensionStiffness;
        wheel.m_wheelsDampingRelaxation = t.dampingRelaxation;
        wheel.m_wheelsDampingCompression = t.dampingCompression;
        wheel.m_frictionSlip = t.frictionSlip;
        wheel.m_rollInfluence = t.rollInfluence;
        wheel.m_raycastInfo.m_groundObject = nullptr;
    }
}

bool CPhysicsBody::hasShape() const { return shapeBuilt; }
btRigidBody* CPhysicsBody::getRigidBody() const { return rigidBody; }
float CPhysicsBody::getMass() const { return mass; }
btTriangleMesh* CPhysicsBody::getTriangleMesh() const { return triangleMesh; }
float CPhysicsBody::getScaleX() const { return scaleX; }
float CPhysicsBody::getScaleY() const { return scaleY; }
float CPhysicsBody::getScaleZ() const { return scaleZ; }
sandvolt::btRaycastVehicle::btVehicleTuning CPhysicsBody::getVehicleTuning() const { return vehicleTuning; }
sandvolt::btDefaultVehicleRaycaster* CPhysicsBody::getRaycaster() const { return raycaster; }
sandvolt::btRaycastVehicle* CPhysicsBody::getVehicle() const { return vehicle; }
CPhysicsShapeDesc* CPhysicsBody::getShapeDesc() const { return shapeDesc; }
CVehicleTuningParams* CPhysicsBody::getTuningParams() const { return tuningParams; }
CGameEngine* CPhysicsBody::getEngine() const { return engine; }
