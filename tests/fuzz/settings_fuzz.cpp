// The two settings files from arbitrary bytes.
#include <cstdio>
#include <string>

#include "app/appdir.h"
#include "app/config.h"
#include "fuzz_targets.h"
#include "game/prefs.h"

static void LoadBoth(void*)
{
    LoadConfig();
    LoadPrefs();
}

int FuzzSettings(const uint8_t* data, size_t size)
{
    const std::string dir = FuzzScratchDir();
    SetAppDirectory(dir.c_str());
    FuzzWriteFile((dir + "data/config.txt").c_str(), data, size);
    FuzzWriteFile((dir + "data/prefs.txt").c_str(), data, size);
    RunTrappingExit(LoadBoth, nullptr);
    remove((dir + "log.txt").c_str());
    // What the rest of the game relies on after any file.
    if (gPrefs.carCount < 1 || gPrefs.carCount > 5 || gPrefs.nplayers < 1 || gPrefs.nplayers > 4)
        FuzzFail("player or car count");
    if (gConfig.width < 320 || gConfig.height < 240 || gConfig.frameratelimit < 1 || gConfig.frameratelimit > 300)
        FuzzFail("window size or frame rate limit");
    if (gConfig.trackCount > 0 && (gPrefs.track < 0 || gPrefs.track >= gConfig.trackCount))
        FuzzFail("track index");
    return 0;
}
