// The multiplayer menu (state 3): host, join, the player's name, the
// address of the host to join, and this machine's own address beside the
// host button, so that the hosting player can read it out to the other.
// Also the dispatch of the three multiplayer states and the way out of a
// network race.
#include <cstring>

#include "game/menus.h"
#include "game/multiplayer_screens.h"
#include "game/prefs.h"
#include "input/devices.h"
#include "input/keymap.h"
#include "net/net_session.h"
#include "render/font.h"

static void DrawMenu()
{
    MenuButton* b = gGame.buttons;
    UpdateButton(b[BtnHost], true);
    UpdateButton(b[BtnJoin], true);
    UpdateButton(b[BtnPlayerName], true);
    UpdateButton(b[BtnPeerAddress], true);
    UpdateBackButton();
    DrawButtonValue(b[BtnHost], "%s", gNet.localAddress);
    DrawButtonValue(b[BtnPlayerName], "%s", gPrefs.playername[0]);
    DrawButtonValue(b[BtnPeerAddress], "%s", gPrefs.p2p_ip);
    // Why the last session ended by itself (the other machine went silent).
    if (gNet.notice[0])
        PrintText(gMainFont, 0.5f, 0.2f, 1.0f, 0.5f, 0.3f, 1, 1, 0.015f, "%s", gNet.notice);

    // Typing while the pointer rests on the address field, or the keys'
    // focus does; the keys that move through the menus type nothing.
    const int32_t key = gKeyboard.lastKey;
    const bool menuKey = key == kKeyEscape || key == kKeyEnter || (key >= kKeyLeft && key <= kKeyDown);
    if (b[BtnPeerAddress].state == 1 && key != -1 && !menuKey) {
        if (EditPeerAddress(gPrefs.p2p_ip, key))
            SavePrefs();
    }
    // A session that cannot start leaves its reason in gNet.notice, below.
    if (b[BtnHost].state == 3) {
        if (init_lobbyTalk(kRoleHost))
            gGame.state = HostLobby;
    } else if (b[BtnJoin].state == 3) {
        if (init_lobbyTalk(kRoleClient))
            gGame.state = ClientLobby;
    } else if (b[BtnBack].state == 3) {
        gGame.state = MainMenu;
    }
}

static void UpdateMenu()
{
    MenuButton* b = gGame.buttons;
    AnimateButton(b[BtnHost]);
    AnimateButton(b[BtnJoin]);
    AnimateButton(b[BtnPlayerName]);
    AnimateButton(b[BtnPeerAddress]);
    AnimateButton(b[BtnBack]);
}

void DrawMultiplayerMenu()
{
    if (gGame.state == HostLobby)
        DrawHostLobby();
    else if (gGame.state == ClientLobby)
        DrawClientLobby();
    else
        DrawMenu();
}

void UpdateMultiplayerMenu()
{
    if (gGame.state == HostLobby)
        UpdateHostLobby();
    else if (gGame.state == ClientLobby)
        UpdateClientLobby();
    else
        UpdateMenu();
}

// Back from the race menu or the results: the client leaves the session
// without telling the host; the host takes both players to its lobby.
void LeaveNetworkRace()
{
    if (gNet.role == kRoleClient) {
        LogNetworkRaceEnd();
        CloseSession();
        LoadPrefs();
        gGame.state = MultiplayerMenu;
    } else {
        ReturnToLobby();
    }
}
