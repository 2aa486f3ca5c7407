#pragma once
// The four pictures of a mission's button on the mission selection screen: the track seen from
// above with the mission's number on it ("b0N_no.jpg"), brighter and framed in gold under the
// mouse ("b0N_yes.jpg"), and greyed out behind a padlock while it is locked ("b0Nl_no.jpg",
// "b0Nl_yes.jpg").
#include <array>
#include <string>

#include "tools/missiongen/CMissionBuilder.h"
#include "tools/paint/CCanvas.h"

namespace missiongen {

enum class EButtonState { Normal, Hover, Locked, LockedHover };

class CMissionButtonPainter {
public:
    static constexpr int kWidth = 512;
    static constexpr int kHeight = 320;

    // `grounds` are the mission's three ground textures in splat order.
    CMissionButtonPainter(const CMissionBuilder& mission, const std::array<const paint::CCanvas*, 3>& grounds,
                          const std::string& fontPath);

    paint::CCanvas paint(EButtonState state) const;
    // "data/2d/menu/b01_no.jpg" and so on.
    static std::string path(int mission, EButtonState state);

private:
    void paintMap(const CMissionBuilder& mission, const std::array<const paint::CCanvas*, 3>& grounds);

    int number;
    std::string name;
    std::string font;
    paint::CCanvas picture; // the track from above, shared by all four pictures
};

} // namespace missiongen
