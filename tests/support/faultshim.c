/* Fault injection for the system tests, loaded with LD_PRELOAD into the
 * program under test. It does nothing unless one of these is set:
 *
 *   FAULTSHIM_SLOW_DIR=/folder   write() to a file in that folder (lock files
 *                                excepted) goes out in pieces of
 *                                FAULTSHIM_CHUNK bytes (default 4096), each
 *                                after a pause of FAULTSHIM_DELAY_MS (default
 *                                50), so a kill lands in the middle of it;
 *   FAULTSHIM_MARK=/file         created when the first slowed piece is out;
 *   FAULTSHIM_FAIL_RENAME=text   rename(), renameat() and renameat2() onto a
 *                                path that contains the text fail with EIO;
 *   FAULTSHIM_FAIL_JPEG_AFTER=n  tjCompress2() works n times, and every later
 *                                call fails as the library fails on a bad
 *                                argument: one strip of a picture fails.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

typedef ssize_t (*write_fn)(int, const void*, size_t);
typedef int (*rename_fn)(const char*, const char*);
typedef int (*renameat_fn)(int, const char*, int, const char*);
typedef int (*renameat2_fn)(int, const char*, int, const char*, unsigned int);
typedef int (*tjcompress2_fn)(void*, const unsigned char*, int, int, int, int, unsigned char**,
                              unsigned long*, int, int, int);

static long env_number(const char* name, long fallback)
{
    const char* text = getenv(name);
    if (!text || !*text)
        return fallback;
    long value = strtol(text, NULL, 10);
    return value > 0 ? value : fallback;
}

static int ends_with(const char* text, const char* tail)
{
    size_t a = strlen(text), b = strlen(tail);
    return a >= b && strcmp(text + a - b, tail) == 0;
}

/* Whether the descriptor is a file in the slowed folder. */
static int slowed(int fd)
{
    const char* folder = getenv("FAULTSHIM_SLOW_DIR");
    if (!folder || !*folder)
        return 0;
    char link[64], target[4096];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t n = readlink(link, target, sizeof target - 1);
    if (n <= 0)
        return 0;
    target[n] = '\0';
    size_t len = strlen(folder);
    if (strncmp(target, folder, len) != 0 || target[len] != '/')
        return 0;
    return !ends_with(target, ".lock");
}

static void mark_once(void)
{
    static int marked = 0;
    const char* mark = getenv("FAULTSHIM_MARK");
    if (marked || !mark || !*mark)
        return;
    marked = 1;
    int fd = open(mark, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0)
        close(fd);
}

ssize_t write(int fd, const void* data, size_t size)
{
    static write_fn real;
    if (!real)
        real = (write_fn)dlsym(RTLD_NEXT, "write");
    if (size == 0 || !slowed(fd))
        return real(fd, data, size);
    const long delay = env_number("FAULTSHIM_DELAY_MS", 50);
    const size_t chunk = (size_t)env_number("FAULTSHIM_CHUNK", 4096);
    struct timespec pause = {delay / 1000, (delay % 1000) * 1000000L};
    nanosleep(&pause, NULL);
    ssize_t written = real(fd, data, size < chunk ? size : chunk);
    if (written > 0)
        mark_once();
    return written; /* a short write: the caller writes the rest */
}

static int refused(const char* target)
{
    const char* text = getenv("FAULTSHIM_FAIL_RENAME");
    if (!text || !*text || !target || !strstr(target, text))
        return 0;
    errno = EIO;
    return 1;
}

int rename(const char* from, const char* to)
{
    static rename_fn real;
    if (!real)
        real = (rename_fn)dlsym(RTLD_NEXT, "rename");
    return refused(to) ? -1 : real(from, to);
}

int renameat(int fromDir, const char* from, int toDir, const char* to)
{
    static renameat_fn real;
    if (!real)
        real = (renameat_fn)dlsym(RTLD_NEXT, "renameat");
    return refused(to) ? -1 : real(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned int flags)
{
    static renameat2_fn real;
    if (!real)
        real = (renameat2_fn)dlsym(RTLD_NEXT, "renameat2");
    return refused(to) ? -1 : real(fromDir, from, toDir, to, flags);
}

int tjCompress2(void* handle, const unsigned char* source, int width, int pitch, int height,
                int pixelFormat, unsigned char** jpeg, unsigned long* jpegSize, int subsampling,
                int quality, int flags)
{
    static tjcompress2_fn real;
    static int calls;
    if (!real)
        real = (tjcompress2_fn)dlsym(RTLD_NEXT, "tjCompress2");
    const long works = env_number("FAULTSHIM_FAIL_JPEG_AFTER", 0);
    if (works > 0 && __atomic_add_fetch(&calls, 1, __ATOMIC_SEQ_CST) > works)
        width = 0; /* refused by the library itself, with its own message */
    return real(handle, source, width, pitch, height, pixelFormat, jpeg, jpegSize, subsampling,
                quality, flags);
}
