// Sandvolt: the whole life of the process. Every long-lived object is built here, in order, and
// torn down here; each screen runs its own frame loop and comes back when it is done.
#include <irrlicht.h>
#include <clocale>
#include <cstdio>

#include "audio/CSound.h"
#include "audio/CSoundManager.h"
#include "core/CGameData.h"
#include "core/CGameEngine.h"
#include "core/CSplashScreen.h"
#include "core/CTranslation.h"
#include "core/SGameSettings.h"
#include "effects/CShaderManager.h"
#include "menu/CMenu.h"
#include "platform/FolderLock.h"
#include "platform/GLCapabilities.h"
#include "race/CChaseCamera.h"
#include "race/CGoCapRecorder.h"
#include "race/CItemsCreator.h"
#include "race/CRace.h"
#include "world/CEntityManager.h"

using namespace irr;

namespace {

const char* const kSplash1 = "data/2d/others/splash01.jpg";
const char* const kSplash2 = "data/2d/others/splash02.jpg";

void createSkyBox(CGameEngine* engine)
{
    video::IVideoDriver* driver = engine->getVideoDriver();
    driver->setTextureCreationFlag(video::ETCF_CREATE_MIP_MAPS, false);
    video::ITexture* back = driver->getTexture("data/2d/sky/back.dds");
    video::ITexture* front = driver->getTexture("data/2d/sky/front.dds");
    video::ITexture* right = driver->getTexture("data/2d/sky/right.dds");
    video::ITexture* left = driver->getTexture("data/2d/sky/left.dds");
    video::ITexture* down = driver->getTexture("data/2d/sky/down.dds");
    video::ITexture* up = driver->getTexture("data/2d/sky/up.dds");
    engine->skyBox = engine->getSceneManager()->addSkyBoxSceneNode(up, down, left, right, front,
                                                                   back, nullptr, -1);
    engine->skyBox->setVisible(false);
    driver->setTextureCreationFlag(video::ETCF_CREATE_MIP_MAPS, true);
}

} // namespace

int main()
{
    // Progress lines reach a log at once, even when the game is stopped part-way.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::setlocale(LC_ALL, "");

    // A second copy (a double click on the icon) would later write its own, older progress over
    // what the first one won.
    if (!claimFolder(".")) {
        std::printf("ERROR: Another copy of the game is already running in this folder; this one ends\n");
        return 0;
    }

    CTranslation* texts = new CTranslation("data/translation.lang");
    SGameSettings* settings = new SGameSettings();
    CGameData* gameData = new CGameData(texts);
    gameData->loadSettings("settings.xml", settings);

    CGameEngine* engine = new CGameEngine(settings);
    if (!engine->getDevice()) {
        // The window could not be opened: nothing to show, and nothing the player saved is touched.
        std::printf("Application termination...\n");
        delete engine;
        delete gameData;
        delete settings;
        delete texts;
        return 0;
    }
    gameData->setEngine(engine);

    CEntityManager* entities = new CEntityManager(engine);
    CSoundManager* sounds = new CSoundManager(settings, engine);
    CGoCapRecorder* goCap = new CGoCapRecorder(engine, entities);
    engine->setGoCap(goCap);
    CItemsCreator* itemsCreator = new CItemsCreator(engine, entities);
    engine->setItemsCreator(itemsCreator);
    CChaseCamera* chaseCamera = new CChaseCamera(engine);

    bool shadersSupported = false;
    CShaderManager* shaders = new CShaderManager(engine, settings, &shadersSupported);

    const bool s3tcSupported = hasS3TCCompression(engine->getVideoDriver());
    if (s3tcSupported)
        std::printf("S3TC Compression Support [PASSED]\n");

    if (!shadersSupported)
        std::printf("Shader Model 2.0 Support [FAILED]\n");
    if (!s3tcSupported)
        std::printf("S3TC Compression Support [FAILED]\n");

    CSplashScreen* splash = nullptr;
    if (shadersSupported && s3tcSupported) {
        splash = new CSplashScreen(engine);
        const video::SColor white(255, 255, 255, 255);
        const video::SColor grey(255, 225, 223, 224);
        splash->show(kSplash1, 2, !gameData->isResolutionReset(), true, white);

        CMenu* menu = new CMenu(settings, gameData, engine, entities, sounds, texts);
        CRace* race = new CRace(engine, settings, gameData, entities, sounds, chaseCamera, shaders,
                                menu, texts);
        createSkyBox(engine);
        sounds->loadAudio();

        splash->show(kSplash1, 2, !gameData->isResolutionReset(), false, white);
        splash->show(kSplash2, 1, !gameData->isResolutionReset(), true, grey);
        splash->show(kSplash2, 1, !gameData->isResolutionReset(), false, grey);

        video::IVideoDriver* driver = engine->getVideoDriver();
        driver->removeTexture(driver->getTexture(kSplash1));
        driver->removeTexture(driver->getTexture(kSplash2));

        engine->setGameState(EGS_MENU);
        while (engine->getGameState() != EGS_QUIT) {
            if (engine->getGameState() == EGS_MENU) {
                sounds->getMenuMusic()->setState(ESS_PLAYING_RELATIVE);
                menu->update();
            }
            if (engine->getGameState() == EGS_RACE) {
                sounds->getMenuMusic()->setState(ESS_STOPPED);
                race->prepareMaterials();
                race->run();
            }
        }

        gameData->saveSettings("settings.xml", settings);
        delete splash;
        delete menu;
        delete race;
    } else {
        std::printf("Application termination...\n");
    }

    delete shaders;
    delete chaseCamera;
    entities->clear();
    delete entities;
    delete sounds;
    delete goCap;
    delete engine;
    delete gameData;
    delete settings;
    delete texts;
    delete itemsCreator;
    return 0;
}
