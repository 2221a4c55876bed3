// Preloaded into a program under test: gives the device named by
// DW_MODEM_DEVICE (a pseudo-terminal, which has no modem lines) the DTR and
// RTS lines of a serial port. Opening it raises both, as Linux does for a
// serial device; TIOCMBIS, TIOCMBIC, TIOCMSET and TIOCMGET act on them.
// DW_MODEM_LOG receives one line per open, change, write and close, each
// with the line states, so a test can tell whether anything was sent, or
// the port held, while a line was high.

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

int watchedFd = -1;
int lines = 0;

void logLine(const char *event)
{
    const char *path = std::getenv("DW_MODEM_LOG");
    if (!path)
        return;
    if (FILE *log = std::fopen(path, "a")) {
        std::fprintf(log, "%s dtr=%d rts=%d\n", event, (lines & TIOCM_DTR) ? 1 : 0, (lines & TIOCM_RTS) ? 1 : 0);
        std::fclose(log);
    }
}

template<typename F>
F next(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

int opened(const char *path, int fd)
{
    const char *device = std::getenv("DW_MODEM_DEVICE");
    if (fd >= 0 && device && std::strcmp(path, device) == 0) {
        watchedFd = fd;
        lines = TIOCM_DTR | TIOCM_RTS;
        logLine("open");
    }
    return fd;
}

mode_t modeOf(int flags, va_list args)
{
    return (flags & (O_CREAT | O_TMPFILE)) ? mode_t(va_arg(args, int)) : 0;
}

} // namespace

extern "C" {

int open(const char *path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    return opened(path, next<int (*)(const char *, int, mode_t)>("open")(path, flags, mode));
}

int open64(const char *path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    return opened(path, next<int (*)(const char *, int, mode_t)>("open64")(path, flags, mode));
}

int ioctl(int fd, unsigned long request, ...)
{
    va_list args;
    va_start(args, request);
    void *argument = va_arg(args, void *);
    va_end(args);
    if (fd == watchedFd && argument) {
        int *bits = static_cast<int *>(argument);
        const int modem = TIOCM_DTR | TIOCM_RTS;
        switch (request) {
        case TIOCMGET: *bits = lines; return 0;
        case TIOCMSET: lines = *bits & modem; logLine("set"); return 0;
        case TIOCMBIS: lines |= *bits & modem; logLine("set"); return 0;
        case TIOCMBIC: lines &= ~(*bits & modem); logLine("set"); return 0;
        default: break;
        }
    }
    return next<int (*)(int, unsigned long, void *)>("ioctl")(fd, request, argument);
}

ssize_t write(int fd, const void *buffer, size_t count)
{
    if (fd == watchedFd && count > 0)
        logLine("write");
    return next<ssize_t (*)(int, const void *, size_t)>("write")(fd, buffer, count);
}

int close(int fd)
{
    if (fd == watchedFd) {
        logLine("close");
        watchedFd = -1;
    }
    return next<int (*)(int)>("close")(fd);
}
}
