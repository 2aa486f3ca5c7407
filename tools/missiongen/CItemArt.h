#pragma once
// The three pick-up items: "who" (a question-mark crate), "rocket" and "tyre", each about a
// metre across and centred on its origin, which the mission puts a metre above the track.
#include <string>

#include "tools/contentkit/SMeshData.h"
#include "tools/paint/CCanvas.h"

namespace missiongen {

enum class EItem { Who, Rocket, Tyre };

class CItemArt {
public:
    static std::string meshPath(EItem item);    // "data/items/who.b3d" ...
    static std::string texturePath(EItem item); // "data/items/who.dds" ...
    static contentkit::SMesh mesh(EItem item);
    // `fontPath` letters the crate's question mark.
    static paint::CCanvas texture(EItem item, const std::string& fontPath);
};

} // namespace missiongen
