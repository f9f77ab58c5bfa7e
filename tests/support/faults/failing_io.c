// SPDX-License-Identifier: MIT
// Loaded into a program under test with LD_PRELOAD: makes chosen system calls fail as a failing
// disk or a network file system makes them fail, so that a test sees what the program reports.
//   QP_FAIL=fdatasync,fsync,syncfs   these flushes fail with EIO
//   QP_FAIL=close                    closing a file whose path contains QP_FAIL_MATCH closes it,
//                                    then reports EIO (as a file system that meets a write error
//                                    only when the file is closed)
//   QP_FAIL=tmpfile                  no nameless temporary files (O_TMPFILE gives EOPNOTSUPP)
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static int failing(const char* call)
{
    const char* list = getenv("QP_FAIL");
    if (!list)
        return 0;
    const size_t n = strlen(call);
    for (const char* at = strstr(list, call); at; at = strstr(at + 1, call))
        if ((at == list || at[-1] == ',') && (at[n] == '\0' || at[n] == ','))
            return 1;
    return 0;
}

#define REAL(name, type) ((type)dlsym(RTLD_NEXT, name))

int fdatasync(int fd)
{
    if (failing("fdatasync")) {
        errno = EIO;
        return -1;
    }
    return REAL("fdatasync", int (*)(int))(fd);
}

int fsync(int fd)
{
    if (failing("fsync")) {
        errno = EIO;
        return -1;
    }
    return REAL("fsync", int (*)(int))(fd);
}

int syncfs(int fd)
{
    if (failing("syncfs")) {
        errno = EIO;
        return -1;
    }
    return REAL("syncfs", int (*)(int))(fd);
}

int close(int fd)
{
    int fail = 0;
    if (failing("close")) {
        const char* match = getenv("QP_FAIL_MATCH");
        char link[64];
        char target[4096];
        snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
        const ssize_t n = readlink(link, target, sizeof target - 1);
        if (n > 0 && match && *match) {
            target[n] = '\0';
            fail = strstr(target, match) != NULL;
        }
    }
    const int result = REAL("close", int (*)(int))(fd);
    if (fail && result == 0) {
        errno = EIO;
        return -1;
    }
    return result;
}

static int openWith(const char* name, const char* path, int flags, mode_t mode)
{
#ifdef O_TMPFILE
    if ((flags & O_TMPFILE) == O_TMPFILE && failing("tmpfile")) {
        errno = EOPNOTSUPP;
        return -1;
    }
#endif
    return REAL(name, int (*)(const char*, int, ...))(path, flags, mode);
}

int open(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(args, mode_t) : 0;
    va_end(args);
    return openWith("open", path, flags, mode);
}

int open64(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(args, mode_t) : 0;
    va_end(args);
    return openWith("open64", path, flags, mode);
}
