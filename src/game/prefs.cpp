#include "game/prefs.h"

#include <cstdio>
#include <cstring>

#include "app/appdir.h"
#include "app/config.h"
#include "app/log.h"
#include "app/settings_file.h"
#include "game/game_state.h"
#include "input/devices.h"

Prefs gPrefs;

static const char kPrefsName[] = "data/prefs.txt";

void SetDefaultPrefs()
{
    memset(&gPrefs, 0, sizeof gPrefs);
    gPrefs.shadows = 1;
    gPrefs.particles = 1;
    gPrefs.seffects = 1;
    gPrefs.music = 1;
    gPrefs.funnywheels = 1;
    gPrefs.shadow_resolution = 64;
    gPrefs.terrain_pixelskip = 1;
    gPrefs.musicvolume = 224;
    gPrefs.soundeffectsvolume = 224;
    gPrefs.gamemode = 0;
    gPrefs.screenmode = 0;
    gPrefs.track = 1;
    gPrefs.nplayers = 1;
    gPrefs.nopponents = 1;
    gPrefs.opponentskill = 0;
    gPrefs.carCount = 2;
    gPrefs.viewCount = 1;
    gPrefs.mousesteering = 3;
    gPrefs.mousesensitivity = 9;
    gPrefs.gamepadsteering = kNoDevicePlayer;
    gPrefs.wheelsteering = kNoDevicePlayer;
    gPrefs.laps = 3;
    gPrefs.timelimit = 60;
    gPrefs.viewKeyReleased = 1;
    for (int i = 0; i < 5; i++)
        snprintf(gPrefs.playername[i], sizeof gPrefs.playername[i], "%s", "player");
    snprintf(gPrefs.p2p_ip, sizeof gPrefs.p2p_ip, "%s", "192.168.0.2");
    static const float colours[5][3] = {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 1}};
    memcpy(gPrefs.playerColour, colours, sizeof colours);
    gPrefs.medalshowtime = 10.0f;
    static const int32_t keys[4][5] = {
        {38, 37, 40, 39, 16},      // arrows, Shift
        {87, 65, 83, 68, 81},      // W A S D, Q
        {73, 74, 75, 76, 85},      // I J K L, U
        {109, 104, 107, 105, 106}, // keypad - 8 + 9 *
    };
    memcpy(gPrefs.playerctrls, keys, sizeof keys);
}

static void ReadFlag(SettingsReader& reader, uint8_t* flag)
{
    int32_t v;
    if (reader.ReadInt(&v))
        *flag = (uint8_t)v;
}

static bool IsPrefsKey(const char* word);

// Reads a one-word text value.  A name left empty in the menus is saved as
// nothing, so the word after it is the next key: that key is then read as a
// key, not swallowed as the name (which would lose the keys that follow).
static void ReadTextValue(SettingsReader& reader, char* value, int size)
{
    int mark = reader.Tell();
    char word[256];
    if (!reader.NextWord(word, sizeof word))
        return;
    if (IsPrefsKey(word)) {
        value[0] = 0;
        reader.Seek(mark);
        return;
    }
    size_t n = strlen(word);
    if (n > (size_t)size - 1)
        n = (size_t)size - 1;
    memcpy(value, word, n);
    value[n] = 0;
}

static void ReadPrefs(SettingsReader& reader)
{
    struct FlagKey { const char* name; uint8_t* field; };
    struct IntKey { const char* name; int32_t* field; };
    const FlagKey flags[] = {
        {"shadows", &gPrefs.shadows}, {"particles", &gPrefs.particles}, {"seffects", &gPrefs.seffects},
        {"music", &gPrefs.music}, {"funnywheels", &gPrefs.funnywheels},
    };
    const IntKey ints[] = {
        {"shadow_resolution", &gPrefs.shadow_resolution}, {"terrain_pixelskip", &gPrefs.terrain_pixelskip},
        {"musicvolume", &gPrefs.musicvolume}, {"soundeffectsvolume", &gPrefs.soundeffectsvolume},
        {"gamemode", &gPrefs.gamemode}, {"screenmode", &gPrefs.screenmode}, {"track", &gPrefs.track},
        {"nplayers", &gPrefs.nplayers}, {"nopponents", &gPrefs.nopponents},
        {"opponentskill", &gPrefs.opponentskill}, {"mousesteering", &gPrefs.mousesteering},
        {"mousesensitivity", &gPrefs.mousesensitivity}, {"gamepadsteering", &gPrefs.gamepadsteering},
        {"wheelsteering", &gPrefs.wheelsteering}, {"laps", &gPrefs.laps}, {"timelimit", &gPrefs.timelimit},
        {"targetfps", &gPrefs.targetfps},
    };
    char word[256];
    while (reader.NextWord(word, sizeof word)) {
        bool done = false;
        for (const FlagKey& key : flags)
            if (!done && strcmp(word, key.name) == 0) {
                ReadFlag(reader, key.field);
                done = true;
            }
        for (const IntKey& key : ints)
            if (!done && strcmp(word, key.name) == 0) {
                reader.ReadInt(key.field);
                done = true;
            }
        if (done)
            continue;
        if (strcmp(word, "medalshowtime") == 0) {
            reader.ReadFloat(&gPrefs.medalshowtime);
        } else if (strcmp(word, "p2p_ip") == 0 || strcmp(word, "player6name") == 0) {
            ReadTextValue(reader, gPrefs.p2p_ip, sizeof gPrefs.p2p_ip);
        } else if (strncmp(word, "player", 6) == 0 && word[6] >= '1' && word[6] <= '5' &&
                   strcmp(word + 7, "name") == 0) {
            char* name = gPrefs.playername[word[6] - '1'];
            ReadTextValue(reader, name, 16);
        } else if (strncmp(word, "player", 6) == 0 && word[6] >= '1' && word[6] <= '4' &&
                   strcmp(word + 7, "ctrls") == 0) {
            int32_t* keys = gPrefs.playerctrls[word[6] - '1'];
            for (int k = 0; k < 5; k++)
                if (!reader.ReadInt(&keys[k]))
                    break;
        }
    }
}

static bool IsPrefsKey(const char* word)
{
    static const char* const keys[] = {
        "shadows", "particles", "seffects", "music", "funnywheels", "shadow_resolution",
        "terrain_pixelskip", "musicvolume", "soundeffectsvolume", "gamemode", "screenmode", "track",
        "nplayers", "nopponents", "opponentskill", "medalshowtime", "mousesteering",
        "mousesensitivity", "gamepadsteering", "wheelsteering", "laps", "timelimit", "p2p_ip",
        "player1name", "player2name", "player3name", "player4name", "player5name", "player6name",
        "player1ctrls", "player2ctrls", "player3ctrls", "player4ctrls", "targetfps",
    };
    for (const char* key : keys)
        if (strcmp(word, key) == 0)
            return true;
    return false;
}

void LoadPrefs()
{
    SetDefaultPrefs();
    FILE* file = OpenDataFile(kPrefsName, "r");
    if (!file) {
        LogMessage("MINOR ERROR (not found): %s [using defaults]", kPrefsName);
        SavePrefs();
    } else {
        SettingsReader reader;
        reader.Load(file);
        fclose(file);
        ReadPrefs(reader);
    }
    LogMessage("Loading prefs: %s", kPrefsName);
    NormalisePrefs();
}

static int32_t Clamp(int32_t v, int32_t lo, int32_t hi)
{
    return v < lo ? lo : v > hi ? hi : v;
}

void NormalisePrefs()
{
    // Values a hand-edited file may hold out of range, held where they are
    // used as counts, indexes or sizes.
    gPrefs.nplayers = Clamp(gPrefs.nplayers, 1, 4);
    gPrefs.nopponents = Clamp(gPrefs.nopponents, 0, 4);
    gPrefs.gamemode = Clamp(gPrefs.gamemode, 0, 1);
    gPrefs.opponentskill = Clamp(gPrefs.opponentskill, 0, 2);
    gPrefs.shadow_resolution = Clamp(gPrefs.shadow_resolution, 0, 128);
    if (gPrefs.terrain_pixelskip < 1 || gPrefs.terrain_pixelskip > 32)
        gPrefs.terrain_pixelskip = 1;
    gPrefs.musicvolume = Clamp(gPrefs.musicvolume, 0, 255);
    gPrefs.soundeffectsvolume = Clamp(gPrefs.soundeffectsvolume, 0, 255);
    int32_t* devices[] = {&gPrefs.mousesteering, &gPrefs.gamepadsteering, &gPrefs.wheelsteering};
    for (int32_t* d : devices)
        if (*d < 0 || *d > 3)
            *d = kNoDevicePlayer;
    for (auto& keys : gPrefs.playerctrls)
        for (int32_t& key : keys)
            if (key < 0 || key > 254)
                key = 0;
    for (auto& name : gPrefs.playername)
        name[15] = 0;
    gPrefs.p2p_ip[15] = 0;
    if (gPrefs.targetfps != 30 && gPrefs.targetfps != 45 && gPrefs.targetfps != 60)
        gPrefs.targetfps = 0;

    uint32_t cars = (uint32_t)gPrefs.nplayers + (uint32_t)gPrefs.nopponents;
    gPrefs.carCount = cars > 5 ? 5 : cars;
    gPrefs.viewCount = (uint32_t)gPrefs.nplayers;
    if (gPrefs.nplayers == 3 || gPrefs.nplayers == 4)
        gPrefs.screenmode = 2;
    else if (gPrefs.nplayers == 2)
        gPrefs.screenmode = 1;
    else
        gPrefs.screenmode = 0;
    if (gPrefs.viewCount > 3)
        gPrefs.viewCount = 3;
    if ((uint32_t)gPrefs.track >= (uint32_t)gConfig.trackCount)
        gPrefs.track = gConfig.trackCount > 0 ? gConfig.trackCount - 1 : 0;
    if (gConfig.depth == 16)
        gPrefs.shadows = 0;
}

void SavePrefs()
{
    NormalisePrefs();
    if (gGame.demo)  // a demo changes nothing on disk
        return;
    FILE* file = BeginSettingsSave(kPrefsName);
    if (!file) {
        LogMessage("ERROR (not found): %s", kPrefsName);
        ExitProgram();
    }
    const Prefs& p = gPrefs;
    fprintf(file, "shadows %d\n", p.shadows ? 1 : 0);
    fprintf(file, "particles %d\n", p.particles ? 1 : 0);
    fprintf(file, "seffects %d\n", p.seffects ? 1 : 0);
    fprintf(file, "music %d\n", p.music ? 1 : 0);
    fprintf(file, "funnywheels %d\n", p.funnywheels ? 1 : 0);
    fprintf(file, "shadow_resolution %d\n", p.shadow_resolution);
    fprintf(file, "terrain_pixelskip %d\n", p.terrain_pixelskip);
    fprintf(file, "musicvolume %d\n", p.musicvolume);
    fprintf(file, "soundeffectsvolume %d\n", p.soundeffectsvolume);
    fprintf(file, "gamemode %d\n", p.gamemode);
    fprintf(file, "screenmode %d\n", p.screenmode);
    fprintf(file, "track %d\n", p.track);
    fprintf(file, "nplayers %d\n", p.nplayers);
    fprintf(file, "nopponents %d\n", p.nopponents);
    fprintf(file, "opponentskill %d\n", p.opponentskill);
    fprintf(file, "medalshowtime %f\n", p.medalshowtime);
    fprintf(file, "mousesteering %d\n", p.mousesteering);
    fprintf(file, "mousesensitivity %d\n", p.mousesensitivity);
    fprintf(file, "gamepadsteering %d\n", p.gamepadsteering);
    fprintf(file, "wheelsteering %d\n", p.wheelsteering);
    fprintf(file, "laps %d\n", p.laps);
    fprintf(file, "timelimit %d\n", p.timelimit);
    fprintf(file, "p2p_ip %s\n", p.p2p_ip);
    for (int i = 0; i < 4; i++) {
        const int32_t* k = p.playerctrls[i];
        fprintf(file, "player%dname %s\n", i + 1, p.playername[i]);
        fprintf(file, "player%dctrls %d %d %d %d %d\n", i + 1, k[0], k[1], k[2], k[3], k[4]);
    }
    fprintf(file, "player5name %s\n", p.playername[4]);
    fprintf(file, "player6name %s\n", p.p2p_ip);
    fprintf(file, "targetfps %d\n", p.targetfps);
    if (!EndSettingsSave(file, kPrefsName)) {
        LogMessage("ERROR (not found): %s", kPrefsName);
        ExitProgram();
    }
    LogMessage("Saving prefs: %s", kPrefsName);
}

void CycleScreenMode()
{
    if (KeyDown(48)) {
        if (gPrefs.viewKeyReleased) {
            gPrefs.viewKeyReleased = 0;
            gPrefs.screenmode++;
            if ((uint32_t)gPrefs.screenmode >= gPrefs.viewCount)
                gPrefs.screenmode = 0;
        }
    } else {
        gPrefs.viewKeyReleased = 1;
    }
}
