/* Run by the start-up benchmark beside the game: gives the input focus to the first top-level
 * window whose name begins with the given prefix, the moment it is mapped and named, as a window
 * manager does. The splash only draws in an active window, so polling for the window from the
 * script would count the script's own delays as start-up. Prints the window id, the wall-clock
 * time (ns) at which the first top-level window was mapped and the time at which the focus was
 * given, and ends; exit code 1 when no such window came in time. The game's name reaches the X
 * server only when it next sends its requests, which may be well after the mapping.
 * usage: mapfocus PREFIX [TIMEOUT_S] */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <time.h>

static long long nowNs(void)
{
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
}

static int ignoreErrors(Display* display, XErrorEvent* error)
{
    (void)display;
    (void)error;
    return 0;
}

/* When the first top-level window was mapped (ns). */
static long long mappedAt;

/* A window that is mapped and carries the name: focus it. */
static int tryFocus(Display* display, Window window, const char* prefix)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
        return 0;
    char* name = NULL;
    if (!XFetchName(display, window, &name) || !name)
        return 0;
    const int match = strncmp(name, prefix, strlen(prefix)) == 0;
    XFree(name);
    if (!match)
        return 0;
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
    printf("%lu %lld %lld\n", (unsigned long)window, mappedAt, nowNs());
    return 1;
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: %s PREFIX [TIMEOUT_S]\n", argv[0]);
        return 2;
    }
    const char* prefix = argv[1];
    const long long deadline = nowNs() + (argc > 2 ? atoll(argv[2]) : 20) * 1000000000LL;
    Display* display = XOpenDisplay(NULL);
    if (!display)
        return 1;
    /* The game's window may go away between an event and our look at it. */
    XSetErrorHandler(ignoreErrors);
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const int fd = ConnectionNumber(display);
    while (nowNs() < deadline) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            Window window = 0;
            if (event.type == CreateNotify) {
                /* Its name may come after its mapping. */
                XSelectInput(display, event.xcreatewindow.window, PropertyChangeMask);
                window = event.xcreatewindow.window;
            } else if (event.type == MapNotify) {
                window = event.xmap.window;
                if (!mappedAt)
                    mappedAt = nowNs();
            } else if (event.type == PropertyNotify) {
                window = event.xproperty.window;
            }
            if (window && tryFocus(display, window, prefix)) {
                XCloseDisplay(display);
                return 0;
            }
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        struct timeval wait = {0, 100000};
        select(fd + 1, &readable, NULL, NULL, &wait);
    }
    XCloseDisplay(display);
    return 1;
}
