#pragma once
#include <irrlicht.h>
#include <string>

class btConvexHullShape;
class btDefaultMotionState;
class btRigidBody;
class btTriangleMesh;
class CEntityManager;
class CGameEngine;

// A checkpoint of the lap rule: an invisible trigger volume, the convex hull of a mesh given in
// world coordinates. Cars drive through it; the race asks the world whether they touch it. It
// appends itself to the manager's checkpoint list, which owns it.
class COSEntity {
public:
    // id is the checkpoint number (0, 1 or 2). A mesh that cannot be loaded or holds no volume
    // leaves the checkpoint without a body (reported), so no car ever touches it.
    COSEntity(irr::s32 id, std::string meshPath, CEntityManager* manager);
    ~COSEntity();

    irr::s32 getId();
    // The trigger body in the world; null when the checkpoint could not be built.
    btRigidBody* getRigidBody();

private:
    bool buildTrigger(const std::string& meshPath);

    irr::s32 id;
    btTriangleMesh* triangleMesh;
    btConvexHullShape* shape;
    btDefaultMotionState* motionState;
    btRigidBody* body;
    CEntityManager* manager;
    CGameEngine* engine;
};
