#include "app/appdir.h"

#include <cstring>

#include "platform/sys.h"

// Per process: set once by InitAppDirectory (or a test's SetAppDirectory).
static char appDirectory[256];

void InitAppDirectory()
{
    char path[256];
    if (!SysExecutablePath(path, sizeof path)) {
        appDirectory[0] = 0;
        return;
    }
    char* slash = strrchr(path, '/');
    if (slash)
        slash[1] = 0;
    else
        path[0] = 0;
    snprintf(appDirectory, sizeof appDirectory, "%s", path);
}

void SetAppDirectory(const char* dir)
{
    size_t n = strlen(dir);
    if (n + 2 > sizeof appDirectory)
        n = sizeof appDirectory - 2;
    memcpy(appDirectory, dir, n);
    if (n > 0 && appDirectory[n - 1] != '/')
        appDirectory[n++] = '/';
    appDirectory[n] = 0;
}

const char* AppDirectory()
{
    return appDirectory;
}

FILE* OpenDataFile(const char* name, const char* mode)
{
    char path[256];
    int n = snprintf(path, sizeof path, "%s%s", appDirectory, name);
    if (n < 0 || n >= (int)sizeof path)
        return nullptr;
    return fopen(path, mode);
}

bool MakeAbsolutePath(char* name, size_t size)
{
    char path[256];
    int n = snprintf(path, sizeof path, "%s%s", appDirectory, name);
    if (n < 0 || n >= (int)sizeof path || (size_t)n >= size)
        return false;
    memcpy(name, path, (size_t)n + 1);
    return true;
}
