#include "PhysicsFixtures.h"

#include "core/CGameEngine.h"
#include "world/CPhysicsBody.h"
#include "world/CVehicleTuningParams.h"

namespace physicstest {

PhysicsWorldTest::PhysicsWorldTest()
{
    ground = addBox(btVector3(100, 0.5f, 100), btVector3(0, -0.5f, 0), 0);
}

PhysicsWorldTest::~PhysicsWorldTest()
{
    // Bodies take themselves out of the world; plain boxes are ours to remove.
    for (CPhysicsBody* body : bodies)
        delete body;
    for (btRigidBody* box : boxes) {
        world()->removeRigidBody(box);
        delete box->getMotionState();
        delete box->getCollisionShape();
        delete box;
    }
}

btDiscreteDynamicsWorld* PhysicsWorldTest::world() { return engine()->getDynamicsWorld(); }

CPhysicsBody* PhysicsWorldTest::addCar(const std::string& type, const btVector3& position,
                                       float sizeX, float sizeY, float sizeZ, float mass)
{
    CPhysicsBody* body = new CPhysicsBody(type, "", sizeX, sizeY, sizeZ, mass, engine(),
                                          new CVehicleTuningParams(type));
    bodies.push_back(body);
    btTransform place;
    place.setIdentity();
    place.setOrigin(position);
    body->getRigidBody()->setWorldTransform(place);
    body->getRigidBody()->setActivationState(DISABLE_DEACTIVATION);
    world()->addRigidBody(body->getRigidBody());
    if (body->getVehicle())
        world()->addVehicle(body->getVehicle());
    return body;
}

btRigidBody* PhysicsWorldTest::addBox(const btVector3& halfExtents, const btVector3& position,
                                      float mass)
{
    btCollisionShape* shape = new btBoxShape(halfExtents);
    btVector3 inertia(0, 0, 0);
    if (mass > 0)
        shape->calculateLocalInertia(mass, inertia);
    btTransform place;
    place.setIdentity();
    place.setOrigin(position);
    btRigidBody* box = new btRigidBody(mass, new btDefaultMotionState(place), shape, inertia);
    box->setActivationState(DISABLE_DEACTIVATION);
    world()->addRigidBody(box);
    boxes.push_back(box);
    return box;
}

void PhysicsWorldTest::step(int count, float dt)
{
    for (int i = 0; i < count; ++i)
        world()->stepSimulation(dt, 1, dt);
}

} // namespace physicstest
