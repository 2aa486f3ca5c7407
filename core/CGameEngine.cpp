#include "core/CGameEngine.h"

#include <algorithm>
#include <btBulletDynamicsCommon.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/SGameSettings.h"
#include "core/WorldLimits.h"
#include "effects/CScreenQuadEntity.h"
#include "font/CGUITTFont.h"
#include "platform/CDDSImageLoader.h"
#include "platform/XErrorHandler.h"

using namespace irr;

CGameEngine::CGameEngine(SGameSettings* settings)
    : CGameEngine(settings, settings->graphicMode == 1 ? video::EDT_DIRECT3D9 : video::EDT_OPENGL)
{
}

CGameEngine::CGameEngine(SGameSettings* settings, video::E_DRIVER_TYPE driverType)
    : lastFrameTime(0), frameTime(0), frameDeltaMs(0), frameDelta(0), pauseStartTime(0),
      pausedTime(0), skyBox(nullptr), device(nullptr), driver(nullptr), sceneManager(nullptr),
      collisionConfiguration(nullptr), dispatcher(nullptr), broadphase(nullptr), solver(nullptr),
      dynamicsWorld(nullptr), lastClickMs(0), clickSeen(false), clicksFrom(0), gameState(EGS_QUIT), screenQuad(nullptr), goCap(nullptr),
      itemsCreator(nullptr), holdingPhysicsMeshes(false)
{
    open(settings, driverType);
}

void CGameEngine::open(SGameSettings* settings, video::E_DRIVER_TYPE driverType)
{
    if (driverType == video::EDT_DIRECT3D9) {
        std::printf("Warning: DirectX is not available on this system, the game uses OpenGL\n");
        driverType = video::EDT_OPENGL;
    }
    if (driverType != video::EDT_NULL)
        installXErrorHandler();

    SIrrlichtCreationParameters params;
    params.DeviceType = EIDT_BEST;
    params.DriverType = driverType;
    params.WindowSize = core::dimension2d<u32>(settings->width, settings->height);
    params.Bits = 24;
    params.ZBufferBits = 16;
    params.Fullscreen = settings->fullscreen;
    params.Stencilbuffer = false;
    params.Vsync = settings->vSync;
    params.AntiAlias = settings->antiAliasing ? 1 : 0;
    params.HandleSRGB = false;
    params.WithAlphaChannel = false;
    params.Doublebuffer = true;
    params.IgnoreInput = false;
    params.Stereobuffer = false;
    params.HighPrecisionFPU = false;
    params.EventReceiver = &input;
    params.WindowId = 0;
    params.LoggingLevel = ELL_INFORMATION;
    params.DisplayAdapter = 0;
    params.DriverMultithreaded = false;
    params.UsePerformanceTimer = true;

    device = createDeviceEx(params);
    if (!device) {
        std::printf("ERROR: Could not open the game window (%u x %u, OpenGL)\n",
                    settings->width, settings->height);
        return;
    }
    driver = device->getVideoDriver();
    sceneManager = device->getSceneManager();

    // Our own DDS reader: the sky and the menu backgrounds are DDS files.
    video::IImageLoader* ddsLoader = new CDDSImageLoader(driver);
    driver->addExternalImageLoader(ddsLoader);
    ddsLoader->drop();

    device->getCursorControl()->setVisible(false);
    device->setWindowCaption(L"Sandvolt v1.0.1");

    scene::ICameraSceneNode* camera = sceneManager->addCameraSceneNode(
        nullptr, core::vector3df(0, 0, 0), core::vector3df(0, 0, 100), -1, true);
    camera->setFarValue(100000.0f);

    driver->setTextureCreationFlag(video::ETCF_CREATE_MIP_MAPS, false);
    screenQuad = new CScreenQuadEntity(nullptr, sceneManager, 0);
    for (u32 layer = 0; layer < video::MATERIAL_MAX_TEXTURES; ++layer) {
        screenQuad->getMaterial(0).TextureLayer[layer].TextureWrapU = video::ETC_CLAMP;
        screenQuad->getMaterial(0).TextureLayer[layer].TextureWrapV = video::ETC_CLAMP;
    }
    driver->setTextureCreationFlag(video::ETCF_CREATE_MIP_MAPS, true);

    collisionConfiguration = new btDefaultCollisionConfiguration(btDefaultCollisionConstructionInfo());
    dispatcher = new btCollisionDispatcher(collisionConfiguration);
    broadphase = new btDbvtBroadphase();
    solver = new btSequentialImpulseConstraintSolver();
    dynamicsWorld = new btDiscreteDynamicsWorld(dispatcher, broadphase, solver, collisionConfiguration);
    dynamicsWorld->setGravity(btVector3(0, -20, 0));
    // Only bodies that may move get their bounds recomputed each step: the ground and the props at
    // rest keep theirs, and stay in the broadphase's tree of fixed bodies.
    dynamicsWorld->setForceUpdateAllAabbs(false);
}

CGameEngine::~CGameEngine()
{
    // The fonts hold the video driver and their page textures: they go before the device.
    for (gui::CGUITTFont* font : fonts)
        delete font;
    fonts.clear();
    delete screenQuad;
    if (device) {
        device->run();
        device->drop();
    }
    // Everything that lived in the world (the mission's bodies) is gone by now.
    delete dynamicsWorld;
    delete solver;
    delete broadphase;
    delete dispatcher;
    delete collisionConfiguration;
}

IrrlichtDevice* CGameEngine::getDevice() { return device; }
video::IVideoDriver* CGameEngine::getVideoDriver() { return driver; }
scene::ISceneManager* CGameEngine::getSceneManager() { return sceneManager; }
btDiscreteDynamicsWorld* CGameEngine::getDynamicsWorld() { return dynamicsWorld; }
GameControllerEvent CGameEngine::getInput()
{
    GameControllerEvent copy = input;
    if (clicksFrom > 0 && device && device->getTimer()->getTime() < clicksFrom) {
        copy.leftMousePressed = false;
        copy.rightMousePressed = false;
        copy.middleMousePressed = false;
    }
    return copy;
}

void CGameEngine::clickTaken()
{
    if (!device)
        return;
    lastClickMs = device->getTimer()->getTime();
    clickSeen = true;
}

void CGameEngine::holdClicksAfterLastClick(u32 ms)
{
    clicksFrom = clickSeen ? lastClickMs + ms : 0;
}

bool CGameEngine::run()
{
    input.startFrame();
    return device->run();
}
void CGameEngine::setGameState(int state) { gameState = state; }
int CGameEngine::getGameState() { return gameState; }
CScreenQuadEntity* CGameEngine::getScreenQuad() { return screenQuad; }
CGoCapRecorder* CGameEngine::getGoCap() { return goCap; }
CItemsCreator* CGameEngine::getItemsCreator() { return itemsCreator; }

gui::CGUITTFont* CGameEngine::getFont(std::string path, u32 size)
{
    gui::CGUITTFont* font = findFont(path, size);
    if (font || !device)
        return font;
    font = gui::CGUITTFont::createTTFont(device, path.c_str(), size, true, true);
    if (font)
        fonts.push_back(font);
    return font;
}

gui::CGUITTFont* CGameEngine::findFont(std::string path, u32 size)
{
    for (gui::CGUITTFont* font : fonts) {
        const io::path& name = font->getFontFileName();
        if (font->getFontSize() == size && path.size() == name.size() && path == name.c_str())
            return font;
    }
    return nullptr;
}

void CGameEngine::setGoCap(CGoCapRecorder* recorder)
{
    if (recorder)
        goCap = recorder;
}

void CGameEngine::setItemsCreator(CItemsCreator* creator)
{
    if (creator)
        itemsCreator = creator;
}

btTriangleMesh* CGameEngine::createTriangleMesh(scene::IMesh* mesh, const core::vector3df& scale,
                                                const std::string& name)
{
    btTriangleMesh* triangles = new btTriangleMesh(true, false);
    if (!mesh)
        return triangles;
    // Room for every corner up front: growing the arrays corner by corner copied a ground's
    // triangles over many times.
    u32 corners = 0;
    for (u32 b = 0; b < mesh->getMeshBufferCount(); ++b)
        corners += mesh->getMeshBuffer(b)->getIndexCount() / 3 * 3;
    triangles->preallocateVertices(static_cast<int>(3 * corners)); // counted in coordinates
    triangles->preallocateIndices(static_cast<int>(corners));
    // Twice the area of the smallest triangle kept, squared: a triangle without area gives no
    // contact but is still sorted into the tree.
    const btScalar kFlattest = btScalar(1e-12);
    int notFinite = 0, beyondWorld = 0, flat = 0;
    for (u32 b = 0; b < mesh->getMeshBufferCount(); ++b) {
        // Every vertex type counts: a mesh exported with tangents (for normal maps) must still
        // be solid, or the cars fall through it.
        scene::IMeshBuffer* buffer = mesh->getMeshBuffer(b);
        const u32 vertexCount = buffer->getVertexCount();
        const u32 indexCount = buffer->getIndexCount();
        const bool wide = buffer->getIndexType() == video::EIT_32BIT;
        const u16* indices16 = buffer->getIndices();
        const u32* indices32 = reinterpret_cast<const u32*>(buffer->getIndices());
        for (u32 i = 0; i + 2 < indexCount; i += 3) {
            u32 corner[3];
            for (int k = 0; k < 3; ++k)
                corner[k] = wide ? indices32[i + k] : indices16[i + k];
            // A broken mesh file must not make us read past its vertices.
            if (corner[0] >= vertexCount || corner[1] >= vertexCount || corner[2] >= vertexCount)
                continue;
            btVector3 v[3];
            bool finite = true, near = true;
            for (int k = 0; k < 3; ++k) {
                const core::vector3df& p = buffer->getPosition(corner[k]);
                v[k] = btVector3(p.X * scale.X, p.Y * scale.Y, p.Z * scale.Z);
                for (int axis = 0; axis < 3; ++axis) {
                    finite = finite && std::isfinite(v[k][axis]);
                    near = near && std::fabs(v[k][axis]) <= worldlimits::kFarthest;
                }
            }
            if (!finite)
                ++notFinite;
            else if (!near)
                ++beyondWorld;
            else if ((v[1] - v[0]).cross(v[2] - v[0]).length2() <= kFlattest)
                ++flat;
            else
                triangles->addTriangle(v[0], v[1], v[2], false);
        }
    }
    const int dropped = notFinite + beyondWorld + flat;
    if (dropped > 0) {
        std::printf("Warning: physics mesh \"%s\": %d of its %d triangles are left out (%d not finite, "
                    "%d beyond any world, %d without area)\n", name.c_str(), dropped,
                    dropped + triangles->getNumTriangles(), notFinite, beyondWorld, flat);
    }
    return triangles;
}

void CGameEngine::releasePhysicsMesh(scene::IAnimatedMesh* mesh)
{
    if (!mesh)
        return;
    scene::IMeshCache* cache = sceneManager->getMeshCache();
    if (!holdingPhysicsMeshes) {
        cache->removeMesh(mesh);
        return;
    }
    const std::string name = cache->getMeshName(mesh).getPath().c_str();
    if (std::find(heldPhysicsMeshes.begin(), heldPhysicsMeshes.end(), name) == heldPhysicsMeshes.end())
        heldPhysicsMeshes.push_back(name);
}

void CGameEngine::holdPhysicsMeshes(bool hold)
{
    if (!hold) {
        scene::IMeshCache* cache = sceneManager->getMeshCache();
        for (const std::string& name : heldPhysicsMeshes) {
            scene::IAnimatedMesh* mesh = cache->getMeshByName(name.c_str());
            // The cache's own reference is the only one: no node shows it, no car keeps it.
            if (mesh && mesh->getReferenceCount() == 1)
                cache->removeMesh(mesh);
        }
        heldPhysicsMeshes.clear();
    }
    holdingPhysicsMeshes = hold;
}

namespace {

bool penetrates(const btPersistentManifold* manifold)
{
    for (int p = 0; p < manifold->getNumContacts(); ++p) {
        if (manifold->getContactPoint(p).getDistance() < 0.0f)
            return true;
    }
    return false;
}

} // namespace

bool CGameEngine::isTouching(const btCollisionObject* a, const btCollisionObject* b)
{
    btDispatcher* worldDispatcher = dynamicsWorld->getDispatcher();
    const int manifolds = worldDispatcher->getNumManifolds();
    for (int m = 0; m < manifolds; ++m) {
        btPersistentManifold* manifold = worldDispatcher->getManifoldByIndexInternal(m);
        const btCollisionObject* first = manifold->getBody0();
        const btCollisionObject* second = manifold->getBody1();
        if (((first == a && second == b) || (first == b && second == a)) && penetrates(manifold))
            return true;
    }
    return false;
}

void CGameEngine::touchingBodies(const btCollisionObject* a, std::vector<const btCollisionObject*>& out)
{
    out.clear();
    btDispatcher* worldDispatcher = dynamicsWorld->getDispatcher();
    const int manifolds = worldDispatcher->getNumManifolds();
    for (int m = 0; m < manifolds; ++m) {
        btPersistentManifold* manifold = worldDispatcher->getManifoldByIndexInternal(m);
        const btCollisionObject* first = manifold->getBody0();
        const btCollisionObject* second = manifold->getBody1();
        if ((first == a || second == a) && penetrates(manifold))
            out.push_back(first == a ? second : first);
    }
}

core::stringw toStringW(const char* text)
{
    if (!text)
        return core::stringw();
    const size_t length = std::strlen(text);
    std::vector<wchar_t> wide(length + 1, L'\0');
    const size_t converted = std::mbstowcs(wide.data(), text, length);
    if (converted == static_cast<size_t>(-1)) {
        // Not valid in the user's locale: show the bytes one by one rather than nothing.
        for (size_t i = 0; i < length; ++i)
            wide[i] = static_cast<unsigned char>(text[i]);
        wide[length] = L'\0';
    } else {
        wide[converted] = L'\0';
    }
    return core::stringw(wide.data());
}
