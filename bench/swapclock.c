/* Preloaded into the game by the benchmarks: writes the wall-clock time (ns) of the first buffer
 * swap, which is the first frame the game draws, to the file named by SWAPCLOCK_FILE; with
 * SWAPCLOCK_ALL set, the time of every swap, one line each, for frame rates and frame gaps. */
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
    static FILE* all;
    if (!real)
        real = (void (*)(Display*, GLXDrawable))dlsym(RTLD_NEXT, "glXSwapBuffers");
    real(display, drawable);
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    const long long ns = (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
    const char* path = getenv("SWAPCLOCK_FILE");
    if (getenv("SWAPCLOCK_ALL")) {
        if (!all && path) {
            all = fopen(path, "w");
            if (all)
                setvbuf(all, NULL, _IOLBF, 0);
        }
        if (all)
            fprintf(all, "%lld\n", ns);
    } else if (!reported) {
        reported = 1;
        FILE* out = path ? fopen(path, "w") : NULL;
        if (out) {
            fprintf(out, "%lld\n", ns);
            fclose(out);
        }
    }
}
