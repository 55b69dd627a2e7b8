// The menu screens as the state machine sees them: each screen has a
// per-frame Draw (updates its buttons' mouse logic, draws, and changes the
// state when a button fires) and a per-step Update (the buttons' colour
// animation).  The button logic itself is plain (game/menu_logic.h).
#pragma once

#include "game/game_state.h"
#include "game/menu_logic.h"

// ---- Menu assets (one start-up pass) ----

// State 0, pending display mode from Config, pointer and background
// textures, latches and flags cleared, the buttons, fade 0, the menu and
// race music (looping) and the two menu effects.
void LoadMenuAssets();
// Deletes every texture and stops and frees the four sounds of LoadMenuAssets.
void FreeMenuAssets();
// The cursor has been put on the first main-menu button at start-up: that
// button starts out hovered (no roll-over sound for it).
void HoverStartButton();

// ---- Buttons ----

// Before each frame's screen draws: the keys and pads of this frame move
// the focus (game/menu_logic.h, MenuFocus), with the roll-over sound.  A
// race draws no button, so there the keys move nothing.
void BeginMenuFrame();
// Whether the keys drive the menus and their focus is on this button of
// gGame.buttons.
bool KeysFocusOn(const MenuButton& button);
// Loads the picture and sets geometry and colours from the table row.
void InitButton(MenuButton& button, const char* picture, float y, int widthPixels, int heightPixels,
                const float hover[3]);
// The per-frame mouse logic with its sounds, the focused button lit (and
// pressed by the keys), then DrawButton when draw is set.
void UpdateButton(MenuButton& button, bool draw);
// The menu screens' Back button, drawn: a click, Escape or a pad's back
// button presses it.
void UpdateBackButton();
// The step a click on a value button asks for this frame: 1 for a left
// click or Enter (state 3), -1 when the right button went up over it, -1
// or 1 for Left or Right on the focused button, else 0.
int ClickStep(const MenuButton& button);
void DrawButton(const MenuButton& button);
// The mouse pointer picture, 16 pixels right of and below the cursor.
void DrawPointer();
// Halves the brightness of the picture drawn so far.
void DimScreen();
// The background picture over the whole window.
void DrawBackground();
// A value text left-aligned at the right edge of the button, in its idle
// colour (mainFont, set 1, size 0.015).
void DrawButtonValue(const MenuButton& button, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
// A key picture (keyFont) at the right edge of the button.
void DrawButtonKey(const MenuButton& button, int keyCode);

// ---- Screens ----

void DrawMainMenu();    // states 0 and 15
void UpdateMainMenu();
void DrawRaceSetup(bool withTrack);  // states 1 (with the track button) and 2
void UpdateRaceSetup(bool withTrack);
void DrawRaceMenu();    // state 7
void UpdateRaceMenu();
void DrawResults();     // state 8
void UpdateResults();
// The race has just ended: the results screen starts with "Race over".
void BeginResults();
// True during the results screen's first two seconds, while the race stays
// in view undimmed and the HUD shows "Race over" and the places.
bool RaceOverShowing();
void DrawOptions();     // states 9 to 12
void UpdateOptions();
void DrawCredits();     // state 13
void UpdateCredits();

// The multiplayer screens, states 3 (menu), 4 (host lobby), 5 (client lobby).
void DrawMultiplayerMenu();
void UpdateMultiplayerMenu();
// Back from the race menu or the results while a network session is open:
// a client leaves the session (state 3), a host takes both players back to
// its lobby (state 4).
void LeaveNetworkRace();

// ---- Leaving and entering races ----

// Back in the race menu or the results: by the network role, or without a
// session to the tournament or single-race set-up.
void LeaveRace();
// Loads `track` (track 0 when it is not in the list) and puts the cars on
// the start grid, in the tournament's mode for that track during a
// tournament, then enters the race.  gPrefs is not changed.  False (nothing
// changes) when no track is usable.
bool StartRaceOnTrack(int32_t track);
