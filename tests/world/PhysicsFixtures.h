#pragma once
// A small physics world for the body and vehicle tests: the game's engine object on the null
// driver, a flat static ground whose top is y = 0, and cars built as the mission loader builds
// them and added as their entity adds them.
#include <gtest/gtest.h>
#include <btBulletDynamicsCommon.h>
#include <string>
#include <vector>

#include "support/TestSupport.h"

class CGameEngine;
class CPhysicsBody;

namespace physicstest {

const float kStep = 1.0f / 60.0f;

class PhysicsWorldTest : public ::testing::Test {
protected:
    PhysicsWorldTest();
    ~PhysicsWorldTest() override;

    CGameEngine* engine() { return nullEngine.get(); }
    btDiscreteDynamicsWorld* world();
    // A car body with its tuning record, standing at `position`, in the world; never sleeps.
    CPhysicsBody* addCar(const std::string& type, const btVector3& position, float sizeX = 2,
                         float sizeY = 1, float sizeZ = 4, float mass = 400);
    // A plain dynamic or static box; deleted with the fixture.
    btRigidBody* addBox(const btVector3& halfExtents, const btVector3& position, float mass);
    // `count` fixed steps of `dt`, one internal step each, as the race steps the world.
    void step(int count, float dt = kStep);

    testsupport::CNullEngine nullEngine;
    btRigidBody* ground;

private:
    std::vector<CPhysicsBody*> bodies;
    std::vector<btRigidBody*> boxes;
};

} // namespace physicstest
