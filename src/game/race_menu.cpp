// The in-race menu (state 7) over the dimmed, frozen race: continue,
// restart (not for a network client) and back; and the way out of a race
// that the results screen shares.
#include "game/menus.h"
#include "game/recording.h"
#include "net/net_session.h"
#include "race/race.h"

void LeaveRace()
{
    if (gNet.role == kRoleClient || gNet.role == kRoleHost)
        LeaveNetworkRace();
    else
        gGame.state = gGame.tournament ? TournamentSetup : SingleRaceSetup;
}

static bool RestartShown()
{
    return gNet.role != kRoleClient;
}

void DrawRaceMenu()
{
    MenuButton* b = gGame.buttons;
    UpdateButton(b[BtnRaceMenuContinue], true);
    if (RestartShown())
        UpdateButton(b[BtnRestart], true);
    UpdateButton(b[BtnBack], true);
    if (b[BtnRaceMenuContinue].state == 3) {
        gGame.state = Race;
    } else if (RestartShown() && b[BtnRestart].state == 3) {
        BeginRaceRecording();
        ResetCars();
        gGame.state = Race;
    } else if (b[BtnBack].state == 3) {
        LeaveRace();
    }
}

void UpdateRaceMenu()
{
    AnimateButton(gGame.buttons[BtnRaceMenuContinue]);
    if (RestartShown())
        AnimateButton(gGame.buttons[BtnRestart]);
    AnimateButton(gGame.buttons[BtnBack]);
}
