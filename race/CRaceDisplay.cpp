#include "race/CRace.h"

#include <algorithm>
#include <btBulletDynamicsCommon.h>
#include <cstdio>
#include <vector>

#include "core/CGameData.h"
#include "core/CGameEngine.h"
#include "core/CTranslation.h"
#include "core/SGameSettings.h"
#include "font/CGUITTFont.h"
#include "menu/CGuiTextButton.h"
#include "world/CEntityManager.h"
#include "world/CVehicleEntity.h"
#include "world/SEntityDesc.h"

using namespace irr;

namespace {

const char* const kDisplayFont = "data/fonts/komika_axis.ttf";
const char* const kPlaceImages[3] = {"data/2d/others/place01.png", "data/2d/others/place02.png",
                                     "data/2d/others/place03.png"};
const video::SColor kHudYellow(0xFFF2C601);
const video::SColor kWhite(0xFFFFFFFF);
const video::SColor kMessageOrange(0xFFD69900);
// Text table entries of the display.
const int kPlaceText = 38;
const int kLapText = 39;
const int kClosingTitle = 40;
const int kClosingLines = 41;
const int kMessageCount = 7;
// The closing sequence after the last mission: the overlay darkens from 5 s on, the place text
// fades from 6 s on, the messages start at 9.5 s; each message lasts 8 s.
const f32 kOverlayFrom = 5000.0f;
const f32 kPlaceFadeFrom = 6000.0f;
const f32 kMessagesFrom = 9500.0f;
const f32 kOverlayPerSecond = 0.25f;
const f32 kPlaceFadePerSecond = 0.3f;
const f32 kMessageFadePerSecond = 0.5f;
const f32 kOverlayDarkness = 0.91f;
const f32 kMessageLength = 8000.0f;

// Display names are plain bytes: each one is a character.
core::stringw widen(const std::string& narrow)
{
    core::stringw wide;
    wide.reserve(static_cast<u32>(narrow.size()) + 1);
    for (unsigned char c : narrow)
        wide.append(static_cast<wchar_t>(c));
    return wide;
}

core::stringw raceTimeText(s32 milliseconds)
{
    return toStringW(formatRaceTime(milliseconds).c_str());
}

video::SColor withAlpha(video::SColor colour, f32 alpha)
{
    colour.setAlpha(static_cast<u32>(alpha * 255.0f));
    return colour;
}

f32 growTo1(f32 value, f32 step)
{
    if (value < 1.0f)
        value += step;
    return value > 1.0f ? 1.0f : value;
}


} // namespace

// The display's fonts, place images and the closing sequence's labels.
void CRace::buildDisplay()
{
    video::IVideoDriver* driver = engine->getVideoDriver();
    // The display's images and glyph pages are only ever drawn at their own size.
    driver->setTextureCreationFlag(video::ETCF_CREATE_MIP_MAPS, false);
    const f32 unit = static_cast<f32>(driver->getScreenSize().Height * 0.001);
    smallFont = engine->getFont(kDisplayFont, static_cast<u32>(unit * 35.0f));
    bigFont = engine->getFont(kDisplayFont, static_cast<u32>(unit * 65.0f));
    if (!smallFont || !bigFont)
        std::printf("Warning: Could not load the race display font %s; its texts stay away\n",
                    kDisplayFont);
    for (int i = 0; i < 3; ++i) {
        placeTextures[i] = driver->getTexture(kPlaceImages[i]);
        if (!placeTextures[i])
            std::printf("Warning: Could not load the place image %s; that place is shown as text\n",
                        kPlaceImages[i]);
    }
    messageLine1 = new CGuiTextButton(L"None", kDisplayFont, 55.0f, true, true, kMessageOrange,
                                      kHudYellow, 300.0f, 700.0f, 400.0f, 480.0f, true, engine);
    messageLine2 = new CGuiTextButton(L"None", kDisplayFont, 45.0f, true, true, kMessageOrange,
                                      kHudYellow, 300.0f, 700.0f, 510.0f, 565.0f, true, engine);
    messageTitle = new CGuiTextButton(L"None", kDisplayFont, 100.0f, true, true, kMessageOrange,
                                      kHudYellow, 300.0f, 700.0f, 465.0f, 535.0f, true, engine);
    driver->setTextureCreationFlag(video::ETCF_CREATE_MIP_MAPS, true);
}

void CRace::setCanvas(CRaceCanvas* other) { canvas = other ? other : &screen; }

void CRace::resetCounters()
{
    messageCycleStart = 0.0f;
    endingStartTime = 0.0f;
    messageIndex = 0;
    placeFade = 0.0f;
    overlayAlpha = 0.0f;
    messageAlpha = 0.0f;
}

// The laps, standings, clock and place over the scene, and the closing sequence after the last
// mission.
void CRace::drawDisplay()
{
    video::IVideoDriver* driver = engine->getVideoDriver();
    driver->setMaterial(driver->getMaterial2D());
    const core::dimension2d<u32> size = driver->getScreenSize();
    screenWidth = size.Width;
    screenHeight = size.Height;

    drawFrameCounter();
    drawLaps();
    if (gameData->getRaceType() == 1)
        drawRallyTimes();
    else
        drawStandings();
    drawRaceClock();
    if (gameData->getRacePhase() == 1) {
        const bool ending = endsTheLadder();
        drawPlace(ending);
        if (ending)
            drawClosingSequence();
    }
}

const std::wstring& CRace::text(int index) const
{
    static const std::wstring none;
    return texts ? texts->texts[index] : none;
}

// A box in fractions of the screen, in whole pixels.
core::recti CRace::box(double left, double top, double right, double bottom) const
{
    return core::recti(static_cast<s32>(left * screenWidth), static_cast<s32>(top * screenHeight),
                       static_cast<s32>(right * screenWidth),
                       static_cast<s32>(bottom * screenHeight));
}

void CRace::drawFrameCounter()
{
    if (!settings->showFps)
        return;
    const core::stringw fps = core::stringw(L"FPS: ") + core::stringw(engine->getVideoDriver()->getFPS());
    canvas->drawText(smallFont, fps, box(0.02, 0.93, 0.16, 0.98), kHudYellow, false, true);
}

// The lap being driven: 0 before the line, never past the last one.
void CRace::drawLaps()
{
    CVehicleEntity* player = playerVehicle();
    if (!player)
        return;
    const s32 laps = gameData->getLaps();
    s32 lap = player->getLap() < 0 ? 0 : player->getLap() + 1;
    if (lap > laps)
        lap = laps;
    const core::stringw line = core::stringw(text(kLapText).c_str()) + core::stringw(lap) +
                               core::stringw(L" / ") + core::stringw(laps);
    canvas->drawText(smallFont, line, box(0.02, 0.11, 0.25, 0.16), kHudYellow, false, true);
}

// The first four of the race order, each in its car's colour.
void CRace::drawStandings()
{
    static const double rowTop[4] = {0.11, 0.16, 0.21, 0.26};
    static const double rowBottom[4] = {0.16, 0.21, 0.26, 0.32};
    static const wchar_t* const rowPlace[4] = {L"1: ", L"2: ", L"3: ", L"4: "};
    for (s32 r = 0; r < 4 && r < entities->getVehicleCount(); ++r) {
        CVehicleEntity* vehicle = gameData->getRaceOrderEntry(r);
        SEntityDesc* desc = vehicle ? vehicle->getDesc() : nullptr;
        if (!desc)
            continue;
        canvas->drawText(smallFont, core::stringw(rowPlace[r]) + widen(vehicle->getDisplayName()),
                         box(0.81, rowTop[r], 0.98, rowBottom[r]), desc->getColor(), false, true);
    }
}

// The best times first, also on the frame a finish adds its time at the end.
void CRace::drawRallyTimes()
{
    gameData->sortRallyTimes();
    for (s32 i = 0; i < gameData->getRallyTimeCount(); ++i) {
        const double step = 0.05f * static_cast<f32>(i);
        canvas->drawText(smallFont, raceTimeText(gameData->getRallyTime(i)),
                         box(0.81, 0.11 + step, 0.98, 0.16 + step), kHudYellow, false, true);
    }
}

void CRace::drawRaceClock()
{
    const s32 phase = gameData->getRacePhase();
    if (phase == 1)
        return;
    const s32 time = phase == 0 ? 0 : static_cast<s32>(gameClock() - raceStart());
    canvas->drawText(bigFont, raceTimeText(time), box(0.4, 0.08, 0.6, 0.15), kWhite, false, true);
}

void CRace::drawPlace(bool ending)
{
    const s32 finishTime = static_cast<s32>(gameData->getFinishTime() - raceStart());
    s32 place = 0;
    if (gameData->getRaceType() == 1) {
        place = static_cast<s32>(gameData->getRallyPlace(finishTime));
    } else {
        CVehicleEntity* player = playerVehicle();
        for (s32 i = 0; i < gameData->getFinisherCount(); ++i) {
            if (player && gameData->getFinisher(i) == player)
                place = i;
        }
    }

    // The ending starts on its first frame, so the place only fades 6 s after that.
    if (ending && endingStartTime == 0.0f)
        endingStartTime = gameClock();
    if (ending && gameClock() > endingStartTime + kPlaceFadeFrom)
        placeFade = growTo1(placeFade, engine->frameDelta * kPlaceFadePerSecond);
    const f32 fade = ending ? placeFade : 0.0f;

    if (place < 3 && placeTextures[place]) {
        canvas->drawImage(placeTextures[place],
                          core::position2di(static_cast<s32>(0.375 * screenWidth),
                                            static_cast<s32>(0.25 * screenHeight)),
                          box(0.0, 0.0, 0.25, 0.5));
    } else {
        // Built wide from the start: the prefix may be in any language.
        const core::stringw line = core::stringw(text(kPlaceText).c_str()) + core::stringw(place + 1);
        canvas->drawText(bigFont, line, box(0.4, 0.4, 0.6, 0.6), withAlpha(kHudYellow, 1.0f - fade),
                         true, true);
    }
    canvas->drawText(bigFont, raceTimeText(finishTime), box(0.4, 0.08, 0.6, 0.15), kWhite, false,
                     true);
}

// After winning the last mission: the screen darkens, then the closing messages come one by
// one, each faded in, held and faded out.
void CRace::drawClosingSequence()
{
    const f32 now = gameClock();
    if (now > endingStartTime + kOverlayFrom)
        overlayAlpha = growTo1(overlayAlpha, engine->frameDelta * kOverlayPerSecond);
    canvas->drawRectangle(withAlpha(video::SColor(0xFF000000), overlayAlpha * kOverlayDarkness),
                          box(0.0, 0.0, 1.0, 1.0));
    if (now > endingStartTime + kMessagesFrom)
        fadeMessages(now);
}

void CRace::fadeMessages(f32 now)
{
    if (messageCycleStart == 0.0f)
        messageCycleStart = now;
    const f32 t = now - messageCycleStart;
    const f32 step = engine->frameDelta * kMessageFadePerSecond;
    if (t > 500.0f && t < 2500.0f) {
        messageAlpha = growTo1(messageAlpha, step);
    } else if (t > 2500.0f && t < 5500.0f) {
        messageAlpha = 1.0f;
    } else if (t > 5500.0f && t < 7500.0f) {
        if (messageAlpha > 0.0f)
            messageAlpha -= step;
        if (messageAlpha < 0.0f)
            messageAlpha = 0.0f;
    } else if (t < 500.0f || t > 7500.0f) {
        messageAlpha = 0.0f;
    }
    if (t >= kMessageLength) {
        messageCycleStart = 0.0f;
        messageIndex = (messageIndex + 1) % kMessageCount;
    }

    const video::SColor colour = withAlpha(kMessageOrange, messageAlpha);
    for (CGuiTextButton* label : {messageLine1, messageLine2, messageTitle}) {
        label->setColor(colour);
        label->setHoverColor(colour);
    }
    if (messageIndex == 0) {
        messageTitle->setText(text(kClosingTitle));
        canvas->drawLabel(messageTitle);
    } else if (messageIndex < kMessageCount - 1) {
        messageLine1->setText(text(kClosingLines + 2 * (messageIndex - 1)));
        messageLine2->setText(text(kClosingLines + 2 * (messageIndex - 1) + 1));
        canvas->drawLabel(messageLine1);
        canvas->drawLabel(messageLine2);
    } else {
        for (CGuiTextButton* label : {messageLine1, messageLine2, messageTitle})
            label->setText(L" ");
    }
}

// The time spent in the menu does not count on any clock of the race.