// The options and credits pages of the real menu object on the null driver, clicked through their
// own widgets one pass at a time: what a click makes take effect at once (the music's gain in
// OpenAL, the texture filter of a paused race's materials), and the credits pages in their order.
#include <gtest/gtest.h>

#include <AL/al.h>
#include <string>

#include "audio/CSound.h"
#include "audio/CSoundManager.h"
#include "core/CGameEngine.h"
#include "core/CTranslation.h"
#include "menu/CGuiTextButton.h"
#include "race/RaceFixtures.h"
#include "world/CStaticObjectEntity.h"
#include "world/CVehicleEntity.h"

using namespace irr;
using racetest::CRaceWorld;

// Runs the menu's pages the way their screens do, one pass of the widgets per frame, with the
// mouse and the left button of the null-driver engine.
class CMenuPages {
public:
    enum EPage { GRAPHICS, AUDIO, CREDITS };

    explicit CMenuPages(CRaceWorld& world) : world(world) {}

    // One pass of the page's widgets, then the device's turn that forgets the frame's presses;
    // the menu name the pass asked for, if any.
    std::string frame(EPage page)
    {
        std::string pending;
        CMenu* menu = world.menu;
        if (page == GRAPHICS)
            menu->graphicsWidgets(pending);
        else if (page == AUDIO)
            menu->audioWidgets(pending);
        else
            menu->creditsWidgets(pending);
        world.engine->run();
        return pending;
    }

    // A player's click on window pixel (x, y): the mouse over it with the button up, the press,
    // the release.
    void click(EPage page, s32 x, s32 y)
    {
        world.engine.moveMouse(x, y);
        frame(page);
        world.engine.postMouse(EMIE_LMOUSE_PRESSED_DOWN);
        frame(page);
        world.engine.postMouse(EMIE_LMOUSE_LEFT_UP);
        frame(page);
    }

    CGuiTextButton* creditsLine(int line) const
    {
        return line == 1 ? world.menu->creditsLine1 : world.menu->creditsLine2;
    }

private:
    CRaceWorld& world;
};

namespace {

const char* const kFixtures = SANDVOLT_FIXTURE_DIR;

// Centres of the value buttons on the 800 x 600 screen of the test engine: the value column runs
// from 550 to 850 thousandths across, the filter row from 240 to 300 down, the music's from 430 to
// 490.
const s32 kValueX = 560;
const s32 kFilterY = 162;
const s32 kMusicY = 276;

f32 sourceGain(CSound* sound)
{
    ALfloat gain = -1.0f;
    alGetSourcef(sound->getSource(), AL_GAIN, &gain);
    return gain;
}

// Every material of the node filtered as the setting says, on its colour layer.
void expectFiltered(scene::ISceneNode* node, s32 filtering, const std::string& what)
{
    if (!node)
        return;
    ASSERT_GT(node->getMaterialCount(), 0u) << what;
    for (u32 i = 0; i < node->getMaterialCount(); ++i) {
        const video::SMaterialLayer& layer = node->getMaterial(i).TextureLayer[0];
        EXPECT_EQ(layer.BilinearFilter, filtering == 0) << what << ", filter " << filtering;
        EXPECT_EQ(layer.TrilinearFilter, filtering != 0) << what << ", filter " << filtering;
        EXPECT_EQ(layer.AnisotropicFilter != 0, filtering == 2) << what << ", filter " << filtering;
    }
}

} // namespace

TEST(MenuPages, TheMusicVolumeReachesTheMusicAtOnce)
{
    CRaceWorld world(kFixtures);
    ASSERT_NE(world.sounds, nullptr);
    CSound* menuMusic = world.sounds->getMenuMusic();
    CSound* track = world.sounds->getCurrentTrack();
    ASSERT_NE(menuMusic, nullptr);
    ASSERT_NE(track, nullptr);
    world.engine.settings.musicVolume = 90;
    world.sounds->setMusicVolume(90);

    // 90, 100, then round to silence and up again; the menu music plays at 0.75 of the volume and
    // the race's tracks at 0.45, in OpenAL itself.
    struct Step { s32 volume; f32 menuGain, trackGain; };
    const Step steps[] = {{100, 0.75f, 0.45f}, {0, 0.0f, 0.0f}, {10, 0.075f, 0.045f}};
    CMenuPages pages(world);
    for (const Step& step : steps) {
        pages.click(CMenuPages::AUDIO, kValueX, kMusicY);
        EXPECT_EQ(world.engine.settings.musicVolume, step.volume);
        EXPECT_FLOAT_EQ(sourceGain(menuMusic), step.menuGain) << step.volume;
        EXPECT_FLOAT_EQ(sourceGain(track), step.trackGain) << step.volume;
    }
}

TEST(MenuPages, TheTextureFilterReachesAPausedRaceWhenItGoesOn)
{
    CRaceWorld world(kFixtures);
    SGameSettings& settings = world.engine.settings;
    settings.filtering = settings.savedFiltering = 0;
    ASSERT_TRUE(world.load("missions/race/")) << world.out;
    ASSERT_GT(world.entities.getStaticObjectCount(), 0);
    ASSERT_GT(world.entities.getVehicleCount(), 0);
    world.frames(5);

    CMenuPages pages(world);
    for (s32 filtering : {1, 2, 0}) {
        // Escape to the menu, one click on the filter, Continue.
        world.press(KEY_ESCAPE, true);
        ASSERT_FALSE(world.frame());
        world.press(KEY_ESCAPE, false);
        pages.click(CMenuPages::GRAPHICS, kValueX, kFilterY);
        ASSERT_EQ(settings.savedFiltering, filtering);
        world.menu->setMenuName("Continue");
        world.menu->update();
        ASSERT_EQ(world.engine->getGameState(), EGS_RACE);
        world.resume();
        ASSERT_TRUE(world.frame());

        for (int i = 0; i < world.entities.getStaticObjectCount(); ++i)
            expectFiltered(world.entities.getStaticObject(i)->getNode(), filtering,
                           "static object " + std::to_string(i));
        for (int i = 0; i < world.entities.getVehicleCount(); ++i) {
            CVehicleEntity* car = world.vehicle(i);
            const std::string name = "car " + std::to_string(i);
            expectFiltered(car->getBodyNode(), filtering, name);
            expectFiltered(car->getWheelNodeFL(), filtering, name + " wheel");
            expectFiltered(car->getWheelNodeBR(), filtering, name + " wheel");
        }
    }
}

TEST(MenuPages, TheCreditsShowTheirFivePagesInOrderAndStartOver)
{
    racetest::SWorldOptions options;
    options.display = true;
    CRaceWorld world(kFixtures, options);
    ASSERT_NE(world.texts, nullptr);
    const std::wstring* texts = world.texts->texts;

    // The text table's entries of the two lines, page by page, and page 0 again after page 4.
    struct Page { int line1, line2; };
    const Page order[] = {{41, 42}, {43, 44}, {45, 46}, {47, 48}, {49, 50}, {41, 42}};
    for (int a = 41; a <= 50; ++a) {
        for (int b = a + 1; b <= 50; ++b)
            ASSERT_NE(texts[a], texts[b]) << "entries " << a << " and " << b << " cannot be told apart";
    }

    CMenuPages pages(world);
    world.engine.moveMouse(400, 170);
    // The first pass starts page 0's clock.
    pages.frame(CMenuPages::CREDITS);
    for (const Page& page : order) {
        // Fully shown from 2500 ms to 5500 ms of the page.
        world.advance(3000);
        EXPECT_EQ(pages.frame(CMenuPages::CREDITS), "");
        EXPECT_EQ(pages.creditsLine(1)->getText(), texts[page.line1]) << "page of entry " << page.line1;
        EXPECT_EQ(pages.creditsLine(2)->getText(), texts[page.line2]) << "page of entry " << page.line1;
        EXPECT_EQ(pages.creditsLine(1)->getColor().getAlpha(), 255u) << "page of entry " << page.line1;
        // At 8000 ms the next page comes in, hidden; its clock starts on the pass after.
        world.advance(5000);
        pages.frame(CMenuPages::CREDITS);
        EXPECT_EQ(pages.creditsLine(2)->getColor().getAlpha(), 0u) << "page of entry " << page.line1;
        pages.frame(CMenuPages::CREDITS);
    }
}
