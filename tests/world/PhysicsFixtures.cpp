#include "PhysicsFixtures.h"

#include <cstdio>
#include <sstream>

#include "core/CGameEngine.h"
#include "world/CPhysicsBody.h"
#include "world/CVehicleTuningParams.h"

namespace physicstest {

std::string boxObj(float hx, float hy, float hz)
{
    std::ostringstream obj;
    for (int i = 0; i < 8; ++i)
        obj << "v " << ((i & 1) ? hx : -hx) << ' ' << ((i & 2) ? hy : -hy) << ' '
            << ((i & 4) ? hz : -hz) << '\n';
    // Two triangles per side; the winding does not matter to the physics.
    const int faces[6][4] = {{1, 2, 4, 3}, {5, 7, 8, 6}, {1, 5, 6, 2},
                             {3, 4, 8, 7}, {1, 3, 7, 5}, {2, 6, 8, 4}};
    for (const auto& f : faces) {
        obj << "f " << f[0] << ' ' << f[1] << ' ' << f[2] << '\n';
        obj << "f " << f[0] << ' ' << f[2] << ' ' << f[3] << '\n';
    }
    return obj.str();
}

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
