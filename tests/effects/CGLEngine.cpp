#include "CGLEngine.h"

#include "core/CGameEngine.h"

namespace effectstest {

CGLEngine::CGLEngine(irr::u32 width, irr::u32 height)
{
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
