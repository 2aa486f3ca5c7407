#pragma once
#include <LinearMath/btTransform.h>
#include <irrlicht.h>

class btRigidBody;

// Where a rigid body stands, as the mission files give it and as the scene shows it.

// A place given as the mission files and the scene nodes give it: a position, and Euler angles
// in degrees.
btTransform transformFromDegrees(const irr::core::vector3df& position,
                                 const irr::core::vector3df& rotationDegrees);

// The transform the scene shows between physics steps (the motion state's, interpolated).
btTransform shownTransform(const btRigidBody* body);

// Puts the body somewhere at once: also the transform the nodes and the camera follow between
// physics steps, which would otherwise show the body where it was until the next step.
void moveBody(btRigidBody* body, const btTransform& transform);
