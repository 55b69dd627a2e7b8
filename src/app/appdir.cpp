#include "app/appdir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/sys.h"

// Per process: set once by InitAppDirectory (or a test's SetAppDirectory
// and SetUserDirectories).
static char appDirectory[256];
static char userConfigDir[256];
static char userDataDir[256];

bool XdgDirectories(const char* configHome, const char* dataHome, const char* home, char* configDir,
                    char* dataDir, size_t size)
{
    // Relative values of the variables are ignored, as the XDG base
    // directory rules ask.
    bool haveHome = home && home[0] == '/';
    int a, b;
    if (configHome && configHome[0] == '/')
        a = snprintf(configDir, size, "%s/quibbit/", configHome);
    else if (haveHome)
        a = snprintf(configDir, size, "%s/.config/quibbit/", home);
    else
        return false;
    if (dataHome && dataHome[0] == '/')
        b = snprintf(dataDir, size, "%s/quibbit/", dataHome);
    else if (haveHome)
        b = snprintf(dataDir, size, "%s/.local/share/quibbit/", home);
    else
        return false;
    return a > 0 && (size_t)a < size && b > 0 && (size_t)b < size;
}

// mkdir -p of a path ending with "/"; false when the last folder is missing.
static bool MakeFolders(const char* dir)
{
    char path[512];
    snprintf(path, sizeof path, "%s", dir);
    for (char* c = path + 1; *c; c++) {
        if (*c != '/')
            continue;
        *c = 0;
        mkdir(path, 0755);
        *c = '/';
    }
    struct stat st;
    return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

void SetUserDirectories(const char* configDir, const char* dataDir)
{
    snprintf(userConfigDir, sizeof userConfigDir, "%s", configDir);
    snprintf(userDataDir, sizeof userDataDir, "%s", dataDir);
}

const char* UserConfigDirectory()
{
    return userConfigDir;
}

const char* UserDataDirectory()
{
    return userDataDir;
}

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
    SetUserDirectories("", "");
    if (access(appDirectory, W_OK) == 0)
        return;
    char configDir[256], dataDir[256];
    if (!XdgDirectories(getenv("XDG_CONFIG_HOME"), getenv("XDG_DATA_HOME"), getenv("HOME"), configDir, dataDir,
                        sizeof configDir))
        return;
    char screenshots[300];
    snprintf(screenshots, sizeof screenshots, "%sscreenshots/", dataDir);
    if (MakeFolders(configDir) && MakeFolders(dataDir) && MakeFolders(screenshots))
        SetUserDirectories(configDir, dataDir);
}

// The full path of `name`: written files in the player's folders when they
// are used, everything else in the game's directory.
static int FullPath(const char* name, char* path, size_t size)
{
    struct Moved {
        const char* prefix;  // the name as the game gives it
        const char* rest;    // where its part after the folder starts
        bool config;
    };
    static const Moved kMoved[] = {
        {"data/config.txt", "config.txt", true},
        {"data/prefs.txt", "prefs.txt", true},
        {"data/screenshots/", "screenshots/", false},
        {"data/replays/", "replays/", false},
        {"log.txt", "log.txt", false},
    };
    if (userConfigDir[0]) {
        for (const Moved& m : kMoved) {
            size_t n = strlen(m.prefix);
            if (strncmp(name, m.prefix, n) == 0)
                return snprintf(path, size, "%s%s%s", m.config ? userConfigDir : userDataDir, m.rest,
                                name + n);
        }
    }
    return snprintf(path, size, "%s%s", appDirectory, name);
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
    int n = FullPath(name, path, sizeof path);
    if (n < 0 || n >= (int)sizeof path)
        return nullptr;
    return fopen(path, mode);
}

bool MakeAbsolutePath(char* name, size_t size)
{
    char path[256];
    int n = FullPath(name, path, sizeof path);
    if (n < 0 || n >= (int)sizeof path || (size_t)n >= size)
        return false;
    memcpy(name, path, (size_t)n + 1);
    return true;
}
