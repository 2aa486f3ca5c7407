#include "world/SceneUse.h"

#include <algorithm>

#include "core/CGameEngine.h"

using namespace irr;

namespace {

bool materialUses(const video::SMaterial& material, const video::ITexture* texture)
{
    for (u32 k = 0; k < video::MATERIAL_MAX_TEXTURES; ++k) {
        if (material.getTexture(k) == texture)
            return true;
    }
    return false;
}

} // namespace

bool sceneUsesTexture(scene::ISceneNode* node, const video::ITexture* texture)
{
    if (!node)
        return false;
    for (u32 i = 0; i < node->getMaterialCount(); ++i) {
        if (materialUses(node->getMaterial(i), texture))
            return true;
    }
    const core::list<scene::ISceneNode*>& children = node->getChildren();
    for (core::list<scene::ISceneNode*>::ConstIterator it = children.begin(); it != children.end(); ++it) {
        if (sceneUsesTexture(*it, texture))
            return true;
    }
    return false;
}

bool meshCacheUsesTexture(scene::IMeshCache* cache, const video::ITexture* texture)
{
    if (!cache)
        return false;
    for (u32 m = 0; m < cache->getMeshCount(); ++m) {
        scene::IAnimatedMesh* mesh = cache->getMeshByIndex(m);
        if (!mesh)
            continue;
        for (u32 b = 0; b < mesh->getMeshBufferCount(); ++b) {
            if (materialUses(mesh->getMeshBuffer(b)->getMaterial(), texture))
                return true;
        }
    }
    return false;
}

bool sceneShowsMesh(scene::ISceneNode* node, const scene::IMesh* mesh)
{
    if (!node || !mesh)
        return false;
    switch (node->getType()) {
    case scene::ESNT_MESH:
    case scene::ESNT_OCTREE:
        if (static_cast<scene::IMeshSceneNode*>(node)->getMesh() == mesh)
            return true;
        break;
    case scene::ESNT_ANIMATED_MESH:
        if (static_cast<scene::IAnimatedMeshSceneNode*>(node)->getMesh() == mesh)
            return true;
        break;
    default:
        break;
    }
    const core::list<scene::ISceneNode*>& children = node->getChildren();
    for (core::list<scene::ISceneNode*>::ConstIterator it = children.begin(); it != children.end(); ++it) {
        if (sceneShowsMesh(*it, mesh))
            return true;
    }
    return false;
}

void releaseUnusedTextures(CGameEngine* engine, const std::vector<video::ITexture*>& textures)
{
    if (!engine || !engine->getVideoDriver() || !engine->getSceneManager())
        return;
    video::IVideoDriver* driver = engine->getVideoDriver();
    scene::ISceneManager* sceneManager = engine->getSceneManager();
    std::vector<video::ITexture*> released;
    for (video::ITexture* texture : textures) {
        if (!texture || std::find(released.begin(), released.end(), texture) != released.end())
            continue;
        if (sceneUsesTexture(sceneManager->getRootSceneNode(), texture) ||
            meshCacheUsesTexture(sceneManager->getMeshCache(), texture))
            continue;
        released.push_back(texture);
        driver->removeTexture(texture);
    }
}
