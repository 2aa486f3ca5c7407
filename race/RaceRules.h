#pragma once
#include <irrlicht.h>

class CGameData;
class CVehicleEntity;
struct SGameSettings;

// The lap and navigation rules the race applies to every car each frame.

// The car touches checkpoint `checkpoint` (0 the line, then 1 and 2 in driving order). A lap
// counts when the car reaches the line from checkpoint 2 with both checkpoints of the lap passed
// forwards; driving backwards over a checkpoint makes it pending again. Touching the same
// checkpoint over several frames changes nothing more.
void passCheckpoint(CVehicleEntity* car, int checkpoint);

// Nearest navigation point to `position` and the distance to the point after it. A car nearest
// to the first point that has not yet crossed the line counts as at the end of its lap, and one
// just over the line (lap counted, nearest to the last point) as at its start.
void updateNavigationProgress(CVehicleEntity* car, const irr::core::vector3df& position,
                              CGameData* gameData);

// Where a car that left the world at `position` goes back onto the track: the navigation point
// nearest to it in the ground plane, facing along the path (degrees about +y, 0 along +z). False
// without a navigation path.
bool trackPlaceNear(const irr::core::vector3df& position, CGameData* gameData,
                    irr::core::vector3df& place, irr::f32& headingDegrees);

// The player has won the loaded mission: winning mission N (1 to 7) opens mission N + 1, and the
// settings are saved to "settings.xml" with the progress, whether it changed or not.
void awardWin(SGameSettings* settings, CGameData* gameData);
