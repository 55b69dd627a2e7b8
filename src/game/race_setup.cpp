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
#include "game/tournament.h"
#include "race/race.h"
#include "race/standings.h"

// The length button of the current mode: laps (checkpoint, and an
// alternating tournament) or time limit (tag).
static int LengthButton(bool withTrack)
{
    return gPrefs.gamemode == 1 || (!withTrack && gPrefs.alternate) ? BtnLaps : BtnTimeLimit;
}

bool StartRaceOnTrack(int32_t track)
{
    if (gConfig.trackCount <= 0)
        return false;
    TakeRaceSetupForTrack(track, gGame.tournament != 0);
    LoadTrack();
    BeginRaceRecording();
    ResetCars();
    gGame.state = Race;
    return true;
}

// The race button: a single race on the chosen track, or a tournament from
// track 0.  Nothing happens when no track is usable.
static void StartFromSetup(bool withTrack)
{
    if (gConfig.trackCount <= 0)
        return;
    gGame.tournament = withTrack ? 0 : 1;
    ClearTotals();
    StartRaceOnTrack(withTrack ? gPrefs.track : 0);
}

void DrawRaceSetup(bool withTrack)
{
    MenuButton* b = gGame.buttons;
    int length = LengthButton(withTrack);
    // Without the track row (a tournament plays every track), the rows
    // below it move up into its place.
    static const int kBelowTrack[] = {BtnPlayers, BtnOpponents, BtnDifficulty, BtnLaps, BtnTimeLimit};
    for (int id : kBelowTrack)
        b[id].y = kButtonTable[id].y + (withTrack ? 0.0f : 0.05f);
    UpdateButton(b[BtnRace], true);
    UpdateButton(b[BtnGameMode], true);
    if (withTrack)
        UpdateButton(b[BtnTrack], true);
    UpdateButton(b[BtnPlayers], true);
    UpdateButton(b[BtnOpponents], true);
    UpdateButton(b[BtnDifficulty], true);
    UpdateButton(b[length], true);
    UpdateBackButton();

    bool changed = true;
    int step;
    if ((step = ClickStep(b[BtnGameMode])) != 0 && withTrack)
        CycleGameMode(gPrefs, step);
    else if (step != 0)  // Tag!, Checkpoint, Alternate: back is twice forward
        for (int k = 0; k < (step > 0 ? 1 : 2); k++)
            CycleTournamentMode(gPrefs);
    else if (withTrack && (step = ClickStep(b[BtnTrack])) != 0 && gConfig.trackCount > 0)
        CycleTrack(gPrefs, gConfig.trackCount, step);
    else if ((step = ClickStep(b[BtnPlayers])) != 0)
        CyclePlayers(gPrefs, step);
    else if ((step = ClickStep(b[BtnOpponents])) != 0)
        CycleOpponents(gPrefs, step);
    else if ((step = ClickStep(b[BtnDifficulty])) != 0)
        CycleSkill(gPrefs, step);
    else if ((step = ClickStep(b[length])) != 0 && length == BtnLaps)
        CycleLaps(gPrefs, step);
    else if (step != 0)
        CycleTimeLimit(gPrefs, step);
    else
        changed = ClaimPlayersByStart();
    if (changed)
        SavePrefs();

    DrawButtonValue(b[BtnGameMode], "%s", withTrack ? GameModeName(gPrefs.gamemode) : TournamentModeName(gPrefs));
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
    AnimateButton(gGame.buttons[LengthButton(withTrack)]);
}
