#pragma once
// The scenery the tracks are dressed with: rocks, five kinds of tree, tyre barriers, flag posts
// and the start gate. Each kind is one mesh (with its own texture atlas) that every mission
// shares, and a simpler mesh for its physics body where the drawn one is needlessly detailed.
#include <string>
#include <vector>

#include "tools/contentkit/SMeshData.h"
#include "tools/paint/CCanvas.h"

namespace missiongen {

enum class EScenery { RockA, RockB, RockC, Pine, SnowPine, Broadleaf, Acacia, Cactus, Barrier, Flag };

class CSceneryArt {
public:
    static const std::vector<EScenery>& all();
    static std::string meshPath(EScenery kind);
    // The mesh the physics body is built from (the trunk of a tree, the whole of a rock).
    static std::string collisionPath(EScenery kind);
    // The texture the mesh itself names; a rock's is replaced by the mission's rock texture.
    static std::string texturePath(EScenery kind);
    static bool isRock(EScenery kind);

    static contentkit::SMesh mesh(EScenery kind);
    // Empty when the drawn mesh serves the physics too.
    static contentkit::SMesh collision(EScenery kind);
    static paint::CCanvas texture(EScenery kind);

    // The start gate over a track `trackWidth` wide, across its own X axis, standing on y = 0:
    // two pillars beyond the track's edges and a banner high above the cars.
    static contentkit::SMesh startGate(float trackWidth);
    static std::string startGateTexturePath();
    static paint::CCanvas startGateTexture(const std::string& fontPath);
};

} // namespace missiongen
