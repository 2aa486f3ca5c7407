#pragma once
#include <irrlicht.h>
#include <functional>
#include <string>

class CEntityManager;
class CGameData;
class CGameEngine;
class CGuiCursor;
class CGuiImageButton;
class CGuiTextButton;
class CSoundManager;
class SKeyEntry;
class CTranslation;
struct SGameSettings;

// The menu front end. Its name is the whole navigation state ("Main", "New", "Continue",
// "Break", "BreakAndNew", "Options", "Credits", "Exit"); the race writes it when a race ends.
// Every screen runs its own frame loop and returns when a click changes the name, when the window
// closes or when a mission has been chosen.
class CMenu {
public:
    CMenu(SGameSettings* settings, CGameData* gameData, CGameEngine* engine,
          CEntityManager* entities, CSoundManager* sound, CTranslation* texts);
    ~CMenu();

    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    // One menu step: loads a chosen mission behind the loading screen, or runs the screen the
    // menu name asks for.
    void update();
    void setMenuName(std::string name);
    std::string getMenuName();

    // The race tells the menu, each time the player leaves it with Escape, whether the player has
    // already won it (the closing wait is running): a race abandoned then still counts as won.
    void setPausedRaceWon(bool won);
    bool isRaceRunning() const { return raceRunning; }

private:
    // The menu's unit tests run single passes of a page's widgets.
    friend class CMenuPages;
    typedef std::function<void(std::string& pending)> FrameWidgets;

    void runMainMenu();
    void runMissionSelect();
    void runOptions();
    void runGraphicsOptions();
    void runAudioOptions();
    void runControlsOptions();
    void runRestartNotice();
    void runCredits();

    void showLoadingScreen();
    void tearDownRace();
    // The start of every screen's loop.
    void beginScreen();
    // One pass of a screen's loop: the background, the widgets (which may set `pending`) and the
    // cursor. False once the window has closed; the game state is then quit.
    bool screenFrame(irr::video::ITexture* background, const FrameWidgets& widgets,
                     std::string& pending);
    void drawBackground(irr::video::ITexture* background);

    // One pass of a page's widgets, in the page's order; a click may set `pending`.
    void graphicsWidgets(std::string& pending);
    void audioWidgets(std::string& pending);
    void creditsWidgets(std::string& pending);
    void clickGraphicsValue(int row);
    void updateCreditsFade();
    std::wstring keyName(int slot);
    // An entry of the text table; empty without one.
    const std::wstring& text(int entry) const;
    SKeyEntry*& keyBinding(int slot);

    CGuiTextButton* textButton(int entry, irr::f32 size, bool hcenter, bool reacts,
                               irr::f32 left, irr::f32 right, irr::f32 top, irr::f32 bottom);
    CGuiTextButton* textButton(const std::wstring& text, irr::f32 size, bool hcenter,
                               bool reacts, irr::f32 left, irr::f32 right, irr::f32 top,
                               irr::f32 bottom);

    std::string menuName;
    CGuiCursor* cursor;
    irr::video::ITexture* mainBackground;
    irr::video::ITexture* subBackground;
    irr::video::ITexture* loadingBackground;
    CGuiImageButton* startButton;
    CGuiImageButton* continueButton;
    CGuiImageButton* breakButton;
    CGuiImageButton* optionsButton;
    CGuiImageButton* creditsButton;
    CGuiImageButton* exitButton;
    CGuiImageButton* missionButtons[8];
    CGuiImageButton* lockedMissionButtons[8];
    CGuiTextButton* missionsBackText;
    CGuiTextButton* graphicsText;
    CGuiTextButton* audioText;
    CGuiTextButton* controlsText;
    CGuiTextButton* optionsBackText;
    CGuiTextButton* graphicsLabels[7];
    CGuiTextButton* graphicsBackText;
    CGuiTextButton* graphicsValues[7];
    CGuiTextButton* noticeLine1;
    CGuiTextButton* noticeLine2;
    CGuiTextButton* noticeButton;
    CGuiTextButton* musicLabel;
    CGuiTextButton* environmentLabel;
    CGuiTextButton* audioBackText;
    CGuiTextButton* musicValue;
    CGuiTextButton* environmentValue;
    CGuiTextButton* controllerLabel;
    CGuiTextButton* keyLabels[4];
    CGuiTextButton* controlsBackText;
    CGuiTextButton* controllerValue;
    CGuiTextButton* keyValues[4];
    CGuiTextButton* creditsLine1;
    CGuiTextButton* creditsLine2;
    CGuiTextButton* creditsBackText;
    SGameSettings* settings;
    CGameData* gameData;
    CGameEngine* engine;
    CEntityManager* entities;
    CSoundManager* sound;
    CTranslation* texts;
    bool raceRunning;
    bool restartNotice;
    irr::s32 rebindSlot;
    irr::f32 creditsStart;
    irr::s32 creditsPage;
    bool pausedRaceWon;
};
