#include "race/RaceRules.h"

#include <cmath>

#include "core/CGameData.h"
#include "core/SGameSettings.h"
#include "race/CWaypoint.h"
#include "world/CVehicleEntity.h"

using namespace irr;

void passCheckpoint(CVehicleEntity* car, int checkpoint)
{
    const int last = car->getLastCheckpoint();
    if (last == 2 && checkpoint == 1) {
        car->setCheckpoint1Pending(true);
    } else if (last == 2 && checkpoint == 0) {
        if (!car->isCheckpoint1Pending() && !car->isCheckpoint2Pending()) {
            car->setLap(car->getLap() + 1);
            car->setCheckpoint1Pending(true);
            car->setCheckpoint2Pending(true);
        }
    } else if (last == 0 && checkpoint == 2) {
        car->setCheckpoint2Pending(true);
    } else if (last == 0 && checkpoint == 1) {
        car->setCheckpoint1Pending(false);
    } else if (last == 1 && checkpoint == 2) {
        car->setCheckpoint2Pending(false);
    }
    car->setLastCheckpoint(checkpoint);
}

namespace {

f32 distanceSquaredTo(CGameData* gameData, s32 index, const core::vector3df& position)
{
    const CWaypoint* point = gameData->getNavigationPoint(index);
    if (!point)
        return 0.0f;
    return position.getDistanceFromSQ(core::vector3df(point->getX(), point->getY(), point->getZ()));
}

f32 distanceTo(CGameData* gameData, s32 index, const core::vector3df& position)
{
    return std::sqrt(distanceSquaredTo(gameData, index, position));
}

} // namespace

void updateNavigationProgress(CVehicleEntity* car, const core::vector3df& position,
                              CGameData* gameData)
{
    const s32 n = gameData->getNavigationPointCount();
    if (n == 0)
        return;
    // With a single point there is no next one: the distance to it is 0.
    s32 index = 0;
    f32 bestSquared = distanceSquaredTo(gameData, 0, position);
    f32 best = std::sqrt(bestSquared);
    f32 next = n > 1 ? distanceTo(gameData, 1, position) : 0.0f;
    // Every car scans the whole path every frame: squares are compared first, and a root is only
    // taken for a point that may be nearer, so that the winner is the one the distances give.
    for (s32 k = 1; k < n; ++k) {
        const f32 squared = distanceSquaredTo(gameData, k, position);
        if (squared >= bestSquared)
            continue;
        const f32 d = std::sqrt(squared);
        if (d < best) {
            index = k;
            best = d;
            bestSquared = squared;
            next = distanceTo(gameData, k == n - 1 ? 0 : k + 1, position);
        }
    }
    const bool pending1 = car->isCheckpoint1Pending();
    const bool pending2 = car->isCheckpoint2Pending();
    if (index == 0 && !pending1 && !pending2) {
        index = n - 1;
        next = distanceTo(gameData, 0, position);
    }
    if (index == n - 1 && pending1 && pending2) {
        index = 0;
        next = n > 1 ? distanceTo(gameData, 1, position) : 0.0f;
    }
    car->setNavigationIndex(index);
    car->setNavigationDistance(next);
}

bool trackPlaceNear(const core::vector3df& position, CGameData* gameData, core::vector3df& place,
                    f32& headingDegrees)
{
    const s32 n = gameData->getNavigationPointCount();
    if (n == 0)
        return false;
    const core::vector2df at(position.X, position.Z);
    s32 nearest = 0;
    f32 best = -1.0f;
    for (s32 k = 0; k < n; ++k) {
        const CWaypoint* point = gameData->getNavigationPoint(k);
        const f32 d = at.getDistanceFromSQ(core::vector2df(point->getX(), point->getZ()));
        if (best < 0.0f || d < best) {
            best = d;
            nearest = k;
        }
    }
    // The path's direction at that point: towards the next point, or from the one before at the
    // end of a rally leg.
    const CWaypoint* from = gameData->getNavigationPoint(nearest < n - 1 || n == 1 ? nearest : nearest - 1);
    const CWaypoint* to = gameData->getNavigationPoint(nearest < n - 1 ? nearest + 1 : nearest);
    const CWaypoint* point = gameData->getNavigationPoint(nearest);
    place = core::vector3df(point->getX(), point->getY(), point->getZ());
    headingDegrees = static_cast<f32>(std::atan2(to->getX() - from->getX(), to->getZ() - from->getZ()) *
                                      core::RADTODEG64);
    return true;
}

void awardWin(SGameSettings* settings, CGameData* gameData)
{
    // Winning mission N opens mission N + 1 once.
    const std::string mission = gameData->getLoadedMission();
    for (s32 n = 1; n <= 7; ++n) {
        const std::string folder = "missions/m0" + std::to_string(n) + "/";
        if (settings->progressLevel <= n && mission == folder)
            settings->progressLevel = n + 1;
    }
    gameData->saveSettings("settings.xml", settings);
}
