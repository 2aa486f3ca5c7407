/* Preloaded into the game by the save-kill test: stretches every write of the settings file (and of
 * any file beside it whose name begins "settings.xml") from microseconds to tens of milliseconds,
 * a few bytes at a time, so that a kill at a random moment often lands in the middle of a save, as
 * it would on a slow or busy disk. Each step is logged with its time (ns) to SLOWSAVE_LOG:
 *   open PATH     a settings file opened for writing
 *   piece         one piece of a write is about to go out
 *   renamed PATH  a settings file put in its place (the save is complete)
 * SLOWSAVE_US is the pause between two pieces of a write and around a rename (default 2000).
 * SLOWSAVE_KILL_STEP=N kills the game with SIGKILL at the Nth step of its saves (counted from 1: each
 * piece of a write, then the moments before and after each rename), from inside the process, so that
 * the kill lands where the test aimed it however busy the machine is. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#define MAX_FDS 1024
static char slow[MAX_FDS];

static int is_settings(const char* path)
{
    const char* base = path ? strrchr(path, '/') : NULL;
    base = base ? base + 1 : path;
    return base && strncmp(base, "settings.xml", 12) == 0;
}

static void pause_a_little(void)
{
    const char* us = getenv("SLOWSAVE_US");
    usleep(us ? (useconds_t)atoi(us) : 2000);
}

static void note(const char* what, const char* path)
{
    static ssize_t (*real_write)(int, const void*, size_t);
    const char* log = getenv("SLOWSAVE_LOG");
    if (!log)
        return;
    if (!real_write)
        real_write = (ssize_t(*)(int, const void*, size_t))dlsym(RTLD_NEXT, "write");
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    char line[4200];
    const int n = snprintf(line, sizeof line, "%lld %s %s\n",
                           (long long)now.tv_sec * 1000000000LL + now.tv_nsec, what, path);
    int (*real_open)(const char*, int, ...) = (int (*)(const char*, int, ...))dlsym(RTLD_NEXT, "open");
    const int fd = real_open(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd >= 0) {
        real_write(fd, line, (size_t)n);
        close(fd);
    }
}

/* The steps of a save so far: each piece of a write, then the moments before and after the rename. */
static long steps;

static void step(void)
{
    const char* at = getenv("SLOWSAVE_KILL_STEP");
    ++steps;
    if (at && atol(at) == steps)
        kill(getpid(), SIGKILL);
}

static int opened(int fd, const char* path, int flags)
{
    if (fd >= 0 && fd < MAX_FDS && (flags & (O_WRONLY | O_RDWR)) && is_settings(path)) {
        slow[fd] = 1;
        note("open", path);
    } else if (fd >= 0 && fd < MAX_FDS) {
        slow[fd] = 0;
    }
    return fd;
}

int open(const char* path, int flags, ...)
{
    static int (*real)(const char*, int, ...);
    if (!real)
        real = (int (*)(const char*, int, ...))dlsym(RTLD_NEXT, "open");
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & O_CREAT) ? (mode_t)va_arg(args, int) : 0;
    va_end(args);
    return opened(real(path, flags, mode), path, flags);
}

int open64(const char* path, int flags, ...)
{
    static int (*real)(const char*, int, ...);
    if (!real)
        real = (int (*)(const char*, int, ...))dlsym(RTLD_NEXT, "open64");
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & O_CREAT) ? (mode_t)va_arg(args, int) : 0;
    va_end(args);
    return opened(real(path, flags, mode), path, flags);
}

int openat(int dir, const char* path, int flags, ...)
{
    static int (*real)(int, const char*, int, ...);
    if (!real)
        real = (int (*)(int, const char*, int, ...))dlsym(RTLD_NEXT, "openat");
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & O_CREAT) ? (mode_t)va_arg(args, int) : 0;
    va_end(args);
    return opened(real(dir, path, flags, mode), path, flags);
}

FILE* fopen(const char* path, const char* mode)
{
    static FILE* (*real)(const char*, const char*);
    if (!real)
        real = (FILE * (*)(const char*, const char*)) dlsym(RTLD_NEXT, "fopen");
    FILE* file = real(path, mode);
    if (file && mode && (strchr(mode, 'w') || strchr(mode, 'a') || strchr(mode, '+'))) {
        /* Unbuffered, so that its writes come through write() piece by piece too. */
        setvbuf(file, NULL, _IONBF, 0);
        opened(fileno(file), path, O_WRONLY);
    } else if (file) {
        opened(fileno(file), path, O_RDONLY);
    }
    return file;
}

ssize_t write(int fd, const void* bytes, size_t count)
{
    static ssize_t (*real)(int, const void*, size_t);
    if (!real)
        real = (ssize_t(*)(int, const void*, size_t))dlsym(RTLD_NEXT, "write");
    if (fd < 0 || fd >= MAX_FDS || !slow[fd])
        return real(fd, bytes, count);
    const size_t piece = count < 16 ? count : 16;
    pause_a_little();
    note("piece", "");
    step();
    return real(fd, bytes, piece);
}

int rename(const char* from, const char* to)
{
    static int (*real)(const char*, const char*);
    if (!real)
        real = (int (*)(const char*, const char*))dlsym(RTLD_NEXT, "rename");
    if (!is_settings(to))
        return real(from, to);
    pause_a_little();
    step();
    const int result = real(from, to);
    if (result == 0)
        note("renamed", to);
    pause_a_little();
    step();
    return result;
}
