// The race set-up screens: state 1 (single race, with the track button) and
// state 2 (tournament, always from the first track).  Every change is saved
// at once; the value of each setting is written right of its button.
#include "app/config.h"
#include "game/menu_logic.h"
#include "game/menus.h"
#include "game/prefs.h"
#include "game/race_prefs.h"
#include "game/recording.h"
#include "input/pads.h"
#include "race/race.h"
#include "race/standings.h"

// The length button of the current mode: laps (checkpoint) or time limit (tag).
static int LengthButton()
{
    return gPrefs.gamemode == 1 ? BtnLaps : BtnTimeLimit;
}

bool StartRaceOnTrack()
{
    if (gConfig.trackCount <= 0)
        return false;
    if (gPrefs.track < 0 || gPrefs.track >= gConfig.trackCount)
        gPrefs.track = 0;
    TakeRaceSetupFromPrefs();
    LoadTrack();
    BeginRaceRecording();
    ResetCars();
    gGame.state = Race;
    return true;
}

// The race button: a single race, or a tournament from track 0.  Nothing
// happens when no track is usable.
static void StartFromSetup(bool withTrack)
{
    if (gConfig.trackCount <= 0)
        return;
    if (withTrack) {
        gGame.tournament = 0;
    } else {
        gPrefs.track = 0;
        gGame.tournament = 1;
    }
    ClearTotals();
    StartRaceOnTrack();
}

void DrawRaceSetup(bool withTrack)
{
    MenuButton* b = gGame.buttons;
    int length = LengthButton();
    UpdateButton(b[BtnRace], true);
    UpdateButton(b[BtnGameMode], true);
    if (withTrack)
        UpdateButton(b[BtnTrack], true);
    UpdateButton(b[BtnPlayers], true);
    UpdateButton(b[BtnOpponents], true);
    UpdateButton(b[BtnDifficulty], true);
    UpdateButton(b[length], true);
    UpdateButton(b[BtnBack], true);

    bool changed = true;
    if (b[BtnGameMode].state == 3)
        CycleGameMode(gPrefs);
    else if (withTrack && b[BtnTrack].state == 3 && gConfig.trackCount > 0)
        CycleTrack(gPrefs, gConfig.trackCount);
    else if (b[BtnPlayers].state == 3)
        CyclePlayers(gPrefs);
    else if (b[BtnOpponents].state == 3)
        CycleOpponents(gPrefs);
    else if (b[BtnDifficulty].state == 3)
        CycleSkill(gPrefs);
    else if (b[length].state == 3 && length == BtnLaps)
        CycleLaps(gPrefs);
    else if (b[length].state == 3)
        CycleTimeLimit(gPrefs);
    else
        changed = ClaimPlayersByStart();
    if (changed)
        SavePrefs();

    DrawButtonValue(b[BtnGameMode], "%s", GameModeName(gPrefs.gamemode));
    if (withTrack) {
        if (gConfig.trackCount > 0 && gPrefs.track >= 0 && gPrefs.track < gConfig.trackCount)
            DrawButtonValue(b[BtnTrack], "%s", gConfig.trackNames[gPrefs.track]);
        else
            DrawButtonValue(b[BtnTrack], "%s", "(no track)");
    }
    DrawButtonValue(b[BtnPlayers], "%d", gPrefs.nplayers);
    DrawButtonValue(b[BtnOpponents], "%d", gPrefs.nopponents);
    DrawButtonValue(b[BtnDifficulty], "%s", SkillName(gPrefs.opponentskill));
    DrawButtonValue(b[length], "%d", length == BtnLaps ? gPrefs.laps : gPrefs.timelimit);

    if (b[BtnRace].state == 3)
        StartFromSetup(withTrack);
    else if (b[BtnBack].state == 3)
        gGame.state = MainMenu;
}

void UpdateRaceSetup(bool withTrack)
{
    static const int kButtons[] = {BtnRace, BtnGameMode, BtnPlayers, BtnOpponents, BtnDifficulty, BtnBack};
    for (int id : kButtons)
        AnimateButton(gGame.buttons[id]);
    if (withTrack)
        AnimateButton(gGame.buttons[BtnTrack]);
    AnimateButton(gGame.buttons[LengthButton()]);
}
