#include "core/SGameSettings.h"

SGameSettings::SGameSettings()
    : width(0), height(0), bits(24), fullscreen(true), antiAliasing(false), vSync(false),
      filtering(1), shadows(0), postProcessing(true), graphicMode(0), musicVolume(80),
      environmentVolume(100), controller(0), keyForward(nullptr), keyBackward(nullptr),
      keyLeft(nullptr), keyRight(nullptr), progressLevel(1), showFps(false), savedWidth(0),
      savedHeight(0), savedBits(24), savedFullscreen(true), savedAntiAliasing(false),
      savedVSync(false), savedFiltering(1), savedShadows(0), savedGraphicMode(0)
{
}

SGameSettings::~SGameSettings()
{
}
