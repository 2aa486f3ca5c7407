#include "platform/XErrorHandler.h"

#include <X11/Xlib.h>
#include <cstdio>

namespace {

int printXError(Display* display, XErrorEvent* event)
{
    char description[256] = {0};
    XGetErrorText(display, event->error_code, description, sizeof description);
    std::printf("Warning: X error %d (%s), request %d.%d; the game goes on\n",
                static_cast<int>(event->error_code), description,
                static_cast<int>(event->request_code), static_cast<int>(event->minor_code));
    return 0;
}

} // namespace

void installXErrorHandler()
{
    XSetErrorHandler(printXError);
}
