#include "CGLEngine.h"

#include <dlfcn.h>

#include "core/CGameEngine.h"

namespace effectstest {

namespace {

// Mesa unloads its software driver when the last window closes, and the driver's own lasting
// allocations then look leaked to the sanitizer's leak check (they are not, and their stacks can
// no longer be read). Held open once, the driver stays, and a leak found is a leak of ours.
void keepSoftwareDriverLoaded()
{
    static void* driver = dlopen("/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", RTLD_NOW | RTLD_GLOBAL);
    (void)driver;
}

} // namespace

CGLEngine::CGLEngine(irr::u32 width, irr::u32 height)
{
    keepSoftwareDriverLoaded();
    settings.width = width;
    settings.height = height;
    settings.fullscreen = false;
    settings.vSync = false;
    engine = new CGameEngine(&settings, irr::video::EDT_OPENGL);
    if (engine->getDevice())
        engine->getDevice()->getTimer()->stop();
}

CGLEngine::~CGLEngine() { delete engine; }

} // namespace effectstest
