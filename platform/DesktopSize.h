#pragma once
#include <irrlicht.h>

// The size of the X display's default screen, or 1024 x 768 when no display can be opened.
irr::core::dimension2d<irr::u32> queryDesktopSize();
