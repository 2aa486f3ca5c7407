#include "menu/CMenu.h"

#include <utility>

#include "audio/CSound.h"
#include "audio/CSoundManager.h"
#include "core/CGameData.h"
#include "core/CGameEngine.h"
#include "core/CTranslation.h"
#include "core/SGameSettings.h"
#include "core/SKeyEntry.h"
#include "effects/CScreenQuadEntity.h"
#include "menu/CGuiCursor.h"
#include "menu/CGuiImageButton.h"
#include "menu/CGuiTextButton.h"
#include "menu/MenuImage.h"
#include "menu/OptionSteps.h"
#include "race/RaceRules.h"
#include "world/CEntityManager.h"

using namespace irr;

namespace {

const char* const kFont = "data/fonts/komika_axis.ttf";
const video::SColor kTextColor(0xFFD69900);
const video::SColor kHoverColor(0xFFF2C601);
const f32 kLoadingMs = 500.0f;
// A screen that a click opened takes no click within the engine's double-click interval of it: the
// second click of a double click is not a click on the next screen.
const u32 kDoubleClickMs = 500;

// Graphics rows, top to bottom.
enum { ROW_RESOLUTION, ROW_FILTER, ROW_ANTI_ALIASING, ROW_SHADOWS, ROW_POST_PROCESSING, ROW_VSYNC,
       ROW_DRIVER, GRAPHICS_ROWS };
const f32 kGraphicsTop[GRAPHICS_ROWS] = {160, 240, 320, 400, 480, 560, 640};
const f32 kGraphicsLabelSize[GRAPHICS_ROWS] = {45, 45, 45, 45, 40, 45, 45};

// Text table entries.
enum { TEXT_BACK = 0, TEXT_GRAPHICS = 1, TEXT_AUDIO = 2, TEXT_CONTROLS = 3, TEXT_FIRST_ROW = 4,
       TEXT_ANISOTROPIC = 11, TEXT_TRILINEAR = 12, TEXT_BILINEAR = 13, TEXT_ON = 14, TEXT_OFF = 16,
       TEXT_SHADOWS_OFF = 17, TEXT_SHADOWS_HIGH = 18, TEXT_SHADOWS_NORMAL = 19,
       TEXT_DIRECT3D = 20, TEXT_OPENGL = 21, TEXT_NOTICE_OK = 22, TEXT_NOTICE_1 = 23,
       TEXT_NOTICE_2 = 24, TEXT_MUSIC = 25, TEXT_ENVIRONMENT = 26, TEXT_CONTROLLER = 27,
       TEXT_KEYBOARD = 28, TEXT_GAMEPAD = 29, TEXT_FIRST_KEY = 30, TEXT_FIRST_CREDIT = 41 };

const int kCreditsPages = 5;

std::wstring resolutionText(u32 width, u32 height)
{
    return std::to_wstring(width) + L" x " + std::to_wstring(height);
}

int filterEntry(s32 filtering)
{
    return filtering == 2 ? TEXT_ANISOTROPIC : filtering == 1 ? TEXT_TRILINEAR : TEXT_BILINEAR;
}

int switchEntry(bool on) { return on ? TEXT_ON : TEXT_OFF; }

int shadowsEntry(s32 shadows)
{
    return shadows == 2 ? TEXT_SHADOWS_HIGH : shadows == 1 ? TEXT_SHADOWS_NORMAL : TEXT_SHADOWS_OFF;
}

int driverEntry(s32 graphicMode) { return graphicMode == 1 ? TEXT_DIRECT3D : TEXT_OPENGL; }

std::string missionFolder(int mission) { return "missions/m0" + std::to_string(mission) + "/"; }

std::string missionImage(int mission, const char* suffix)
{
    return "data/2d/menu/b0" + std::to_string(mission) + suffix;
}

} // namespace

CMenu::CMenu(SGameSettings* settings, CGameData* gameData, CGameEngine* engine,
             CEntityManager* entities, CSoundManager* sound, CTranslation* texts)
    : menuName("Main"), settings(settings), gameData(gameData), engine(engine),
      entities(entities), sound(sound), texts(texts), raceRunning(false), restartNotice(false),
      rebindSlot(0), creditsStart(0.0f), creditsPage(0), pausedRaceWon(false)
{
    video::IVideoDriver* driver = engine->getVideoDriver();
    // Menu art is only ever drawn at its own size or stretched over a button: no mipmaps.
    driver->setTextureCreationFlag(video::ETCF_CREATE_MIP_MAPS, false);

    cursor = new CGuiCursor("data/2d/menu/cursor.png", engine);
    mainBackground = loadMenuImage(engine, "data/2d/menu/backgroundm.dds");
    subBackground = loadMenuImage(engine, "data/2d/menu/backgrounda.dds");
    loadingBackground = loadMenuImage(engine, "data/2d/menu/backgroundl.dds");

    auto imageButton = [engine](const char* name, f32 top, f32 bottom) {
        const std::string base = std::string("data/2d/menu/") + name;
        return new CGuiImageButton(base + "_no.png", base + "_yes.png", 200, 800, top, bottom, true,
                                   engine);
    };
    startButton = imageButton("start", 460, 535);
    continueButton = imageButton("continue", 355, 430);
    breakButton = imageButton("break", 460, 535);
    optionsButton = imageButton("options", 565, 640);
    creditsButton = imageButton("credits", 670, 745);
    exitButton = imageButton("exit", 775, 850);

    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 4; ++column) {
            const int mission = 4 * row + column + 1;
            const f32 left = 20.0f + 245.0f * column;
            const f32 right = 245.0f + 245.0f * column;
            const f32 top = 180.0f + 320.0f * row;
            const f32 bottom = 400.0f + 320.0f * row;
            missionButtons[mission - 1] =
                new CGuiImageButton(missionImage(mission, "_no.jpg"), missionImage(mission, "_yes.jpg"),
                                    left, right, top, bottom, true, engine);
            lockedMissionButtons[mission - 1] =
                new CGuiImageButton(missionImage(mission, "l_no.jpg"), missionImage(mission, "l_yes.jpg"),
                                    left, right, top, bottom, true, engine);
        }
    }

    // The mission screen's Back sits at the top of its rectangle.
    missionsBackText = new CGuiTextButton(text(TEXT_BACK), kFont, 55, false, true, kTextColor,
                                          kHoverColor, 400, 600, 875, 950, true, engine);

    graphicsText = textButton(TEXT_GRAPHICS, 55, true, true, 300, 700, 340, 420);
    audioText = textButton(TEXT_AUDIO, 55, true, true, 300, 700, 460, 540);
    controlsText = textButton(TEXT_CONTROLS, 55, true, true, 300, 700, 580, 660);
    optionsBackText = textButton(TEXT_BACK, 55, true, true, 300, 700, 840, 920);

    creditsLine1 = textButton(L"None", 55, true, true, 300, 700, 400, 480);
    creditsLine2 = textButton(L"None", 45, true, true, 300, 700, 510, 565);
    creditsBackText = textButton(TEXT_BACK, 55, true, true, 300, 700, 840, 920);

    for (int row = 0; row < GRAPHICS_ROWS; ++row)
        graphicsLabels[row] = textButton(TEXT_FIRST_ROW + row, kGraphicsLabelSize[row], false, false,
                                         100, 400, kGraphicsTop[row], kGraphicsTop[row] + 60);
    graphicsBackText = textButton(TEXT_BACK, 55, true, true, 300, 700, 840, 920);
    const std::wstring graphicsFirst[GRAPHICS_ROWS] = {
        resolutionText(settings->width, settings->height),
        text(filterEntry(settings->filtering)),
        text(switchEntry(settings->antiAliasing)),
        text(shadowsEntry(settings->shadows)),
        text(switchEntry(settings->postProcessing)),
        text(switchEntry(settings->vSync)),
        text(driverEntry(settings->graphicMode))};
    for (int row = 0; row < GRAPHICS_ROWS; ++row)
        graphicsValues[row] = textButton(graphicsFirst[row], 45, true, true, 550, 850,
                                         kGraphicsTop[row], kGraphicsTop[row] + 60);

    musicLabel = textButton(TEXT_MUSIC, 45, false, false, 100, 400, 430, 490);
    environmentLabel = textButton(TEXT_ENVIRONMENT, 45, false, false, 100, 400, 510, 570);
    audioBackText = textButton(TEXT_BACK, 55, true, true, 300, 700, 840, 920);
    musicValue = textButton(std::to_wstring(settings->musicVolume), 45, true, true, 550, 850, 430, 490);
    environmentValue =
        textButton(std::to_wstring(settings->environmentVolume), 45, true, true, 550, 850, 510, 570);

    controllerLabel = textButton(TEXT_CONTROLLER, 45, false, false, 200, 500, 160, 220);
    for (int k = 0; k < 4; ++k)
        keyLabels[k] = textButton(TEXT_FIRST_KEY + k, 45, false, false, 200, 500, 320.0f + 80.0f * k,
                                  380.0f + 80.0f * k);
    controlsBackText = textButton(TEXT_BACK, 55, true, true, 300, 700, 840, 920);
    controllerValue = textButton(settings->controller == 1 ? TEXT_GAMEPAD : TEXT_KEYBOARD, 45, true,
                                 true, 550, 850, 160, 220);
    for (int k = 0; k < 4; ++k)
        keyValues[k] = textButton(keyName(k + 1), 45, true, true, 550, 850, 320.0f + 80.0f * k,
                                  380.0f + 80.0f * k);

    noticeLine1 = textButton(TEXT_NOTICE_1, 45, true, false, 50, 950, 430, 490);
    noticeLine2 = textButton(TEXT_NOTICE_2, 45, true, false, 50, 950, 510, 570);
    noticeButton = textButton(TEXT_NOTICE_OK, 55, true, true, 300, 700, 840, 920);

    driver->setTextureCreationFlag(video::ETCF_CREATE_MIP_MAPS, true);
}

CMenu::~CMenu()
{
    delete cursor;
    for (CGuiImageButton* button : {startButton, continueButton, breakButton, optionsButton,
                                    creditsButton, exitButton})
        delete button;
    for (int i = 0; i < 8; ++i) {
        delete missionButtons[i];
        delete lockedMissionButtons[i];
    }
    for (CGuiTextButton* button :
         {missionsBackText, graphicsText, audioText, controlsText, optionsBackText, graphicsBackText,
          noticeLine1, noticeLine2, noticeButton, musicLabel, environmentLabel, audioBackText,
          musicValue, environmentValue, controllerLabel, controlsBackText, controllerValue,
          creditsLine1, creditsLine2, creditsBackText})
        delete button;
    for (int i = 0; i < GRAPHICS_ROWS; ++i) {
        delete graphicsLabels[i];
        delete graphicsValues[i];
    }
    for (int i = 0; i < 4; ++i) {
        delete keyLabels[i];
        delete keyValues[i];
    }
}

// A button reacts to the mouse in the hover colour; a label keeps one colour.
CGuiTextButton* CMenu::textButton(int entry, f32 size, bool hcenter, bool reacts, f32 left,
                                  f32 right, f32 top, f32 bottom)
{
    return textButton(text(entry), size, hcenter, reacts, left, right, top, bottom);
}

CGuiTextButton* CMenu::textButton(const std::wstring& text, f32 size, bool hcenter, bool reacts,
                                  f32 left, f32 right, f32 top, f32 bottom)
{
    return new CGuiTextButton(text, kFont, size, true, hcenter, kTextColor,
                              reacts ? kHoverColor : kTextColor, left, right, top, bottom, true,
                              engine);
}

const std::wstring& CMenu::text(int entry) const
{
    static const std::wstring none;
    return texts ? texts->texts[entry] : none;
}

void CMenu::setMenuName(std::string name) { menuName = std::move(name); }

std::string CMenu::getMenuName() { return menuName; }

void CMenu::setPausedRaceWon(bool won) { pausedRaceWon = won; }

void CMenu::update()
{
    const std::string selected = gameData->getSelectedMission();
    if (selected != "Null") {
        showLoadingScreen();
        if (gameData->loadMission(selected.c_str(), entities, sound, settings)) {
            raceRunning = true;
            pausedRaceWon = false;
            menuName = "Main";
            engine->setGameState(EGS_RACE);
        } else {
            engine->setGameState(EGS_QUIT);
        }
        return;
    }

    if (menuName == "New") {
        runMissionSelect();
    } else if (menuName == "Continue") {
        // The race reports afresh when it is left again.
        pausedRaceWon = false;
        engine->setGameState(EGS_RACE);
        menuName = "Main";
    } else if (menuName == "Break") {
        tearDownRace();
        menuName = "Main";
    } else if (menuName == "BreakAndNew") {
        tearDownRace();
        menuName = "New";
        runMissionSelect();
    } else if (menuName == "Options") {
        runOptions();
    } else if (menuName == "Credits") {
        runCredits();
    } else if (menuName == "Exit") {
        tearDownRace();
        engine->setGameState(EGS_QUIT);
    } else {
        runMainMenu();
    }
}

// At least half a second of the loading picture, so it never just flickers, then the load.
void CMenu::showLoadingScreen()
{
    IrrlichtDevice* device = engine->getDevice();
    video::IVideoDriver* driver = engine->getVideoDriver();
    engine->run();
    const f32 start = static_cast<f32>(device->getTimer()->getTime());
    while (engine->run() && static_cast<f32>(device->getTimer()->getTime()) < start + kLoadingMs) {
        driver->beginScene(true, true, video::SColor(0xFF000000));
        drawBackground(loadingBackground);
        driver->endScene();
    }
}

void CMenu::tearDownRace()
{
    // A race the player had already won when leaving it is not lost by abandoning it.
    if (pausedRaceWon) {
        awardWin(settings, gameData);
        pausedRaceWon = false;
    }
    entities->clearItems();
    entities->clearCheckpoints();
    entities->clearStaticObjects();
    entities->clearVehicles();
    engine->getSceneManager()->getMeshCache()->clearUnusedMeshes();
    engine->getVideoDriver()->removeAllHardwareBuffers();
    raceRunning = false;
}

void CMenu::beginScreen()
{
    engine->getVideoDriver()->setMaterial(engine->defaultMaterial);
    engine->holdClicksAfterLastClick(kDoubleClickMs);
}

bool CMenu::screenFrame(video::ITexture* background, const FrameWidgets& widgets,
                        std::string& pending)
{
    pending.clear();
    IrrlichtDevice* device = engine->getDevice();
    if (!engine->run()) {
        engine->setGameState(EGS_QUIT);
        return false;
    }
    // A window in the background draws nothing and takes no clicks, and leaves the processor to
    // the rest of the desktop.
    if (!device->isWindowActive()) {
        device->yield();
        return true;
    }
    if (CSound* music = sound ? sound->getMenuMusic() : nullptr)
        music->update();
    video::IVideoDriver* driver = engine->getVideoDriver();
    driver->beginScene(true, true, video::SColor(0xFF000000));
    drawBackground(background);
    widgets(pending);
    cursor->draw();
    driver->endScene();
    return true;
}

void CMenu::drawBackground(video::ITexture* background)
{
    const core::dimension2d<u32> screen = engine->getVideoDriver()->getScreenSize();
    engine->getScreenQuad()->renderWith(
        background, true, core::position2d<s32>(0, 0),
        core::rect<s32>(0, 0, static_cast<s32>(screen.Width), static_cast<s32>(screen.Height)),
        video::EMT_SOLID);
}

void CMenu::runMainMenu()
{
    beginScreen();
    const FrameWidgets widgets = [this](std::string& pending) {
        if (raceRunning) {
            if (continueButton->update())
                pending = "Continue";
            if (breakButton->update())
                pending = "Break";
        } else if (startButton->update()) {
            pending = "New";
        }
        if (optionsButton->update())
            pending = "Options";
        if (creditsButton->update())
            pending = "Credits";
        if (exitButton->update())
            pending = "Exit";
    };
    std::string pending;
    while (screenFrame(mainBackground, widgets, pending)) {
        if (!pending.empty()) {
            menuName = pending;
            return;
        }
    }
}

void CMenu::runMissionSelect()
{
    beginScreen();
    const FrameWidgets widgets = [this](std::string& pending) {
        for (int mission = 1; mission <= 8; ++mission) {
            // Mission 1 is always open, whatever the progress level says.
            if (mission > 1 && settings->progressLevel < mission) {
                lockedMissionButtons[mission - 1]->update();
            } else if (missionButtons[mission - 1]->update()) {
                gameData->setSelectedMission(missionFolder(mission));
                pending = "Main";
            }
        }
        if (missionsBackText->update())
            pending = "Main";
    };
    std::string pending;
    while (screenFrame(subBackground, widgets, pending)) {
        if (!pending.empty()) {
            menuName = pending;
            return;
        }
    }
}

void CMenu::runOptions()
{
    enum { NO_PAGE, GRAPHICS_PAGE, AUDIO_PAGE, CONTROLS_PAGE };
    int page = NO_PAGE;
    beginScreen();
    const FrameWidgets widgets = [this, &page](std::string& pending) {
        if (graphicsText->update())
            page = GRAPHICS_PAGE;
        if (audioText->update())
            page = AUDIO_PAGE;
        if (controlsText->update())
            page = CONTROLS_PAGE;
        if (optionsBackText->update())
            pending = "Main";
    };
    std::string pending;
    while (screenFrame(subBackground, widgets, pending)) {
        const int chosen = page;
        page = NO_PAGE;
        if (chosen == GRAPHICS_PAGE)
            runGraphicsOptions();
        else if (chosen == AUDIO_PAGE)
            runAudioOptions();
        else if (chosen == CONTROLS_PAGE)
            runControlsOptions();
        if (chosen != NO_PAGE)
            beginScreen();
        if (!pending.empty()) {
            menuName = pending;
            return;
        }
    }
}

void CMenu::graphicsWidgets(std::string& pending)
{
    for (CGuiTextButton* label : graphicsLabels)
        label->update();
    for (int row = 0; row < GRAPHICS_ROWS; ++row) {
        if (graphicsValues[row]->update())
            clickGraphicsValue(row);
    }
    if (graphicsBackText->update())
        pending = "Options";
}

void CMenu::runGraphicsOptions()
{
    beginScreen();
    const FrameWidgets widgets = [this](std::string& pending) { graphicsWidgets(pending); };
    std::string pending;
    while (screenFrame(subBackground, widgets, pending)) {
        if (!pending.empty()) {
            if (restartNotice) {
                restartNotice = false;
                runRestartNotice();
            }
            return;
        }
    }
}

// Resolution, anti-aliasing, shadows, vertical sync and the driver are fixed when the window
// opens: they go to the saved block for the next start and ask for the restart notice.
void CMenu::clickGraphicsValue(int row)
{
    CGuiTextButton* value = graphicsValues[row];
    switch (row) {
    case ROW_RESOLUTION:
        // Without any video mode there is nothing to choose from.
        if (!nextResolution(gameData, settings))
            return;
        restartNotice = true;
        value->setText(resolutionText(settings->savedWidth, settings->savedHeight));
        break;
    case ROW_FILTER:
        settings->savedFiltering = nextFilter(settings->savedFiltering);
        settings->filtering = settings->savedFiltering;
        value->setText(text(filterEntry(settings->savedFiltering)));
        break;
    case ROW_ANTI_ALIASING:
        restartNotice = true;
        settings->savedAntiAliasing = !settings->savedAntiAliasing;
        value->setText(text(switchEntry(settings->savedAntiAliasing)));
        break;
    case ROW_SHADOWS:
        restartNotice = true;
        settings->savedShadows = nextShadows(settings->savedShadows);
        value->setText(text(shadowsEntry(settings->savedShadows)));
        break;
    case ROW_POST_PROCESSING:
        settings->postProcessing = !settings->postProcessing;
        value->setText(text(switchEntry(settings->postProcessing)));
        break;
    case ROW_VSYNC:
        restartNotice = true;
        settings->savedVSync = !settings->savedVSync;
        value->setText(text(switchEntry(settings->savedVSync)));
        break;
    case ROW_DRIVER:
        restartNotice = true;
        settings->savedGraphicMode = nextDriver(settings->savedGraphicMode);
        value->setText(text(driverEntry(settings->savedGraphicMode)));
        break;
    default:
        break;
    }
}

void CMenu::runRestartNotice()
{
    beginScreen();
    const FrameWidgets widgets = [this](std::string& pending) {
        noticeLine1->update();
        noticeLine2->update();
        if (noticeButton->update())
            pending = "Options";
    };
    std::string pending;
    while (screenFrame(subBackground, widgets, pending)) {
        if (!pending.empty())
            return;
    }
}

void CMenu::audioWidgets(std::string& pending)
{
    musicLabel->update();
    environmentLabel->update();
    if (musicValue->update()) {
        settings->musicVolume = nextVolume(settings->musicVolume);
        musicValue->setText(std::to_wstring(settings->musicVolume));
        if (sound)
            sound->setMusicVolume(settings->musicVolume);
    }
    // The engines take the new volume when the next race starts.
    if (environmentValue->update()) {
        settings->environmentVolume = nextVolume(settings->environmentVolume);
        environmentValue->setText(std::to_wstring(settings->environmentVolume));
    }
    if (audioBackText->update())
        pending = "Options";
}

void CMenu::runAudioOptions()
{
    beginScreen();
    const FrameWidgets widgets = [this](std::string& pending) { audioWidgets(pending); };
    std::string pending;
    while (screenFrame(subBackground, widgets, pending)) {
        if (!pending.empty())
            return;
    }
}

SKeyEntry*& CMenu::keyBinding(int slot)
{
    switch (slot) {
    case 1: return settings->keyForward;
    case 2: return settings->keyBackward;
    case 3: return settings->keyLeft;
    default: return settings->keyRight;
    }
}

std::wstring CMenu::keyName(int slot)
{
    SKeyEntry* key = keyBinding(slot);
    return key ? key->getDisplayName() : std::wstring();
}

void CMenu::runControlsOptions()
{
    beginScreen();
    const FrameWidgets widgets = [this](std::string& pending) {
        controllerLabel->update();
        for (CGuiTextButton* label : keyLabels)
            label->update();
        // The menu only ever chooses the keyboard; the gamepad shows only when the file said so.
        if (controllerValue->update()) {
            settings->controller = 0;
            controllerValue->setText(text(TEXT_KEYBOARD));
        }
        for (int slot = 1; slot <= 4; ++slot) {
            if (keyValues[slot - 1]->update() && rebindSlot == 0)
                rebindSlot = slot;
        }
        if (rebindSlot != 0) {
            keyValues[rebindSlot - 1]->setText(L"- - -");
            SKeyEntry* pressed = nullptr;
            if (gameData->findPressedKey(pressed)) {
                // A key already driving another action is refused: the row keeps waiting.
                bool taken = false;
                for (int other = 1; other <= 4; ++other) {
                    if (other != rebindSlot && keyBinding(other) == pressed)
                        taken = true;
                }
                if (!taken) {
                    keyBinding(rebindSlot) = pressed;
                    keyValues[rebindSlot - 1]->setText(pressed->getDisplayName());
                    rebindSlot = 0;
                }
            }
        }
        if (controlsBackText->update())
            pending = "Options";
    };
    std::string pending;
    while (screenFrame(subBackground, widgets, pending)) {
        if (!pending.empty()) {
            // A row left waiting keeps its old key.
            for (int slot = 1; slot <= 4; ++slot)
                keyValues[slot - 1]->setText(keyName(slot));
            rebindSlot = 0;
            return;
        }
    }
}

// Each page: 500 ms hidden, 2000 ms fading in, 3000 ms shown, 2000 ms fading out, 500 ms hidden.
void CMenu::updateCreditsFade()
{
    const f32 now = static_cast<f32>(engine->getDevice()->getTimer()->getTime());
    if (creditsStart == 0.0f)
        creditsStart = now;
    f32 alpha = 0.0f;
    if (now < creditsStart + 500.0f) {
        alpha = 0.0f;
    } else if (now < creditsStart + 2500.0f) {
        alpha = 1.0f - (2500.0f - (now - creditsStart)) / 2000.0f;
    } else if (now < creditsStart + 5500.0f) {
        alpha = 1.0f;
    } else if (now < creditsStart + 7500.0f) {
        alpha = (7500.0f - (now - creditsStart)) / 2000.0f;
    } else if (now < creditsStart + 8000.0f) {
        alpha = 0.0f;
    } else {
        creditsStart = 0.0f;
        creditsPage = (creditsPage + 1) % kCreditsPages;
    }
    const u32 color = (static_cast<u32>(alpha * 255.0f) << 24) | 0x00D69900u;
    for (CGuiTextButton* line : {creditsLine1, creditsLine2}) {
        line->setColor(video::SColor(color));
        line->setHoverColor(video::SColor(color));
    }
    creditsLine1->setText(text(TEXT_FIRST_CREDIT + 2 * creditsPage));
    creditsLine2->setText(text(TEXT_FIRST_CREDIT + 2 * creditsPage + 1));
}

void CMenu::creditsWidgets(std::string& pending)
{
    updateCreditsFade();
    creditsLine1->update();
    creditsLine2->update();
    if (creditsBackText->update())
        pending = "Main";
}

void CMenu::runCredits()
{
    beginScreen();
    const FrameWidgets widgets = [this](std::string& pending) { creditsWidgets(pending); };
    std::string pending;
    while (screenFrame(subBackground, widgets, pending)) {
        if (!pending.empty()) {
            creditsStart = 0.0f;
            creditsPage = 0;
            menuName = pending;
            return;
        }
    }
}
