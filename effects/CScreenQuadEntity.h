#pragma once
#include <irrlicht.h>

// A scene node that draws one textured quad with a material of its own: either a texture (or a
// rectangle of it) at a pixel position of the current render target, or the whole render target
// for a post-processing pass. Only explicit calls draw it; it is never registered for drawing.
class CScreenQuadEntity : public irr::scene::ISceneNode {
public:
    CScreenQuadEntity(irr::scene::ISceneNode* parent, irr::scene::ISceneManager* sceneManager,
                      irr::s32 id);

    virtual void OnRegisterSceneNode();
    virtual void render();
    virtual const irr::core::aabbox3d<irr::f32>& getBoundingBox() const;
    virtual irr::video::SMaterial& getMaterial(irr::u32 index);
    virtual irr::u32 getMaterialCount() const;

    // Draws `texture` once with these settings and leaves the node as it was.
    virtual void renderWith(irr::video::ITexture* texture, bool wholeTexture,
                            const irr::core::position2d<irr::s32>& position,
                            const irr::core::rect<irr::s32>& sourceRect,
                            const irr::video::E_MATERIAL_TYPE& materialType);
    virtual irr::core::position2d<irr::s32> getImagePosition() const;
    virtual void setImagePosition(const irr::core::position2d<irr::s32>& position);
    virtual irr::core::rect<irr::s32> getSourceRect() const;
    virtual void setSourceRect(const irr::core::rect<irr::s32>& sourceRect);
    virtual bool isWholeTexture() const;
    virtual void setWholeTexture(bool wholeTexture);

    // Covers the whole current render target with `material`.
    void drawQuad();

private:
    void restoreCorners();

    irr::core::aabbox3d<irr::f32> box;
    irr::scene::CMeshBuffer<irr::video::S3DVertex> meshBuffer;
    irr::u16 indices[6];
    irr::video::S3DVertex vertices[4];
    irr::video::SMaterial material;
    bool wholeTexture;
    irr::core::position2d<irr::s32> position;
    irr::core::rect<irr::s32> sourceRect;
};
