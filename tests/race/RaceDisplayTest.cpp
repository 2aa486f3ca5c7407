// The race display on the test missions, on an 800 x 600 null screen: what each frame puts on the
// screen, read through a canvas that records it: the frame counter, the laps, the standings and
// rally times, the race clock, the place and final time, and the closing sequence after the last
// mission.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "RaceFixtures.h"
#include "core/CGameData.h"
#include "core/CGameEngine.h"
#include "core/CTranslation.h"
#include "font/CGUITTFont.h"
#include "menu/CGuiTextButton.h"
#include "race/CRaceCanvas.h"
#include "world/CVehicleEntity.h"

using namespace irr;
using racetest::CRaceWorld;

namespace {

const char* const kFixtures = SANDVOLT_FIXTURE_DIR;
const char* const kFont = "data/fonts/komika_axis.ttf";
const u32 kSmallSize = 21; // 3.5 % of 600
const u32 kBigSize = 39;   // 6.5 % of 600
const u32 kHudYellow = 0xFFF2C601;
const u32 kWhite = 0xFFFFFFFF;

const core::recti kFrameCounterBox(16, 558, 128, 588);
const core::recti kLapBox(16, 66, 200, 96);
const core::recti kClockBox(320, 48, 480, 90);
const core::recti kPlaceBox(320, 240, 480, 360);
const core::recti kStandingBoxes[4] = {{648, 66, 784, 96}, {648, 96, 784, 126},
                                       {648, 126, 784, 156}, {648, 156, 784, 192}};

struct SDrawn {
    enum EKind { TEXT, IMAGE, RECTANGLE, LABEL };
    explicit SDrawn(EKind kind) : kind(kind) {}
    EKind kind;
    gui::IGUIFont* font = nullptr;
    std::wstring text;
    core::recti box;
    u32 colour = 0;
    bool hcenter = false;
    bool vcenter = false;
    video::ITexture* texture = nullptr;
    CGuiTextButton* label = nullptr;
    u32 hoverColour = 0;
    // A label's font size (pixels).
    u32 size = 0;
    // Scene passes drawn earlier in the frame.
    int scenesBefore = 0;
};

// A scene node that counts the times the scene manager renders it: one count per scene pass.
class CScenePassCounter : public scene::ISceneNode {
public:
    explicit CScenePassCounter(scene::ISceneManager* manager)
        : scene::ISceneNode(manager->getRootSceneNode(), manager)
    {
        setAutomaticCulling(scene::EAC_OFF);
    }
    void OnRegisterSceneNode() override
    {
        if (IsVisible)
            SceneManager->registerNodeForRendering(this, scene::ESNRP_SOLID);
        ISceneNode::OnRegisterSceneNode();
    }
    void render() override { ++passes; }
    const core::aabbox3df& getBoundingBox() const override { return bounds; }

    int passes = 0;
    core::aabbox3df bounds{-1.0f, -1.0f, -1.0f, 1.0f, 1.0f, 1.0f};
};

// Keeps what one frame of the display drew, in order.
class CRecordingCanvas : public CRaceCanvas {
public:
    explicit CRecordingCanvas(CGameEngine* engine) : CRaceCanvas(engine) {}

    void record(SDrawn d)
    {
        d.scenesBefore = scenePasses ? scenePasses->passes : 0;
        drawn.push_back(d);
    }

    void drawText(gui::IGUIFont* font, const core::stringw& text, const core::recti& box,
                  video::SColor colour, bool hcenter, bool vcenter) override
    {
        SDrawn d(SDrawn::TEXT);
        d.font = font;
        d.text = text.c_str();
        d.box = box;
        d.colour = colour.color;
        d.hcenter = hcenter;
        d.vcenter = vcenter;
        record(d);
    }
    void drawImage(video::ITexture* texture, const core::position2di& position,
                   const core::recti& sourceRect) override
    {
        SDrawn d(SDrawn::IMAGE);
        d.texture = texture;
        d.box = core::recti(position, sourceRect.getSize());
        record(d);
    }
    void drawRectangle(video::SColor colour, const core::recti& box) override
    {
        SDrawn d(SDrawn::RECTANGLE);
        d.colour = colour.color;
        d.box = box;
        record(d);
    }
    void drawLabel(CGuiTextButton* label) override
    {
        SDrawn d(SDrawn::LABEL);
        d.label = label;
        d.text = label->getText();
        d.colour = label->getColor().color;
        d.hoverColour = label->getHoverColor().color;
        d.size = label->getFont() ? label->getFont()->getFontSize() : 0;
        d.box = core::recti(std::lround(label->getLeft()), std::lround(label->getTop()),
                            std::lround(label->getRight()), std::lround(label->getBottom()));
        d.hcenter = label->getHCenter();
        d.vcenter = label->getVCenter();
        record(d);
    }

    std::vector<SDrawn> of(SDrawn::EKind kind) const
    {
        std::vector<SDrawn> found;
        for (const SDrawn& d : drawn) {
            if (d.kind == kind)
                found.push_back(d);
        }
        return found;
    }
    // The texts drawn in exactly this box, in order.
    std::vector<SDrawn> textsIn(const core::recti& box) const
    {
        std::vector<SDrawn> found;
        for (const SDrawn& d : of(SDrawn::TEXT)) {
            if (d.box == box)
                found.push_back(d);
        }
        return found;
    }

    // The texts whose box starts at this x, in order.
    std::vector<SDrawn> textsInColumn(s32 left) const
    {
        std::vector<SDrawn> found;
        for (const SDrawn& d : of(SDrawn::TEXT)) {
            if (d.box.UpperLeftCorner.X == left)
                found.push_back(d);
        }
        return found;
    }

    std::vector<SDrawn> drawn;
    CScenePassCounter* scenePasses = nullptr;
};

racetest::SWorldOptions withDisplay(std::vector<int> missingPlaceImages = {})
{
    racetest::SWorldOptions options;
    options.display = true;
    options.missingPlaceImages = missingPlaceImages;
    return options;
}

// A race with the display's art and texts whose every frame is recorded.
struct SDisplayRace {
    explicit SDisplayRace(const char* mission, racetest::SWorldOptions options = withDisplay(),
                          const char* linkedAs = nullptr)
        : world(kFixtures, options), canvas(world.engine.get())
    {
        std::string folder = std::string("missions/") + mission + "/";
        if (linkedAs) {
            world.linkMission(linkedAs, mission);
            folder = std::string("missions/") + linkedAs + "/";
        }
        loaded = world.load(folder);
        world.race->setCanvas(&canvas);
        scenePasses = new CScenePassCounter(world.engine->getSceneManager());
        canvas.scenePasses = scenePasses;
        small = world.engine->getFont(kFont, kSmallSize);
        big = world.engine->getFont(kFont, kBigSize);
    }
    // One frame 1/60 s after the last (or at exactly `timerMs`), recorded afresh.
    ~SDisplayRace() { scenePasses->drop(); }
    bool frame()
    {
        canvas.drawn.clear();
        scenePasses->passes = 0;
        return world.frame();
    }
    bool frameAt(u32 timerMs)
    {
        canvas.drawn.clear();
        scenePasses->passes = 0;
        return world.frameAt(timerMs);
    }
    // The timer at a game-clock time of the race (load + 6000 ms is race time 0).
    u32 atRaceTime(s32 ms) const { return loadedAt + 6000 + ms; }
    const std::wstring& text(int i) { return world.texts->texts[i]; }

    CRaceWorld world;
    CRecordingCanvas canvas;
    u32 loadedAt = world.now();
    bool loaded = false;
    CScenePassCounter* scenePasses = nullptr;
    gui::IGUIFont* small = nullptr;
    gui::IGUIFont* big = nullptr;
};

void expectText(const SDrawn& d, const std::wstring& text, gui::IGUIFont* font, u32 colour,
                bool hcenter, const char* what)
{
    EXPECT_EQ(d.text, text) << what;
    EXPECT_EQ(d.font, font) << what;
    EXPECT_EQ(d.colour, colour) << what << std::hex << ": colour " << d.colour;
    EXPECT_EQ(d.hcenter, hcenter) << what;
    EXPECT_TRUE(d.vcenter) << what;
}

TEST(RaceDisplay, IsDrawnOverTheWholeScene)
{
    SDisplayRace race("race");
    ASSERT_TRUE(race.loaded) << race.world.out;
    for (int f = 0; f < 3; ++f) {
        ASSERT_TRUE(race.frame());
        ASSERT_GT(race.scenePasses->passes, 0) << "the scene was not drawn";
        ASSERT_FALSE(race.canvas.drawn.empty());
        for (const SDrawn& d : race.canvas.drawn)
            EXPECT_EQ(d.scenesBefore, race.scenePasses->passes) << "a piece of the display under the scene";
    }
}

TEST(RaceDisplay, FontsFollowTheScreenHeight)
{
    SDisplayRace race("race");
    ASSERT_TRUE(race.loaded) << race.world.out;
    ASSERT_NE(race.small, nullptr);
    ASSERT_NE(race.big, nullptr);
    ASSERT_TRUE(race.frame());
    const std::vector<SDrawn> laps = race.canvas.textsIn(kLapBox);
    ASSERT_EQ(laps.size(), 1u);
    EXPECT_EQ(laps[0].font, race.small);
    const std::vector<SDrawn> clock = race.canvas.textsIn(kClockBox);
    ASSERT_EQ(clock.size(), 1u);
    EXPECT_EQ(clock[0].font, race.big);
}

struct SLapCase {
    s32 laps; // the player's completed laps
    const wchar_t* shown;
};

TEST(RaceDisplay, LapCounterShowsTheLapBeingDrivenAndNeverOneMore)
{
    const SLapCase cases[] = {{-1, L"0 / 2"}, {0, L"1 / 2"}, {1, L"2 / 2"}, {2, L"2 / 2"}};
    for (const SLapCase& c : cases) {
        SDisplayRace race("race");
        ASSERT_TRUE(race.loaded) << race.world.out;
        race.world.player()->setLap(c.laps);
        ASSERT_TRUE(race.frame());
        const std::vector<SDrawn> laps = race.canvas.textsIn(kLapBox);
        ASSERT_EQ(laps.size(), 1u) << c.laps;
        expectText(laps[0], race.text(39) + c.shown, race.small, kHudYellow, false, "laps");
    }
}

struct SStandingCase {
    const char* mission;
    std::vector<const wchar_t*> rows;
    std::vector<u32> colours;
};

TEST(RaceDisplay, StandingsShowTheFirstFourInTheirCarsColours)
{
    const SStandingCase cases[] = {
        {"flat", {L"1: Player"}, {0xFFC8281E}},
        {"duel", {L"1: Player", L"2: Rival"}, {0xFFC8281E, 0xFF1E5AC8}},
        {"grid",
         {L"1: Player", L"2: Rival", L"3: Hauler", L"4: Sprinter"},
         {0xFFC8281E, 0xFF1E5AC8, 0xFFE6BE1E, 0xFF28AA3C}},
    };
    for (const SStandingCase& c : cases) {
        SDisplayRace race(c.mission);
        ASSERT_TRUE(race.loaded) << race.world.out;
        race.world.gameData.setRaceType(0);
        ASSERT_TRUE(race.frame());
        EXPECT_EQ(race.canvas.textsInColumn(648).size(), c.rows.size()) << c.mission;
        for (size_t r = 0; r < 4; ++r) {
            const std::vector<SDrawn> row = race.canvas.textsIn(kStandingBoxes[r]);
            ASSERT_EQ(row.size(), r < c.rows.size() ? 1u : 0u) << c.mission << " row " << r;
            if (!row.empty())
                expectText(row[0], c.rows[r], race.small, c.colours[r], false, c.mission);
        }
    }
}

TEST(RaceDisplay, StandingsFollowTheRaceOrder)
{
    SDisplayRace race("duel");
    ASSERT_TRUE(race.loaded) << race.world.out;
    race.world.vehicle(1)->setLap(1);
    ASSERT_TRUE(race.frame());
    ASSERT_EQ(race.canvas.textsIn(kStandingBoxes[0]).size(), 1u);
    EXPECT_EQ(race.canvas.textsIn(kStandingBoxes[0])[0].text, L"1: Rival");
    EXPECT_EQ(race.canvas.textsIn(kStandingBoxes[1])[0].text, L"2: Player");
}

TEST(RaceDisplay, WithoutCarsNoLapsAndNoStandingsAreDrawn)
{
    SDisplayRace race("race");
    ASSERT_TRUE(race.loaded) << race.world.out;
    race.world.entities.clearVehicles();
    race.world.gameData.buildRaceOrder(&race.world.entities);
    ASSERT_TRUE(race.frame());
    EXPECT_TRUE(race.canvas.textsIn(kLapBox).empty());
    for (const core::recti& box : kStandingBoxes)
        EXPECT_TRUE(race.canvas.textsIn(box).empty());
    EXPECT_EQ(race.canvas.textsIn(kClockBox).size(), 1u) << "the clock still runs";
}

TEST(RaceDisplay, RallyTimesAreListedBestFirstInsteadOfStandings)
{
    SDisplayRace race("flat"); // stores 90000, 45000 and 60000 ms
    ASSERT_TRUE(race.loaded) << race.world.out;
    ASSERT_TRUE(race.frame());
    const wchar_t* const times[] = {L"00:45:00", L"01:00:00", L"01:30:00"};
    const core::recti boxes[] = {{648, 66, 784, 96}, {648, 96, 784, 126}, {648, 126, 784, 156}};
    EXPECT_EQ(race.canvas.textsInColumn(648).size(), 3u) << "no standing rows in a rally";
    for (int i = 0; i < 3; ++i) {
        const std::vector<SDrawn> row = race.canvas.textsIn(boxes[i]);
        ASSERT_EQ(row.size(), 1u) << i;
        expectText(row[0], times[i], race.small, kHudYellow, false, "rally time");
    }

    // The player's time takes its place on the very frame of the finish.
    race.world.player()->setLap(1);
    ASSERT_TRUE(race.frameAt(race.atRaceTime(50000)));
    const std::vector<SDrawn> rows = race.canvas.textsInColumn(648);
    std::vector<std::wstring> listed;
    for (const SDrawn& row : rows)
        listed.push_back(row.text);
    EXPECT_EQ(listed, (std::vector<std::wstring>{L"00:45:00", L"00:50:00", L"01:00:00", L"01:30:00"}));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[3].box, core::recti(648, 156, 784, 186));
}

TEST(RaceDisplay, RaceClockShowsZeroUntilTheStartThenTheRaceTime)
{
    SDisplayRace race("race");
    ASSERT_TRUE(race.loaded) << race.world.out;
    ASSERT_TRUE(race.frameAt(race.atRaceTime(-10)));
    ASSERT_EQ(race.world.gameData.getRacePhase(), 0);
    ASSERT_EQ(race.canvas.textsIn(kClockBox).size(), 1u);
    expectText(race.canvas.textsIn(kClockBox)[0], L"00:00:00", race.big, kWhite, false, "countdown");

    ASSERT_TRUE(race.frameAt(race.atRaceTime(61239)));
    ASSERT_EQ(race.world.gameData.getRacePhase(), 2);
    ASSERT_EQ(race.canvas.textsIn(kClockBox).size(), 1u);
    expectText(race.canvas.textsIn(kClockBox)[0], L"01:01:23", race.big, kWhite, false, "running");
}

TEST(RaceDisplay, FrameCounterOnlyWithTheSetting)
{
    for (const bool on : {false, true}) {
        SDisplayRace race("race");
        ASSERT_TRUE(race.loaded) << race.world.out;
        race.world.engine.settings.showFps = on;
        ASSERT_TRUE(race.frame());
        const std::vector<SDrawn> counter = race.canvas.textsIn(kFrameCounterBox);
        ASSERT_EQ(counter.size(), on ? 1u : 0u);
        if (on) {
            const std::wstring& text = counter[0].text;
            ASSERT_GT(text.size(), 5u);
            EXPECT_EQ(text.substr(0, 5), L"FPS: ");
            EXPECT_EQ(text.find_first_not_of(L"0123456789", 5), std::wstring::npos) << "a number";
            EXPECT_EQ(counter[0].font, race.small);
            EXPECT_EQ(counter[0].colour, kHudYellow);
        }
    }
}

struct SPlaceCase {
    const char* what;
    s32 raceTimeMs; // the player's rally time against the stored 45000, 60000 and 90000
    std::vector<int> missingImages;
    int image;          // place image shown (1 to 3), 0 for the text
    const wchar_t* text; // after the text table's place prefix
};

TEST(RaceDisplay, PlaceShowsItsImageOrItsNumberWithTheFinalTime)
{
    const SPlaceCase cases[] = {
        {"first", 30000, {}, 1, nullptr},
        {"second", 50000, {}, 2, nullptr},
        {"third", 70000, {}, 3, nullptr},
        {"fourth has no image", 95000, {}, 0, L"4"},
        {"a missing image", 50000, {2}, 0, L"2"},
    };
    for (const SPlaceCase& c : cases) {
        SDisplayRace race("flat", withDisplay(c.missingImages));
        ASSERT_TRUE(race.loaded) << race.world.out;
        race.world.player()->setLap(1);
        ASSERT_TRUE(race.frameAt(race.atRaceTime(c.raceTimeMs))) << c.what;
        ASSERT_EQ(race.world.gameData.getRacePhase(), 1) << c.what;
        ASSERT_TRUE(race.frame()) << c.what;

        const std::vector<SDrawn> images = race.canvas.of(SDrawn::IMAGE);
        const std::vector<SDrawn> placeText = race.canvas.textsIn(kPlaceBox);
        if (c.image) {
            ASSERT_EQ(images.size(), 1u) << c.what;
            const std::string file = "data/2d/others/place0" + std::to_string(c.image) + ".png";
            EXPECT_EQ(images[0].texture, race.world.engine->getVideoDriver()->getTexture(file.c_str()))
                << c.what;
            EXPECT_EQ(images[0].box, core::recti(300, 150, 500, 450)) << c.what;
            EXPECT_TRUE(placeText.empty()) << c.what;
        } else {
            EXPECT_TRUE(images.empty()) << c.what;
            ASSERT_EQ(placeText.size(), 1u) << c.what;
            expectText(placeText[0], race.text(38) + c.text, race.big, kHudYellow, true, c.what);
        }
        // The final time takes the race clock's place.
        const std::vector<SDrawn> clock = race.canvas.textsIn(kClockBox);
        ASSERT_EQ(clock.size(), 1u) << c.what;
        const std::string time = formatRaceTime(c.raceTimeMs);
        expectText(clock[0], std::wstring(time.begin(), time.end()), race.big, kWhite, false, c.what);
    }
}

TEST(RaceDisplay, PlaceOfALapRaceIsThePlayersPlaceInTheFinishOrder)
{
    SDisplayRace race("grid");
    ASSERT_TRUE(race.loaded) << race.world.out;
    race.world.frames(370);
    for (int i = 1; i <= 3; ++i)
        race.world.vehicle(i)->setLap(2);
    ASSERT_TRUE(race.frame());
    race.world.player()->setLap(2);
    ASSERT_TRUE(race.frame());
    ASSERT_EQ(race.world.gameData.getRacePhase(), 1);
    ASSERT_EQ(race.canvas.textsIn(kPlaceBox).size(), 1u);
    EXPECT_EQ(race.canvas.textsIn(kPlaceBox)[0].text, race.text(38) + L"4");
    EXPECT_TRUE(race.canvas.of(SDrawn::IMAGE).empty());
}

TEST(RaceDisplay, PlaceTextKeepsAPrefixInAnyLanguage)
{
    SDisplayRace race("flat");
    ASSERT_TRUE(race.loaded) << race.world.out;
    race.world.texts->texts[38] = L"Место ";
    race.world.player()->setLap(1);
    ASSERT_TRUE(race.frameAt(race.atRaceTime(95000)));
    ASSERT_EQ(race.canvas.textsIn(kPlaceBox).size(), 1u);
    EXPECT_EQ(race.canvas.textsIn(kPlaceBox)[0].text, L"Место 4");
}

// --- the closing sequence after winning the last mission -----------------------------------

struct SFadeCase {
    const char* what;
    const char* mission;
    s32 raceTimeMs;
    bool ending;
};

// Place 1's image left out, so the place is text and its fade can be seen.
TEST(RaceDisplay, OnlyTheLastMissionsEndingFadesThePlaceAndDarkensTheScreen)
{
    const SFadeCase cases[] = {
        {"winning the last mission", "m08", 30000, true},
        {"winning another mission", "m01", 30000, false},
        {"losing the last mission", "m08", 95000, false},
    };
    for (const SFadeCase& c : cases) {
        SDisplayRace race("flat", withDisplay({1}), c.mission);
        ASSERT_TRUE(race.loaded) << race.world.out;
        race.world.player()->setLap(1);
        const u32 finish = race.atRaceTime(c.raceTimeMs);
        struct SStep {
            u32 after; // ms after the finish
            u32 placeAlpha;
            int overlayAlpha; // -1: no overlay
        };
        // A rally is won from the frame after the finish, where the ending begins: nothing fades
        // for 5 s, then the overlay comes at a quarter a second, the place from 6 s on at 0.3.
        const SStep steps[] = {{0, 255, -1},     {16, 255, 0},     {5000, 255, 0},
                               {6000, 255, 58},  {7000, 178, 116}, {9000, 25, 232},
                               {10000, 0, 232}};
        for (const SStep& s : steps) {
            // Any other race ends 8 s after the finish.
            if (!c.ending && s.after > 8000)
                break;
            ASSERT_TRUE(race.frameAt(finish + s.after)) << c.what;
            ASSERT_EQ(race.world.gameData.getRacePhase(), 1) << c.what;
            const std::vector<SDrawn> place = race.canvas.textsIn(kPlaceBox);
            ASSERT_EQ(place.size(), 1u) << c.what;
            const u32 alpha = place[0].colour >> 24;
            EXPECT_EQ(alpha, c.ending ? s.placeAlpha : 255u) << c.what << " at +" << s.after;
            EXPECT_EQ(place[0].colour & 0xFFFFFF, 0xF2C601u) << c.what;
            const std::vector<SDrawn> overlay = race.canvas.of(SDrawn::RECTANGLE);
            const bool darkened = c.ending && s.overlayAlpha >= 0;
            ASSERT_EQ(overlay.size(), darkened ? 1u : 0u) << c.what << " at +" << s.after;
            if (darkened) {
                EXPECT_EQ(overlay[0].box, core::recti(0, 0, 800, 600));
                EXPECT_EQ(static_cast<int>(overlay[0].colour >> 24), s.overlayAlpha)
                    << c.what << " at +" << s.after;
                EXPECT_EQ(overlay[0].colour & 0xFFFFFF, 0u);
            }
            EXPECT_EQ(race.canvas.of(SDrawn::LABEL).empty(), !c.ending || s.after < 9516)
                << c.what << ": the messages start 9.5 s into the ending";
        }
    }
}

// The label alpha of the one message frame at `timerMs`, -1 when no label was drawn.
int messageAlphaAt(SDisplayRace& race, u32 timerMs)
{
    EXPECT_TRUE(race.frameAt(timerMs));
    const std::vector<SDrawn> labels = race.canvas.of(SDrawn::LABEL);
    if (labels.empty())
        return -1;
    for (const SDrawn& label : labels) {
        EXPECT_EQ(label.colour & 0xFFFFFF, 0xD69900u);
        EXPECT_EQ(label.hoverColour, label.colour) << "a label does not react to the mouse";
    }
    return static_cast<int>(labels[0].colour >> 24);
}

TEST(RaceDisplay, ClosingMessagesFadeInHoldAndFadeOut)
{
    SDisplayRace race("flat", withDisplay(), "m08");
    ASSERT_TRUE(race.loaded) << race.world.out;
    race.world.player()->setLap(1);
    const u32 finish = race.atRaceTime(30000);
    ASSERT_TRUE(race.frameAt(finish));
    // A rally is won from the frame after the finish: the ending begins there.
    const u32 ending = finish + 1;
    EXPECT_EQ(messageAlphaAt(race, ending), -1);
    EXPECT_EQ(messageAlphaAt(race, ending + 9500), -1) << "the messages start after 9.5 s";
    // The first message starts here; each step below is one frame.
    const u32 start = ending + 9501;
    struct SStep {
        u32 into;
        int alpha;
    };
    const SStep steps[] = {
        {0, 0},       {500, 0},     // 0 up to and at 500 ms
        {1500, 127},  {2500, 127},  // half a second's worth of fading in a second; kept at 2500
        {2501, 255},  {5500, 255},  // held
        {6500, 127},  {7500, 127},  // fading out, kept at 7500
        {7501, 0},    {7999, 0},
    };
    for (const SStep& s : steps)
        EXPECT_EQ(messageAlphaAt(race, start + s.into), s.alpha) << s.into << " ms into the message";
    std::vector<SDrawn> labels = race.canvas.of(SDrawn::LABEL);
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0].text, race.text(40)) << "the title comes first";

    // At 8000 ms the next message takes over, invisible until 500 ms into it.
    EXPECT_EQ(messageAlphaAt(race, start + 8000), 0);
    labels = race.canvas.of(SDrawn::LABEL);
    ASSERT_EQ(labels.size(), 2u);
    EXPECT_EQ(labels[0].text, race.text(41));
    EXPECT_EQ(labels[1].text, race.text(42));
    EXPECT_EQ(messageAlphaAt(race, start + 8001), 0);
    EXPECT_EQ(messageAlphaAt(race, start + 9001), 127);
}

struct SLabelCase {
    const char* what;
    int text;
    u32 size;        // pixels at 600 lines
    core::recti box; // pixels on 800 x 600
};

// The title alone, then the pairs of lines, in their sizes and boxes, centred both ways, and all
// of them over the dark overlay (drawn before them in the frame, so they stay bright).
TEST(RaceDisplay, ClosingMessagesKeepTheirSizesAndBoxesOverTheOverlay)
{
    SDisplayRace race("flat", withDisplay(), "m08");
    ASSERT_TRUE(race.loaded) << race.world.out;
    race.world.player()->setLap(1);
    const u32 finish = race.atRaceTime(30000);
    ASSERT_TRUE(race.frameAt(finish));
    ASSERT_TRUE(race.frameAt(finish + 1)); // the ending begins
    const u32 start = finish + 1 + 9501;   // the first message begins
    ASSERT_TRUE(race.frameAt(start));
    const std::vector<std::vector<SLabelCase>> messages = {
        {{"title", 40, 60, {240, 279, 560, 321}}},
        {{"first line", 41, 33, {240, 240, 560, 288}}, {"second line", 42, 27, {240, 306, 560, 339}}},
    };
    for (size_t m = 0; m < messages.size(); ++m) {
        // Each message begins on the frame after the last one's 8 s; 3 s into it, it is held.
        const u32 begins = start + 8001 * static_cast<u32>(m);
        if (m > 0) {
            ASSERT_TRUE(race.frameAt(begins - 1));
            ASSERT_TRUE(race.frameAt(begins));
        }
        ASSERT_TRUE(race.frameAt(begins + 3000));
        const std::vector<SDrawn> labels = race.canvas.of(SDrawn::LABEL);
        ASSERT_EQ(labels.size(), messages[m].size()) << "message " << m;
        for (size_t i = 0; i < labels.size(); ++i) {
            const SLabelCase& c = messages[m][i];
            EXPECT_EQ(labels[i].text, race.text(c.text)) << c.what;
            EXPECT_EQ(labels[i].colour, 0xFFD69900u) << c.what;
            EXPECT_EQ(labels[i].size, c.size) << c.what;
            EXPECT_EQ(labels[i].box, c.box) << c.what;
            EXPECT_TRUE(labels[i].hcenter) << c.what;
            EXPECT_TRUE(labels[i].vcenter) << c.what;
        }
        int overlayAt = -1, firstLabelAt = -1;
        for (size_t i = 0; i < race.canvas.drawn.size(); ++i) {
            const SDrawn& d = race.canvas.drawn[i];
            if (d.kind == SDrawn::RECTANGLE && d.box == core::recti(0, 0, 800, 600))
                overlayAt = static_cast<int>(i);
            if (d.kind == SDrawn::LABEL && firstLabelAt < 0)
                firstLabelAt = static_cast<int>(i);
        }
        ASSERT_GE(overlayAt, 0) << "message " << m << ": no overlay";
        EXPECT_LT(overlayAt, firstLabelAt) << "message " << m << ": the overlay darkens the messages";
    }
}

// Each time the messages come into sight counts, so a message shown twice shows in the list twice.
TEST(RaceDisplay, ClosingMessagesComeInOrderUntilTheRaceEnds)
{
    SDisplayRace race("flat", withDisplay(), "m08");
    ASSERT_TRUE(race.loaded) << race.world.out;
    race.world.player()->setLap(1);
    ASSERT_TRUE(race.frameAt(race.atRaceTime(30000)));
    std::vector<std::vector<std::wstring>> shown;
    bool inSight = false;
    while (race.frame()) {
        std::vector<std::wstring> texts;
        bool visible = false;
        for (const SDrawn& label : race.canvas.of(SDrawn::LABEL)) {
            texts.push_back(label.text);
            visible = visible || (label.colour >> 24) != 0;
        }
        if (visible && (!inSight || shown.back() != texts))
            shown.push_back(texts);
        inSight = visible;
    }
    const std::vector<std::vector<std::wstring>> expected = {
        {race.text(40)},
        {race.text(41), race.text(42)},
        {race.text(43), race.text(44)},
        {race.text(45), race.text(46)},
        {race.text(47), race.text(48)},
        {race.text(49), race.text(50)},
    };
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(race.world.menu->getMenuName(), "BreakAndNew");
}

} // namespace
