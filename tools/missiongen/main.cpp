// missiongen RUN_DIR FONT: writes the eight missions and everything they use into the game's run
// folder (missions/, data/tracks/, data/terrain/, data/scenery/, data/cars/, data/items/ and the
// mission buttons in data/2d/menu/). Same bytes on every run.
#include <irrlicht.h>

#include <chrono>
#include <cstdio>

#include "tools/missiongen/CMissionGenerator.h"
#include "tools/paint/NullDevice.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::printf("ERROR: usage: missiongen RUN_DIR FONT\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    irr::IrrlichtDevice* device = paint::createNullDevice();
    if (!device)
        return 1;
    missiongen::CMissionGenerator generator(argv[1], argv[2], device->getVideoDriver());
    const bool ok = generator.run();
    device->drop();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("Missions made in %.1f s %s\n", seconds, ok ? "[DONE]." : "[ERROR]");
    return ok ? 0 : 1;
}
