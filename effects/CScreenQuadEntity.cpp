#include "effects/CScreenQuadEntity.h"

using namespace irr;

namespace {

const f32 kCornerX[4] = {-1, 1, 1, -1};
const f32 kCornerY[4] = {1, 1, -1, -1};
const f32 kCornerU[4] = {0, 1, 1, 0};
const f32 kCornerV[4] = {0, 0, 1, 1};

} // namespace

CScreenQuadEntity::CScreenQuadEntity(scene::ISceneNode* parent, scene::ISceneManager* sceneManager,
                                     s32 id)
    : scene::ISceneNode(parent, sceneManager, id), wholeTexture(true), position(0, 0)
{
    const u16 order[6] = {0, 2, 3, 0, 1, 2};
    for (int i = 0; i < 6; ++i)
        indices[i] = order[i];
    for (int i = 0; i < 4; ++i) {
        vertices[i] = video::S3DVertex(kCornerX[i], kCornerY[i], 0, 0, 0, 0,
                                       video::SColor(0xFF0000FF), kCornerU[i], kCornerV[i]);
    }
    for (int i = 0; i < 6; ++i)
        meshBuffer.Indices.push_back(indices[i]);
    for (int i = 0; i < 4; ++i)
        meshBuffer.Vertices.push_back(vertices[i]);
    meshBuffer.setHardwareMappingHint(scene::EHM_STREAM, scene::EBT_VERTEX_AND_INDEX);
    meshBuffer.recalculateBoundingBox();

    box.reset(vertices[0].Pos);
    for (int i = 1; i < 4; ++i)
        box.addInternalPoint(vertices[i].Pos);

    material.Lighting = false;
    material.ZWriteEnable = false;
    material.setTexture(0, nullptr);
    material.MaterialType = video::EMT_SOLID;

    const core::dimension2d<u32> screen = sceneManager->getVideoDriver()->getScreenSize();
    sourceRect = core::rect<s32>(0, 0, static_cast<s32>(screen.Width), static_cast<s32>(screen.Height));
}

void CScreenQuadEntity::OnRegisterSceneNode()
{
    if (IsVisible)
        SceneManager->registerNodeForRendering(this, scene::ESNRP_AUTOMATIC);
    ISceneNode::OnRegisterSceneNode();
}

void CScreenQuadEntity::render()
{
    video::ITexture* texture = material.getTexture(0);
    if (!texture)
        return;
    if (sourceRect.LowerRightCorner.X < sourceRect.UpperLeftCorner.X ||
        sourceRect.LowerRightCorner.Y < sourceRect.UpperLeftCorner.Y)
        return;

    video::IVideoDriver* driver = SceneManager->getVideoDriver();
    s32 w = sourceRect.getWidth();
    s32 h = sourceRect.getHeight();
    s32 x = position.X;
    s32 y = position.Y;
    s32 sx = sourceRect.UpperLeftCorner.X;
    s32 sy = sourceRect.UpperLeftCorner.Y;
    const core::dimension2d<u32> target = driver->getCurrentRenderTargetSize();
    const s32 W = static_cast<s32>(target.Width);
    const s32 H = static_cast<s32>(target.Height);

    // Clip to the render target; the image is cut, never scaled.
    if (x < 0) {
        w += x;
        if (w <= 0)
            return;
        sx -= x;
        x = 0;
    }
    if (x + w > W) {
        w = W - x;
        if (w <= 0)
            return;
    }
    if (y < 0) {
        h += y;
        if (h <= 0)
            return;
        sy -= y;
        y = 0;
    }
    if (y + h > H) {
        h = H - y;
        if (h <= 0)
            return;
    }

    f32 u0 = 0, v0 = 0, u1 = 1, v1 = 1;
    if (!wholeTexture) {
        const core::dimension2d<u32> original = texture->getOriginalSize();
        const f32 ow = static_cast<f32>(original.Width);
        const f32 oh = static_cast<f32>(original.Height);
        u0 = (sx + 0.5f) / ow;
        v0 = (sy + 0.5f) / oh;
        u1 = (sx + 0.5f + w) / ow;
        v1 = (sy + 0.5f + h) / oh;
    }

    const f32 xf = 2.0f / W;
    const f32 yf = 2.0f / H;
    const s32 hx = -(W / 2);
    const s32 hy = H / 2;
    const f32 left = (x + hx) * xf;
    const f32 right = (x + w + hx) * xf;
    const f32 top = (hy - y) * yf;
    const f32 bottom = (hy - (y + h)) * yf;

    const video::SColor white(0xFFFFFFFF);
    vertices[0] = video::S3DVertex(left, top, 0, 0, 0, 0, white, u0, v0);
    vertices[1] = video::S3DVertex(right, top, 0, 0, 0, 0, white, u1, v0);
    vertices[2] = video::S3DVertex(right, bottom, 0, 0, 0, 0, white, u1, v1);
    vertices[3] = video::S3DVertex(left, bottom, 0, 0, 0, 0, white, u0, v1);

    static const u16 imageIndices[6] = {0, 1, 2, 0, 2, 3};
    driver->setMaterial(material);
    driver->setTransform(video::ETS_WORLD, core::IdentityMatrix);
    driver->setTransform(video::ETS_VIEW, core::IdentityMatrix);
    driver->setTransform(video::ETS_PROJECTION, core::IdentityMatrix);
    driver->drawVertexPrimitiveList(vertices, 4, imageIndices, 2, video::EVT_STANDARD,
                                    scene::EPT_TRIANGLES, video::EIT_16BIT);
}

void CScreenQuadEntity::renderWith(video::ITexture* texture, bool whole,
                                   const core::position2d<s32>& at, const core::rect<s32>& source,
                                   const video::E_MATERIAL_TYPE& materialType)
{
    if (!texture || source.LowerRightCorner.X < source.UpperLeftCorner.X ||
        source.LowerRightCorner.Y < source.UpperLeftCorner.Y)
        return;

    video::SMaterialLayer& layer = material.TextureLayer[0];
    video::ITexture* savedTexture = layer.Texture;
    const bool savedBilinear = layer.BilinearFilter;
    const u8 savedWrapU = layer.TextureWrapU;
    const u8 savedWrapV = layer.TextureWrapV;
    const video::E_MATERIAL_TYPE savedType = material.MaterialType;
    const bool savedWhole = wholeTexture;
    const core::position2d<s32> savedPosition = position;
    const core::rect<s32> savedSource = sourceRect;

    layer.Texture = texture;
    layer.BilinearFilter = true;
    layer.TextureWrapU = video::ETC_REPEAT;
    layer.TextureWrapV = video::ETC_REPEAT;
    material.MaterialType = materialType;
    wholeTexture = whole;
    position = at;
    sourceRect = source;

    render();

    layer.Texture = savedTexture;
    layer.BilinearFilter = savedBilinear;
    layer.TextureWrapU = savedWrapU;
    layer.TextureWrapV = savedWrapV;
    material.MaterialType = savedType;
    wholeTexture = savedWhole;
    position = savedPosition;
    sourceRect = savedSource;
}

void CScreenQuadEntity::restoreCorners()
{
    for (int i = 0; i < 4; ++i) {
        vertices[i] = video::S3DVertex(kCornerX[i], kCornerY[i], 0, 0, 0, 0,
                                       video::SColor(0xFFFFFFFF), kCornerU[i], kCornerV[i]);
    }
}

void CScreenQuadEntity::drawQuad()
{
    restoreCorners();
    video::IVideoDriver* driver = SceneManager->getVideoDriver();
    driver->setMaterial(material);
    driver->setTransform(video::ETS_WORLD, AbsoluteTransformation);
    driver->drawVertexPrimitiveList(vertices, 4, indices, 2, video::EVT_STANDARD,
                                    scene::EPT_TRIANGLES, video::EIT_16BIT);
    driver->drawMeshBuffer(&meshBuffer);
}

const core::aabbox3d<f32>& CScreenQuadEntity::getBoundingBox() const { return box; }
video::SMaterial& CScreenQuadEntity::getMaterial(u32) { return material; }
u32 CScreenQuadEntity::getMaterialCount() const { return 1; }
core::position2d<s32> CScreenQuadEntity::getImagePosition() const { return position; }
void CScreenQuadEntity::setImagePosition(const core::position2d<s32>& at) { position = at; }
core::rect<s32> CScreenQuadEntity::getSourceRect() const { return sourceRect; }
void CScreenQuadEntity::setSourceRect(const core::rect<s32>& source) { sourceRect = source; }
bool CScreenQuadEntity::isWholeTexture() const { return wholeTexture; }
void CScreenQuadEntity::setWholeTexture(bool whole) { wholeTexture = whole; }
