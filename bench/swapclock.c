/* Preloaded into the game by the start-up benchmark: writes the wall-clock time (ns) of the first
 * buffer swap, which is the first frame the game draws, to the file named by SWAPCLOCK_FILE. */
#define _GNU_SOURCE
#include <GL/glx.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

void glXSwapBuffers(Display* display, GLXDrawable drawable)
{
    static void (*real)(Display*, GLXDrawable);
    static int reported;
    if (!real)
        real = (void (*)(Display*, GLXDrawable))dlsym(RTLD_NEXT, "glXSwapBuffers");
    real(display, drawable);
    if (!reported) {
        reported = 1;
        struct timespec now;
        clock_gettime(CLOCK_REALTIME, &now);
        const char* path = getenv("SWAPCLOCK_FILE");
        FILE* out = path ? fopen(path, "w") : NULL;
        if (out) {
            fprintf(out, "%lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
            fclose(out);
        }
    }
}
