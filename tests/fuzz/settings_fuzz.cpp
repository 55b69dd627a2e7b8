// The two settings files from arbitrary bytes.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/appdir.h"
#include "app/config.h"
#include "fuzz_targets.h"
#include "game/prefs.h"

// Per process: one scratch folder for every input.
static const std::string& ScratchDir()
{
    static std::string dir = [] {
        char pattern[] = "/dev/shm/quibbit-fuzz.XXXXXX";
        std::string made = mkdtemp(pattern) ? pattern : "/tmp/quibbit-fuzz";
        std::error_code ignored;
        std::filesystem::create_directories(made + "/data", ignored);
        return made + "/";
    }();
    return dir;
}

static void WriteFile(const std::string& path, const uint8_t* data, size_t size)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return;
    fwrite(data, 1, size, file);
    fclose(file);
}

static void LoadBoth(void*)
{
    LoadConfig();
    LoadPrefs();
}

int FuzzSettings(const uint8_t* data, size_t size)
{
    const std::string& dir = ScratchDir();
    SetAppDirectory(dir.c_str());
    WriteFile(dir + "data/config.txt", data, size);
    WriteFile(dir + "data/prefs.txt", data, size);
    RunTrappingExit(LoadBoth, nullptr);
    remove((dir + "log.txt").c_str());
    // What the rest of the game relies on after any file.
    if (gPrefs.carCount < 1 || gPrefs.carCount > 5 || gPrefs.nplayers < 1 || gPrefs.nplayers > 4)
        abort();
    if (gConfig.width < 320 || gConfig.height < 240 || gConfig.frameratelimit < 1 || gConfig.frameratelimit > 300)
        abort();
    if (gConfig.trackCount > 0 && (gPrefs.track < 0 || gPrefs.track >= gConfig.trackCount))
        abort();
    return 0;
}
