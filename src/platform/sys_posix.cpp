// The parts of the operating-system door that plain POSIX provides.
#include "platform/sys.h"

#include <dirent.h>
#include <malloc.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

void SysReleaseFreedMemory()
{
    malloc_trim(0);
}

void SysSleepMs(unsigned ms)
{
    struct timespec t;
    t.tv_sec = ms / 1000;
    t.tv_nsec = (long)(ms % 1000) * 1000000L;
    nanosleep(&t, nullptr);
}

bool SysExecutablePath(char* out, size_t size)
{
    if (size == 0)
        return false;
    ssize_t n = readlink("/proc/self/exe", out, size - 1);
    if (n <= 0 || (size_t)n >= size - 1) {
        out[0] = 0;
        return false;
    }
    out[n] = 0;
    return true;
}

bool SysListDirectory(const char* path, std::vector<std::string>& names)
{
    names.clear();
    DIR* dir = opendir(path);
    if (!dir)
        return false;
    while (struct dirent* entry = readdir(dir)) {
        if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0)
            continue;
        names.push_back(entry->d_name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return true;
}

bool SysMakeDirectory(const char* path)
{
    struct stat st;
    if (mkdir(path, 0755) == 0)
        return true;
    return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

bool SysPublishFile(const char* temp, const char* final)
{
    // link() fails with EEXIST instead of replacing, unlike rename().
    if (link(temp, final) != 0)
        return false;
    unlink(temp);
    return true;
}

void SysKernelVersion(char* name, size_t nameSize, char* release, size_t releaseSize)
{
    struct utsname u;
    if (uname(&u) != 0) {
        snprintf(name, nameSize, "%s", "Unknown");
        snprintf(release, releaseSize, "%s", "0.0.0");
        return;
    }
    snprintf(name, nameSize, "%s", u.sysname);
    snprintf(release, releaseSize, "%s", u.release);
}

bool SysDialogsDisabled()
{
    return getenv("QUIBBIT_NO_DIALOGS") != nullptr;
}

// Per process: set and cleared by fuzz targets around one input.
static jmp_buf* exitTrap;

void SysSetExitTrap(jmp_buf* trap)
{
    exitTrap = trap;
}

void SysExit(int code)
{
    if (exitTrap)
        longjmp(*exitTrap, 1);
    fflush(nullptr);
    exit(code);
}

// Seconds on one of the processor-time clocks (0 where it cannot be read).
static double ClockSeconds(clockid_t clock)
{
    struct timespec t;
    if (clock_gettime(clock, &t) != 0)
        return 0.0;
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

double SysProcessSeconds()
{
    return ClockSeconds(CLOCK_PROCESS_CPUTIME_ID);
}

double SysThreadSeconds()
{
    return ClockSeconds(CLOCK_THREAD_CPUTIME_ID);
}
