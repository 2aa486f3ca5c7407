#include "platform/XErrorHandler.h"

#include <X11/Xlib.h>
#include <cstdio>
#include <unistd.h>

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

// The display is gone (the X server ended or the connection broke): nothing can be drawn or
// asked any more, and Xlib ends the process when this returns. The progress is saved when it is
// won, so the game ends here, as a closed window ends it.
int endOnLostDisplay(Display*)
{
    std::printf("Warning: the connection to the X display is lost; the game ends\n");
    std::fflush(stdout);
    _exit(0);
}

} // namespace

void installXErrorHandler()
{
    XSetErrorHandler(printXError);
    XSetIOErrorHandler(endOnLostDisplay);
}
