#include "world/COSEntity.h"

#include <BulletCollision/CollisionShapes/btShapeHull.h>
#include <btBulletDynamicsCommon.h>
#include <cstdio>

#include "core/CGameEngine.h"
#include "world/CEntityManager.h"

using namespace irr;

COSEntity::COSEntity(s32 id, std::string meshPath, CEntityManager* manager)
    : id(id), triangleMesh(nullptr), shape(nullptr), motionState(nullptr), body(nullptr),
      manager(manager), engine(manager ? manager->getEngine() : nullptr)
{
    std::printf("OS is creating...\n");
    if (!manager)
        return;
    if (!buildTrigger(meshPath))
        std::printf("ERROR: OS %d has no trigger: mesh \"%s\" could not be used...\n", id,
                    meshPath.c_str());
    manager->addCheckpoint(this);
}

bool COSEntity::buildTrigger(const std::string& meshPath)
{
    if (!engine || !engine->getSceneManager() || !engine->getDynamicsWorld())
        return false;
    scene::ISceneManager* scene = engine->getSceneManager();
    scene::IAnimatedMesh* animated = scene->getMesh(meshPath.c_str());
    scene::IMesh* frame = animated ? animated->getMesh(0, 255, -1, -1) : nullptr;
    if (!frame)
        return false;
    btTriangleMesh* triangles = engine->createTriangleMesh(frame, core::vector3df(1, 1, 1), meshPath);
    // Only the triangles are needed; the volume is never drawn.
    scene->getMeshCache()->removeMesh(animated);
    if (triangles->getNumTriangles() == 0) {
        delete triangles;
        return false;
    }

    btConvexTriangleMeshShape* source = new btConvexTriangleMeshShape(triangles, true);
    btShapeHull* hull = new btShapeHull(source);
    hull->buildHull(source->getMargin());
    btConvexHullShape* volume = new btConvexHullShape();
    for (int i = 0; i < hull->numVertices(); ++i)
        volume->addPoint(hull->getVertexPointer()[i]);
    delete source;
    delete hull;
    if (volume->getNumPoints() == 0) {
        delete volume;
        delete triangles;
        return false;
    }

    triangleMesh = triangles;
    shape = volume;
    btVector3 inertia(0, 0, 0);
    // The mesh's coordinates are world coordinates: the body stays at the identity.
    motionState = new btDefaultMotionState(btTransform::getIdentity(), btTransform::getIdentity());
    body = new btRigidBody(0.0f, motionState, shape, inertia);
    body->setCollisionFlags(body->getCollisionFlags() | btCollisionObject::CF_NO_CONTACT_RESPONSE);
    body->setUserPointer(this);
    engine->getDynamicsWorld()->addRigidBody(body);
    return true;
}

COSEntity::~COSEntity()
{
    std::printf("OS is removing...\n");
    if (body) {
        engine->getDynamicsWorld()->removeRigidBody(body);
        delete body;
    }
    delete shape;
    delete triangleMesh;
    delete motionState;
}

s32 COSEntity::getId() { return id; }
btRigidBody* COSEntity::getRigidBody() { return body; }
