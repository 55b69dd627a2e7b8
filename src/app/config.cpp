#include "app/config.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/appdir.h"
#include "app/log.h"
#include "app/settings_file.h"
#include "platform/sys.h"

Config gConfig;

static const char kConfigName[] = "data/config.txt";

static void SetDefaults()
{
    memset(&gConfig, 0, sizeof gConfig);
    gConfig.width = 800;
    gConfig.height = 600;
    gConfig.depth = 32;
    gConfig.zdepth = 16;
    gConfig.fullscreen = 1;
    gConfig.frameratecounter = 1;
    gConfig.frameratelimit = 500;
    gConfig.texturefilter = 2;
    gConfig.audiodevice = 1;
    gConfig.loghwinfo = 1;
}

// The keys in the order SaveConfig writes them; bit i of Config::keysRead
// stands for kKeys[i].
struct ConfigKey {
    const char* name;
    int32_t Config::*field;
};
static const ConfigKey kKeys[] = {
    {"width", &Config::width},
    {"height", &Config::height},
    {"depth", &Config::depth},
    {"frameratecounter", &Config::frameratecounter},
    {"zdepth", &Config::zdepth},
    {"frameratelimit", nullptr},
    {"texturefilter", &Config::texturefilter},
    {"audiodevice", &Config::audiodevice},
    {"loghwinfo", &Config::loghwinfo},
    {"fullscreen", &Config::fullscreen},
};
static const int kKeyCount = (int)(sizeof kKeys / sizeof kKeys[0]);
static const int kAlwaysWritten = 4;  // width .. frameratecounter

static int32_t* KeyField(const ConfigKey& key)
{
    return key.field ? &(gConfig.*key.field) : (int32_t*)&gConfig.frameratelimit;
}

static void ReadConfig(SettingsReader& reader)
{
    char word[256];
    while (reader.NextWord(word, sizeof word)) {
        for (int i = 0; i < kKeyCount; i++) {
            if (strcmp(word, kKeys[i].name) == 0) {
                if (reader.ReadInt(KeyField(kKeys[i])))
                    gConfig.keysRead |= 1u << i;
                break;
            }
        }
    }
}

// Nothing can draw into a window smaller than this or larger than a texture
// side; such sizes from a hand-edited file are held to these bounds.
static int32_t Clamp(int32_t v, int32_t lo, int32_t hi)
{
    return v < lo ? lo : v > hi ? hi : v;
}

static void ApplyLimits()
{
    if (gConfig.frameratelimit < 30) {
        if (gConfig.frameratelimit == 0)
            gConfig.frameratelimit = 1;
        LogMessage("NOTE: frameratelimit above 30 is highly recommended!");
    } else if (gConfig.frameratelimit > 300) {
        gConfig.frameratelimit = 300;
    }
    gConfig.width = Clamp(gConfig.width, 320, 8192);
    gConfig.height = Clamp(gConfig.height, 240, 8192);
    if (gConfig.depth != 16)
        gConfig.depth = 32;
    gConfig.zdepth = Clamp(gConfig.zdepth, 16, 32);
}

void ScanScreenshots()
{
    char path[256] = "data/screenshots/";
    std::vector<std::string> names;
    gConfig.screenshotCount = 0;
    if (!MakeAbsolutePath(path, sizeof path) || !SysListDirectory(path, names))
        return;
    for (const std::string& name : names)
        if (name.size() > 4)
            gConfig.screenshotCount++;
}

static bool DataFileExists(const char* name)
{
    FILE* file = OpenDataFile(name, "r");
    if (!file)
        return false;
    fclose(file);
    return true;
}

void ScanTracks()
{
    char path[256] = "data/tracks/terrains/";
    std::vector<std::string> names;
    gConfig.trackCount = 0;
    if (!MakeAbsolutePath(path, sizeof path) || !SysListDirectory(path, names))
        return;
    for (const std::string& name : names) {
        if (name.size() <= 4)
            continue;
        if (gConfig.trackCount >= kMaxTracks) {
            LogMessage("MINOR ERROR (too many tracks): %s [ignored]", name.c_str());
            continue;
        }
        std::string base = name.substr(0, name.find('.'));
        if (base.size() >= (size_t)kTrackNameSize) {
            LogMessage("MINOR ERROR (track name too long): %s [ignored]", name.c_str());
            continue;
        }
        char file[256];
        snprintf(file, sizeof file, "data/tracks/textures/%s.tga", base.c_str());
        if (!DataFileExists(file))
            continue;
        snprintf(file, sizeof file, "data/tracks/checkpoints/%s.txt", base.c_str());
        if (!DataFileExists(file))
            continue;
        snprintf(gConfig.trackNames[gConfig.trackCount], kTrackNameSize, "%s", base.c_str());
        gConfig.trackCount++;
    }
}

void LoadConfig()
{
    SetDefaults();
    FILE* file = OpenDataFile(kConfigName, "r");
    if (file) {
        SettingsReader reader;
        reader.Load(file);
        fclose(file);
        ReadConfig(reader);
    } else {
        LogMessage("MINOR ERROR (not found): %s [using defaults]", kConfigName);
        SaveConfig();
    }
    LogMessage("Loading configuration: %s", kConfigName);
    ApplyLimits();
    ScanScreenshots();
    ScanTracks();
}

void SaveConfig()
{
    FILE* file = BeginSettingsSave(kConfigName);
    if (!file) {
        LogMessage("ERROR (not found): %s", kConfigName);
    } else {
        for (int i = 0; i < kKeyCount; i++) {
            int32_t value = *KeyField(kKeys[i]);
            bool zeroSwitch = i > kKeyCount - 4 && value == 0;  // audiodevice, loghwinfo, fullscreen
            if (i < kAlwaysWritten || (gConfig.keysRead & (1u << i)) || zeroSwitch)
                fprintf(file, "%s %d\n", kKeys[i].name, value);
        }
        if (!EndSettingsSave(file, kConfigName))
            LogMessage("ERROR (not found): %s", kConfigName);
    }
    LogMessage("Saving configuration: %s", kConfigName);
}
