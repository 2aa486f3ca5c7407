#include "world/CChunkedMeshNode.h"

#include <algorithm>

using namespace irr;

namespace {

// A chunk's own vertices are indexed in 16 bits.
const u32 kMostVertices = 65535;

u32 indexAt(const scene::IMeshBuffer* buffer, u32 i)
{
    if (buffer->getIndexType() == video::EIT_32BIT)
        return reinterpret_cast<const u32*>(buffer->getIndices())[i];
    return buffer->getIndices()[i];
}

u32 cellOf(f32 at, f32 from, f32 to)
{
    if (to <= from)
        return 0;
    const s32 cell = static_cast<s32>((at - from) / (to - from) * CChunkedMeshNode::kCells);
    return static_cast<u32>(std::clamp<s32>(cell, 0, CChunkedMeshNode::kCells - 1));
}

// The triangles of `source` sorted into the cells of `extent` (in x and z), each cell's triangles
// in their order in the source, copied with their vertices into buffers of their own; `add` takes
// each new buffer over.
template <class TVertex, class TAdd>
void split(const scene::IMeshBuffer* source, const core::aabbox3d<f32>& extent, TAdd add)
{
    const TVertex* vertices = static_cast<const TVertex*>(source->getVertices());
    const u32 triangles = source->getIndexCount() / 3;
    std::vector<std::vector<u32>> cells(CChunkedMeshNode::kCells * CChunkedMeshNode::kCells);
    for (u32 t = 0; t < triangles; ++t) {
        core::vector3df centre(0, 0, 0);
        for (u32 k = 0; k < 3; ++k)
            centre += vertices[indexAt(source, 3 * t + k)].Pos;
        centre /= 3.0f;
        const u32 x = cellOf(centre.X, extent.MinEdge.X, extent.MaxEdge.X);
        const u32 z = cellOf(centre.Z, extent.MinEdge.Z, extent.MaxEdge.Z);
        cells[z * CChunkedMeshNode::kCells + x].push_back(t);
    }

    std::vector<s32> copied(source->getVertexCount(), -1);
    std::vector<u32> touched;
    for (const std::vector<u32>& cell : cells) {
        scene::CMeshBuffer<TVertex>* chunk = nullptr;
        auto finish = [&] {
            if (!chunk)
                return;
            chunk->Material = source->getMaterial();
            chunk->recalculateBoundingBox();
            chunk->setHardwareMappingHint(scene::EHM_STATIC, scene::EBT_VERTEX_AND_INDEX);
            add(chunk);
            chunk = nullptr;
            for (u32 v : touched)
                copied[v] = -1;
            touched.clear();
        };
        for (u32 t : cell) {
            if (chunk && chunk->Vertices.size() + 3 > kMostVertices)
                finish();
            if (!chunk)
                chunk = new scene::CMeshBuffer<TVertex>();
            for (u32 k = 0; k < 3; ++k) {
                const u32 v = indexAt(source, 3 * t + k);
                if (copied[v] < 0) {
                    copied[v] = static_cast<s32>(chunk->Vertices.size());
                    touched.push_back(v);
                    chunk->Vertices.push_back(vertices[v]);
                }
                chunk->Indices.push_back(static_cast<u16>(copied[v]));
            }
        }
        finish();
    }
}

} // namespace

CChunkedMeshNode::CChunkedMeshNode(scene::IMesh* mesh, scene::ISceneNode* parent,
                                   scene::ISceneManager* sceneManager, s32 id)
    : scene::IMeshSceneNode(parent, sceneManager, id), mesh(nullptr), readOnlyMaterials(false),
      chunksDrawn(0)
{
    setMesh(mesh);
}

CChunkedMeshNode::~CChunkedMeshNode()
{
    clearChunks();
    if (mesh)
        mesh->drop();
}

void CChunkedMeshNode::clearChunks()
{
    for (SChunk& chunk : chunks)
        chunk.buffer->drop();
    chunks.clear();
}

void CChunkedMeshNode::addChunk(scene::IMeshBuffer* buffer, u32 material)
{
    SChunk chunk;
    chunk.buffer = buffer;
    chunk.material = material;
    buffer->getBoundingBox().getEdges(chunk.corners);
    chunks.push_back(chunk);
}

void CChunkedMeshNode::setMesh(scene::IMesh* newMesh)
{
    if (!newMesh)
        return;
    newMesh->grab();
    if (mesh)
        mesh->drop();
    mesh = newMesh;
    clearChunks();
    materials.clear();
    box = mesh->getBoundingBox();
    for (u32 b = 0; b < mesh->getMeshBufferCount(); ++b) {
        const scene::IMeshBuffer* source = mesh->getMeshBuffer(b);
        materials.push_back(source->getMaterial());
        auto add = [&](scene::IMeshBuffer* chunk) { addChunk(chunk, b); };
        switch (source->getVertexType()) {
        case video::EVT_STANDARD:
            split<video::S3DVertex>(source, box, add);
            break;
        case video::EVT_2TCOORDS:
            split<video::S3DVertex2TCoords>(source, box, add);
            break;
        case video::EVT_TANGENTS:
            split<video::S3DVertexTangents>(source, box, add);
            break;
        }
    }
}

void CChunkedMeshNode::OnRegisterSceneNode()
{
    if (!IsVisible)
        return;
    // As the engine's mesh node: a node with transparent materials is drawn in the transparent
    // pass too (the ground's blend materials are).
    video::IVideoDriver* driver = SceneManager->getVideoDriver();
    bool solid = false, transparent = false;
    for (u32 i = 0; i < materials.size(); ++i) {
        video::IMaterialRenderer* renderer = driver->getMaterialRenderer(materials[i].MaterialType);
        (renderer && renderer->isTransparent() ? transparent : solid) = true;
    }
    if (solid)
        SceneManager->registerNodeForRendering(this, scene::ESNRP_SOLID);
    if (transparent)
        SceneManager->registerNodeForRendering(this, scene::ESNRP_TRANSPARENT);
    ISceneNode::OnRegisterSceneNode();
}

// As the engine culls a node by its box against the view: out when all eight corners lie in
// front of one of the frustum's planes.
bool CChunkedMeshNode::culled(const SChunk& chunk, const scene::SViewFrustum& view) const
{
    for (u32 p = 0; p < scene::SViewFrustum::VF_PLANE_COUNT; ++p) {
        bool inside = false;
        for (const core::vector3df& corner : chunk.corners) {
            if (view.planes[p].classifyPointRelation(corner) != core::ISREL3D_FRONT) {
                inside = true;
                break;
            }
        }
        if (!inside)
            return true;
    }
    return false;
}

void CChunkedMeshNode::render()
{
    video::IVideoDriver* driver = SceneManager->getVideoDriver();
    scene::ICameraSceneNode* camera = SceneManager->getActiveCamera();
    chunksDrawn = 0;
    if (!driver)
        return;
    const bool transparentPass = SceneManager->getSceneNodeRenderPass() == scene::ESNRP_TRANSPARENT;
    driver->setTransform(video::ETS_WORLD, AbsoluteTransformation);
    scene::SViewFrustum view;
    if (camera) {
        view = *camera->getViewFrustum();
        view.transform(core::matrix4(AbsoluteTransformation, core::matrix4::EM4CONST_INVERSE));
    }
    for (const SChunk& chunk : chunks) {
        const video::SMaterial& material =
            readOnlyMaterials ? chunk.buffer->getMaterial() : materials[chunk.material];
        video::IMaterialRenderer* renderer = driver->getMaterialRenderer(material.MaterialType);
        if ((renderer && renderer->isTransparent()) != transparentPass)
            continue;
        if (camera && culled(chunk, view))
            continue;
        driver->setMaterial(material);
        driver->drawMeshBuffer(chunk.buffer);
        ++chunksDrawn;
    }
}

const core::aabbox3d<f32>& CChunkedMeshNode::getBoundingBox() const { return box; }
video::SMaterial& CChunkedMeshNode::getMaterial(u32 index)
{
    return index < materials.size() ? materials[index] : ISceneNode::getMaterial(index);
}
u32 CChunkedMeshNode::getMaterialCount() const { return materials.size(); }
scene::ESCENE_NODE_TYPE CChunkedMeshNode::getType() const { return scene::ESNT_MESH; }
scene::IMesh* CChunkedMeshNode::getMesh() { return mesh; }
scene::IShadowVolumeSceneNode* CChunkedMeshNode::addShadowVolumeSceneNode(const scene::IMesh*, s32, bool, f32)
{
    return nullptr;
}
void CChunkedMeshNode::setReadOnlyMaterials(bool readonly) { readOnlyMaterials = readonly; }
bool CChunkedMeshNode::isReadOnlyMaterials() const { return readOnlyMaterials; }
u32 CChunkedMeshNode::getChunkCount() const { return static_cast<u32>(chunks.size()); }
scene::IMeshBuffer* CChunkedMeshNode::getChunk(u32 index) const { return chunks[index].buffer; }
u32 CChunkedMeshNode::getChunksDrawn() const { return chunksDrawn; }
