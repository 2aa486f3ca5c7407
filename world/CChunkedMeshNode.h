#pragma once
#include <irrlicht.h>
#include <vector>

// A large mesh drawn in chunks that the camera culls one by one: the ground's triangles are
// sorted into a grid of cells over its extent, and a frame draws only the cells that reach into
// the view. Otherwise it behaves as the engine's mesh node: one material per buffer of the mesh,
// drawn in the solid or the transparent pass by its material, and getMesh() is the whole mesh it
// was made from (which stays untouched, so the collision shape built from it is the same).
class CChunkedMeshNode : public irr::scene::IMeshSceneNode {
public:
    // Cells along x and along z of the mesh's box.
    static const irr::u32 kCells = 8;

    CChunkedMeshNode(irr::scene::IMesh* mesh, irr::scene::ISceneNode* parent,
                     irr::scene::ISceneManager* sceneManager, irr::s32 id);
    ~CChunkedMeshNode() override;

    void OnRegisterSceneNode() override;
    void render() override;
    const irr::core::aabbox3d<irr::f32>& getBoundingBox() const override;
    irr::video::SMaterial& getMaterial(irr::u32 index) override;
    irr::u32 getMaterialCount() const override;
    irr::scene::ESCENE_NODE_TYPE getType() const override;

    void setMesh(irr::scene::IMesh* mesh) override;
    irr::scene::IMesh* getMesh() override;
    irr::scene::IShadowVolumeSceneNode* addShadowVolumeSceneNode(const irr::scene::IMesh* shadowMesh,
                                                                  irr::s32 id, bool zfailmethod,
                                                                  irr::f32 infinity) override;
    void setReadOnlyMaterials(bool readonly) override;
    bool isReadOnlyMaterials() const override;

    // The chunk buffers, for the tests.
    irr::u32 getChunkCount() const;
    irr::scene::IMeshBuffer* getChunk(irr::u32 index) const;
    // Chunks drawn by the last render().
    irr::u32 getChunksDrawn() const;

private:
    struct SChunk {
        irr::scene::IMeshBuffer* buffer;
        irr::u32 material; // index of the mesh buffer it came from
        irr::core::vector3df corners[8];
    };

    void clearChunks();
    void addChunk(irr::scene::IMeshBuffer* buffer, irr::u32 material);
    bool culled(const SChunk& chunk, const irr::scene::SViewFrustum& view) const;

    irr::scene::IMesh* mesh;
    std::vector<SChunk> chunks;
    irr::core::array<irr::video::SMaterial> materials;
    irr::core::aabbox3d<irr::f32> box;
    bool readOnlyMaterials;
    irr::u32 chunksDrawn;
};
