#pragma once
#include <irrlicht.h>
#include <string>
#include <vector>

#include "core/GameControllerEvent.h"

// The engine and the game were built for five texture layers per material (the shadow map sits in
// layer 4); a stock engine header would silently change every SMaterial's layout.
static_assert(irr::video::MATERIAL_MAX_TEXTURES == 5, "the engine library must have 5 texture layers");

class btBroadphaseInterface;
class btCollisionDispatcher;
class btCollisionObject;
class btConstraintSolver;
class btDefaultCollisionConfiguration;
class btDiscreteDynamicsWorld;
class btTriangleMesh;
class CGoCapRecorder;
class CItemsCreator;
class CScreenQuadEntity;
struct SGameSettings;
namespace irr {
namespace gui {
class CGUITTFont;
}
} // namespace irr

enum EGameState { EGS_MENU = 0, EGS_RACE = 1, EGS_QUIT = 2 };

// The one object through which the game reaches the engine library and the physics world.
class CGameEngine {
public:
    // Opens the window with the driver the settings ask for.
    explicit CGameEngine(SGameSettings* settings);
    // Opens the device with the given driver; tests use the null driver and stop its timer.
    CGameEngine(SGameSettings* settings, irr::video::E_DRIVER_TYPE driverType);
    ~CGameEngine();

    irr::IrrlichtDevice* getDevice();
    irr::video::IVideoDriver* getVideoDriver();
    irr::scene::ISceneManager* getSceneManager();
    btDiscreteDynamicsWorld* getDynamicsWorld();
    // A copy of the input as it stands; mouse presses read as none while clicks are held.
    GameControllerEvent getInput();
    // A widget took a click now, by the device's clock.
    void clickTaken();
    // Mouse presses read as none until `ms` after the last click taken: a screen that a click has
    // just opened does not take the second click of a double click.
    void holdClicksAfterLastClick(irr::u32 ms);
    // One frame's turn of the device: forgets the presses the last frame read, then lets the
    // device deliver the new events. False once the window has closed.
    bool run();
    void setGameState(int state);
    int getGameState();
    CScreenQuadEntity* getScreenQuad();
    // The font of this file and pixel size, made on first use and kept until shut-down; callers
    // neither grab nor drop it. Null when the font cannot be loaded (nothing is kept then).
    irr::gui::CGUITTFont* getFont(std::string path, irr::u32 size);
    // The cached font of exactly this file name and size, or null.
    irr::gui::CGUITTFont* findFont(std::string path, irr::u32 size);
    void setGoCap(CGoCapRecorder* recorder);
    CGoCapRecorder* getGoCap();
    void setItemsCreator(CItemsCreator* creator);
    CItemsCreator* getItemsCreator();

    // A physics triangle mesh of the mesh's triangles, scaled; the caller owns it. Triangles no
    // shape can use are left out, with a warning naming `name`: a corner that is not a finite
    // number or lies beyond any world (one such corner spoils the whole collision tree and the
    // cars fall through), and triangles without area (a heap of them stalls the tree's build).
    btTriangleMesh* createTriangleMesh(irr::scene::IMesh* mesh, const irr::core::vector3df& scale,
                                       const std::string& name = "");
    // A mesh the cache holds only because a physics shape was read from it leaves the cache. While
    // such meshes are held (through a mission's load) they stay until the hold ends, so that a file
    // that the scene or further bodies need as well is read once; then those that nothing else
    // holds go.
    void releasePhysicsMesh(irr::scene::IAnimatedMesh* mesh);
    void holdPhysicsMeshes(bool hold);
    // True when the two bodies' contact manifolds hold a penetrating point.
    bool isTouching(const btCollisionObject* a, const btCollisionObject* b);
    // Every body whose contact manifold with `a` holds a penetrating point, in one pass over the
    // manifolds: checking many bodies against one this way costs one pass, not one per body.
    void touchingBodies(const btCollisionObject* a, std::vector<const btCollisionObject*>& out);

    irr::video::SMaterial defaultMaterial;
    irr::f32 lastFrameTime;
    irr::f32 frameTime;
    irr::f32 frameDeltaMs;
    irr::f32 frameDelta;
    irr::f32 pauseStartTime;
    irr::f32 pausedTime;
    irr::scene::ISceneNode* skyBox;

private:
    void open(SGameSettings* settings, irr::video::E_DRIVER_TYPE driverType);

    irr::IrrlichtDevice* device;
    irr::video::IVideoDriver* driver;
    irr::scene::ISceneManager* sceneManager;
    btDefaultCollisionConfiguration* collisionConfiguration;
    btCollisionDispatcher* dispatcher;
    btBroadphaseInterface* broadphase;
    btConstraintSolver* solver;
    btDiscreteDynamicsWorld* dynamicsWorld;
    GameControllerEvent input;
    irr::u32 lastClickMs;
    bool clickSeen;
    irr::u32 clicksFrom;
    int gameState;
    std::vector<irr::gui::CGUITTFont*> fonts;
    CScreenQuadEntity* screenQuad;
    CGoCapRecorder* goCap;
    CItemsCreator* itemsCreator;
    bool holdingPhysicsMeshes;
    std::vector<std::string> heldPhysicsMeshes; // by name: a mesh may leave the cache meanwhile
};

// An engine wide string from narrow text in the user's locale.
irr::core::stringw toStringW(const char* text);
