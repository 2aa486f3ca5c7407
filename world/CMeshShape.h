#pragma once
#include <BulletCollision/CollisionShapes/btBvhTriangleMeshShape.h>

class btOptimizedBvh;
class btStridingMeshInterface;

// The collision shape of a static triangle mesh (the ground, the scenery): the physics library's
// own mesh shape over a tree equal to the one the library builds, node for node and bit for bit,
// so the cars drive on it exactly as before, but built in a fraction of the time. The library's
// build works out every triangle's centre and bounds afresh on each level of the tree, and finds
// the mesh's bounds with six passes over it; on a ground of 200 000 triangles that was over half of
// a mission's load. A mesh our build does not cover (coordinates that are not finite or beyond any
// world, vertices that are not floats) gets the library's own build.
class CMeshShape : public btBvhTriangleMeshShape {
public:
    // The mesh is not owned and must outlive the shape.
    explicit CMeshShape(btStridingMeshInterface* mesh);
    ~CMeshShape() override;

    CMeshShape(const CMeshShape&) = delete;
    CMeshShape& operator=(const CMeshShape&) = delete;

private:
    btOptimizedBvh* tree; // ours, when our build made it
};
