#pragma once
#include <irrlicht.h>
#include <string>

#include "race/CRaceCanvas.h"

namespace irr {
namespace gui {
class CGUITTFont;
}
} // namespace irr

class CChaseCamera;
class CEntityManager;
class CGameData;
class CGameEngine;
class CGuiTextButton;
class CMenu;
class CShaderManager;
class CSoundManager;
class CTranslation;
class CVehicleEntity;
class btDynamicsWorld;
struct SGameSettings;

// The race: runs the loaded mission frame by frame (countdown, cars, physics, items, laps,
// standings, camera, sound, drawing) until the player leaves to the menu, the race ends or the
// window closes. The loop and the rules live in CRace.cpp, the scene passes in CRaceScene.cpp and
// the race display in CRaceDisplay.cpp.
class CRace {
public:
    CRace(CGameEngine* engine, SGameSettings* settings, CGameData* gameData,
          CEntityManager* entities, CSoundManager* sound, CChaseCamera* camera,
          CShaderManager* shaders, CMenu* menu, CTranslation* texts);
    ~CRace();

    CRace(const CRace&) = delete;
    CRace& operator=(const CRace&) = delete;

    // At every entry into the race state, also when a paused race goes on: the loaded scene's
    // materials, the engine sounds' volume and the music.
    void prepareMaterials();
    // Runs frames until the race is left, ends or the window closes; the game state tells which.
    void run();
    void resetCounters();

    // run() in pieces, for callers that move the clock themselves: begin() is the entry,
    // runFrame() one frame; false once the race loop is over (left or ended, the game state set).
    void begin();
    bool runFrame();
    // The frame's rules, controls, physics, camera and sound, without drawing.
    bool updateFrame();
    // beginScene, drawScene, drawDisplay, endScene.
    void drawFrame();
    void drawScene();
    void drawDisplay();
    // The display draws on `canvas` from now on; null puts the screen back.
    void setCanvas(CRaceCanvas* canvas);

    // The player has won (or, before any finish, would win) the race as it stands.
    bool isWon() const;

private:
    irr::f32 timerNow();
    irr::f32 gameClock();
    irr::f32 raceStart();
    CVehicleEntity* playerVehicle();

    void accountPause();
    void updateWonFlag();
    bool wantsToLeave();
    void leaveToMenu();
    void runCountdown();
    bool finishWaitOver();
    void controlVehicles();
    // Between the physics steps of one frame: the computer cars drive on what they see then.
    static void driveBetweenSteps(btDynamicsWorld* world, irr::f32 step);
    void driveComputerCars(irr::f32 step);
    void updateEntities();
    void measureWorld();
    bool hasLeftTheWorld(CVehicleEntity* vehicle);
    void putBackOnTrack(CVehicleEntity* vehicle);
    void updateItems();
    void updateCheckpoints();
    void updateNavigation();
    void updateFinishing();
    void updateCamera();
    void updateSounds();
    void pauseSounds();
    void endRace();

    // The last mission won: the closing sequence runs before the race ends.
    bool endsTheLadder() const;

    // The race display, in CRaceDisplay.cpp.
    void buildDisplay();
    const std::wstring& text(int index) const;
    irr::core::recti box(double left, double top, double right, double bottom) const;
    void drawFrameCounter();
    void drawLaps();
    void drawStandings();
    void drawRallyTimes();
    void drawRaceClock();
    void drawPlace(bool ending);
    void drawClosingSequence();
    void fadeMessages(irr::f32 now);

    // The scene passes, in CRaceScene.cpp.
    struct SPassLook;
    void showSky(bool visible);
    void showForPass(const SPassLook& look);
    void drawShadowMap();
    void drawGroundDepth();
    void setGroundDepth(bool lay);
    void setGroundBlend();
    bool bloomReady();
    void drawBloom();
    void screenPass(irr::s32 material, irr::video::ITexture* source, irr::video::ITexture* target,
                    bool bilinear, irr::video::SColor colour);

    CGameEngine* engine;
    SGameSettings* settings;
    CGameData* gameData;
    CEntityManager* entities;
    CSoundManager* sound;
    CChaseCamera* camera;
    CShaderManager* shaders;
    CMenu* menu;
    CTranslation* texts;

    // The race display's images, labels and fonts.
    irr::video::ITexture* placeTextures[3];
    CGuiTextButton* messageLine1;
    CGuiTextButton* messageLine2;
    CGuiTextButton* messageTitle;
    irr::gui::CGUITTFont* smallFont;
    irr::gui::CGUITTFont* bigFont;

    // The race display's counters.
    irr::f32 messageCycleStart;
    irr::f32 endingStartTime;
    irr::s32 messageIndex;
    irr::f32 placeFade;
    irr::f32 overlayAlpha;
    irr::f32 messageAlpha;

    bool firstFrame;
    bool won;
    // What the loaded mission's static objects cover: a car beyond it, or under it, has left
    // the world. Empty when the mission has none.
    irr::core::aabbox3df world;
    bool worldKnown;
    // The player's car was put back this frame: the camera jumps behind it.
    bool playerPutBack;
    // Physics steps taken so far in this frame.
    int stepsThisFrame;

    CRaceCanvas screen;
    CRaceCanvas* canvas;
    // The display's screen size, read at the start of each display frame.
    irr::f64 screenWidth;
    irr::f64 screenHeight;
};
