// The game as one state machine: the current screen and the menus' data.
// UpdateState runs once per simulation step, DrawState once per frame; most
// transitions happen while a screen draws itself, when one of its buttons
// reports a click, and show from the next frame on.
#pragma once

#include <cstdint>

#include "assets/texture.h"
#include "sound/sound.h"

enum GameStateId : int32_t {
    MainMenu = 0,
    SingleRaceSetup = 1,
    TournamentSetup = 2,
    MultiplayerMenu = 3,
    HostLobby = 4,
    ClientLobby = 5,
    Race = 6,
    RaceMenu = 7,
    RaceResults = 8,
    OptionsMenu = 9,
    AudioOptions = 10,
    GraphicsOptions = 11,
    ControllerOptions = 12,
    Credits = 13,
    ApplyGraphics = 14,
    QuitFading = 15,
    Quit = 16,
};

// True in the states where the race world exists (6, 7, 8).
inline bool IsRaceState(int32_t state)
{
    return state == Race || state == RaceMenu || state == RaceResults;
}

// The one menu element: a picture that lights up under the pointer and
// reports a click when the left button is released over it.
struct MenuButton {
    uint8_t down;       // left button held over the button this frame
    uint8_t prevDown;   // down of the previous frame
    uint8_t hovering;   // the pointer came on with no button held and stayed
    uint8_t pressed;    // a press that began while hovering is held
    uint8_t activated;  // transient: the frame of a completed click
    Texture texture;
    int32_t state;      // 0 idle, 1 hover, 2 pressed, 3 clicked (one frame)
    float x, y;         // centre, window fractions (y from the bottom)
    float w, h;         // size, window fractions
    float colours[3][3];  // target colour of states 0, 1, 2
    float colour[3];      // colour drawn now
};

static const int kButtonCount = 45;

// Button indexes in the table (pictures "data/menu/" + name + ".tga").
enum ButtonId {
    BtnSingleRace, BtnTournament, BtnMultiplayer, BtnOptions, BtnCredits, BtnQuit,
    BtnRace, BtnGameMode, BtnTrack, BtnPlayers, BtnOpponents, BtnDifficulty, BtnLaps, BtnTimeLimit,
    BtnHost, BtnJoin, BtnPlayerName, BtnPeerAddress,
    BtnAudio, BtnMusicVolume, BtnEffectsVolume, BtnGraphics, BtnResolution, BtnColourDepth, BtnApply,
    BtnShadows, BtnDust, BtnTerrainDetail, BtnDrawFps, BtnControllers,
    BtnCtrlPlayer, BtnAccelerate, BtnBrake, BtnSteering, BtnMouseSensitivity, BtnLeft, BtnRight, BtnCamera,
    BtnRaceMenuContinue, BtnResultsContinue, BtnRestart, BtnBack,
    BtnReplay,
    BtnDisplayMode,
    BtnTargetFps,
};

// A held d-pad direction presses again, as a held arrow key repeats.
struct ButtonRepeat {
    uint32_t held;   // the buttons held at the last frame
    double heldFor;  // seconds they have been held together
    double nextAt;   // heldFor at the next press
};

// The keys' way through the menus: the arrows (a pad's d-pad) move a
// focus over the buttons a screen shows, Enter (a pad's A) presses the
// focused button and Left and Right step its value.  Moving or clicking the
// mouse hands the menus back to the pointer.  Each frame's screen lists the
// buttons it updates; the keys of the next frame move over that list.
struct MenuFocus {
    uint8_t active;          // the keys drive the menus; the pointer hovers nothing
    int32_t button;          // the focused ButtonId, -1 none
    int32_t buttonScreen;    // the screen the focus was set on
    int32_t step;            // this frame: -1 (Left) or 1 (Right) on the focused button, else 0
    uint8_t press;           // this frame: the focused button is pressed
    uint8_t binding;         // controller options: the focused key button waits for a key
    uint8_t bindArmed;       // ... and every key has been up since the wait began
    int32_t pointerX, pointerY;  // where the pointer stood at the last frame
    ButtonRepeat padRepeat;  // the pads' d-pad held down
    int32_t listScreen;      // the screen that drew `shown`
    int32_t shown[kButtonCount];
    int32_t shownCount;
    int32_t drawingScreen;   // the screen of the frame being drawn
    int32_t drawn[kButtonCount];  // the buttons it has updated so far
    int32_t drawnCount;
};

struct GameState {
    int32_t state;                    // GameStateId
    int32_t pendingWidth, pendingHeight, pendingDepth;  // graphics options being chosen
    int32_t pendingFullscreen;        // graphics options: 1 full screen, 0 a window
    Texture pointerTexture;           // "data/textures/mouse.tga"
    Texture backgroundTexture;        // "data/bg/menu.tga"
    uint8_t escapeLatch;              // 1 while Escape has been up since it last acted
    uint8_t tournament;               // the races belong to a tournament
    int32_t selectedPlayer;           // controller options: player 0..3
    MenuButton buttons[kButtonCount];
    float fade;                       // menu brightness 0 (black) .. 1
    // "data/music/menu.wav", "data/music/race.wav": each loaded only while
    // its states play it.
    Sample menuMusic, raceMusic;
    Channel menuChannel, raceChannel;
    Sample rolloverSample, clickSample;   // "data/seffects/r.wav", "data/seffects/c.wav"
    Channel rolloverChannel, clickChannel;
    uint8_t demo;                     // --demo: every car computer-driven, nothing saved
    MenuFocus focus;
};

// Per start-up pass: LoadMenuAssets resets it; FreeMenuAssets releases it.
extern GameState gGame;

// One simulation step of the current state.
void UpdateState();
// Draws the current state and carries out the transitions its screen reports.
void DrawState();
// Whether Escape, or a pad's back button, went down for this frame's
// screen (once per press).
bool BackPressed();
