// The two lobby screens.  Both show the mode, the track, the race length
// and the two players' names in their colours ("waiting..." until the other
// machine has answered) and talk to the other machine once per frame.  The
// host's buttons change the settings (saved at once) and start the race;
// the client sees the host's values and has only its back button.
#include "app/config.h"
#include "game/menus.h"
#include "game/multiplayer_screens.h"
#include "game/prefs.h"
#include "net/net_session.h"
#include "render/font.h"

static int LengthButton()
{
    return gPrefs.gamemode == 1 ? BtnLaps : BtnTimeLimit;
}

static const char* TrackName()
{
    if (gPrefs.track < 0 || gPrefs.track >= gConfig.trackCount)
        return "";
    return gConfig.trackNames[gPrefs.track];
}

// Values beside the setting buttons and the two names below them.
static void DrawLobbyValues()
{
    const MenuButton* b = gGame.buttons;
    DrawButtonValue(b[BtnGameMode], "%s", GameModeName(gPrefs.gamemode));
    DrawButtonValue(b[BtnTrack], "%s", TrackName());
    // What the race will be, not a hand-edited length beyond the network's.
    DrawButtonValue(b[LengthButton()], "%d", NetworkRaceLength());
    const float* c1 = gPrefs.playerColour[0];
    const float* c2 = gPrefs.playerColour[1];
    PrintText(gMainFont, 0.5f, 0.525f, c1[0], c1[1], c1[2], 1, 1, 0.015f, "%s", gPrefs.playername[0]);
    if (gNet.peerJoined)
        PrintText(gMainFont, 0.5f, 0.475f, c2[0], c2[1], c2[2], 1, 1, 0.015f, "%s", gPrefs.playername[1]);
    else
        PrintText(gMainFont, 0.5f, 0.475f, c2[0], c2[1], c2[2], 1, 1, 0.015f, "%s", "waiting...");
}

void DrawHostLobby()
{
    lobbyTalk();
    if (gGame.state != HostLobby)
        return;  // the client went silent: the session is over
    MenuButton* b = gGame.buttons;
    const int length = LengthButton();
    UpdateButton(b[BtnRace], true);
    UpdateButton(b[BtnGameMode], true);
    UpdateButton(b[BtnTrack], true);
    UpdateButton(b[length], true);
    UpdateBackButton();
    DrawLobbyValues();

    bool changed = true;
    int step;
    if ((step = ClickStep(b[BtnGameMode])) != 0)
        CycleGameMode(gPrefs, step);
    else if ((step = ClickStep(b[BtnTrack])) != 0)
        CycleTrack(gPrefs, gConfig.trackCount, step);
    else if ((step = ClickStep(b[length])) != 0 && length == BtnLaps)
        CycleLaps(gPrefs, step);
    else if (step != 0)
        CycleTimeLimit(gPrefs, step);
    else
        changed = false;
    if (changed)
        SaveSessionPrefs();
    if (b[BtnRace].state == 3) {
        SaveSessionPrefs();
        gotoRace();
    } else if (b[BtnBack].state == 3) {
        SaveSessionPrefs();
        LeaveLobby();
    }
}

void UpdateHostLobby()
{
    MenuButton* b = gGame.buttons;
    AnimateButton(b[BtnRace]);
    AnimateButton(b[BtnGameMode]);
    AnimateButton(b[BtnTrack]);
    AnimateButton(b[LengthButton()]);
    AnimateButton(b[BtnBack]);
}

void DrawClientLobby()
{
    lobbyTalk();
    if (gGame.state != ClientLobby)
        return;  // closed by the host, or the race has started
    MenuButton* b = gGame.buttons;
    // The setting pictures as labels of the host's values; only back works.
    DrawButton(b[BtnGameMode]);
    DrawButton(b[BtnTrack]);
    DrawButton(b[LengthButton()]);
    UpdateBackButton();
    DrawLobbyValues();
    if (b[BtnBack].state == 3) {
        CloseSession();
        LoadPrefs();
        gGame.state = MultiplayerMenu;
    }
}

void UpdateClientLobby()
{
    AnimateButton(gGame.buttons[BtnBack]);
}
