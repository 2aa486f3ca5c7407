#include "menu/OptionSteps.h"

#include "core/CGameData.h"
#include "core/SGameSettings.h"

using namespace irr;

s32 nextVolume(s32 volume)
{
    const long long next = static_cast<long long>(volume) + 10;
    return next < 0 || next > 100 ? 0 : static_cast<s32>(next);
}

s32 nextFilter(s32 filtering) { return filtering == 0 ? 1 : filtering == 1 ? 2 : 0; }

s32 nextShadows(s32 shadows) { return shadows == 0 ? 1 : shadows == 1 ? 2 : 0; }

s32 nextDriver(s32 graphicMode) { return graphicMode == 0 ? 1 : 0; }

bool nextResolution(CGameData* gameData, SGameSettings* settings)
{
    if (gameData->getVideoModeCount() == 0)
        return false;
    gameData->nextVideoMode();
    const core::dimension2d<u32> mode = gameData->getCurrentVideoMode();
    settings->savedWidth = mode.Width;
    settings->savedHeight = mode.Height;
    return true;
}
