// The players' choices ("data/prefs.txt"): effects, volumes, race set-up,
// devices, names, colours and keys.  The single source of race parameters.
// The menus save after every change; a network session overwrites race
// fields in memory only and a client reloads the file when it leaves.
#pragma once

#include <cstdint>

static const int32_t kNoDevicePlayer = 99;  // mousesteering etc.: nobody

// Key codes in playerctrls, per player.
enum ControlKey { kCtrlAccelerate = 0, kCtrlLeft = 1, kCtrlBrake = 2, kCtrlRight = 3, kCtrlCamera = 4 };

struct Prefs {
    uint8_t shadows;              // draw car shadows; 0 at 16-bit colour
    uint8_t particles;            // draw dust
    uint8_t seffects;             // race sound effects
    uint8_t music;                // kept in the file only
    uint8_t funnywheels;          // the tag holder's wheels bounce
    int32_t shadow_resolution;    // 0 off, 1 static, 32/64/128 dynamic texels
    int32_t terrain_pixelskip;    // terrain mesh step, 1 or 2
    int32_t musicvolume;          // 0..255
    int32_t soundeffectsvolume;   // 0..255
    int32_t gamemode;             // 0 "Tag!", 1 "Checkpoint"
    int32_t screenmode;           // 0 one view, 1 two halves, 2 four quarters
    int32_t track;                // index into Config::trackNames
    int32_t nplayers;             // 1..4 people at this machine
    int32_t nopponents;           // 0..5-nplayers computer cars
    int32_t opponentskill;        // 0 easy, 1 medium, 2 hard
    uint32_t carCount;            // nplayers + nopponents, at most 5 (derived)
    uint32_t viewCount;           // layouts the view key steps through (derived)
    int32_t mousesteering;        // player steering with the mouse, or 99
    int32_t mousesensitivity;     // mouse steering factor 3..15
    int32_t gamepadsteering;      // player on the joystick as gamepad, or 99
    int32_t wheelsteering;        // player on the joystick as wheel, or 99
    int32_t padsteering[3];       // keys pad2steering .. pad4steering: player on Pads 2..4, or 99
    int32_t laps;                 // checkpoint race length, 3..12
    int32_t timelimit;            // tag race length in seconds, 10..60
    uint8_t viewKeyReleased;      // latch of the view key "0"
    char playername[5][16];       // keys player1name .. player5name; one word, 15 characters
    char p2p_ip[16];              // network peer, dotted decimal
    float playerColour[5][3];     // red, green, blue of players 1..5 (not stored)
    float medalshowtime;          // seconds the leader medal stays up
    int32_t playerctrls[4][5];    // keys player1ctrls .. player4ctrls: ControlKey order
    uint8_t alternate;            // tournaments alternate Tag! and Checkpoint; key "alternate",
                                  // written last, only when set
    int32_t targetfps;            // "Target frame rate" of the quality budget: 0 off, 30, 45 or 60
};

// Per process: LoadPrefs at every start-up pass and when race assets load;
// a network client reloads it when it leaves a session.
extern Prefs gPrefs;

// Defaults, the file (written at once when missing), NormalisePrefs.
void LoadPrefs();
// NormalisePrefs, then the 37-line file (38 with "alternate 1"; nothing in a demo).  A file that
// cannot be written ends the program.
void SavePrefs();
// Derives carCount, viewCount and screenmode, keeps track inside the track
// list, switches shadows off at 16-bit colour, and holds every value that
// is used as an index or a size to its range.
void NormalisePrefs();
// The view key (main-row "0", code 48) steps screenmode once per press.
void CycleScreenMode();

// Sets every default (no file access).
void SetDefaultPrefs();
