#include "platform/DesktopSize.h"

#include <X11/Xlib.h>

irr::core::dimension2d<irr::u32> queryDesktopSize()
{
    irr::core::dimension2d<irr::u32> size(1024, 768);
    Display* display = XOpenDisplay(nullptr);
    if (display) {
        const int screen = DefaultScreen(display);
        size.Width = static_cast<irr::u32>(DisplayWidth(display, screen));
        size.Height = static_cast<irr::u32>(DisplayHeight(display, screen));
        XCloseDisplay(display);
    }
    return size;
}
