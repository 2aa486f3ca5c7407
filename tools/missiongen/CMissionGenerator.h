#pragma once
// Makes the whole of the game's mission content into a run folder: the shared art (ground
// textures, scenery, cars, pick-ups), then the eight missions and their selection buttons. The
// work is spread over every core; each file's bytes depend on nothing but the code.
#include <string>

namespace irr {
namespace video {
class IVideoDriver;
}
} // namespace irr

namespace missiongen {

class CMissionGenerator {
public:
    // `driver` writes the buttons' JPEG files (the null driver will do); `fontPath` letters them.
    CMissionGenerator(std::string root, std::string fontPath, irr::video::IVideoDriver* driver);

    // False when any file could not be made (each failure has printed an "ERROR: " line).
    bool run();

private:
    std::string root;
    std::string font;
    irr::video::IVideoDriver* driver;
};

} // namespace missiongen
