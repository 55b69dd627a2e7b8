// The multiplayer screens (states 3, 4 and 5).  Until the network lobby is
// in place this is the menu's frame alone: its back button to the main menu.
// The lobby code replaces this file as a whole (the same four functions).
#include "game/menus.h"
#include "game/prefs.h"
#include "net/net_session.h"

void DrawMultiplayerMenu()
{
    UpdateButton(gGame.buttons[BtnBack], true);
    if (gGame.buttons[BtnBack].state == 3)
        gGame.state = gGame.state == MultiplayerMenu ? MainMenu : MultiplayerMenu;
}

void UpdateMultiplayerMenu()
{
    AnimateButton(gGame.buttons[BtnBack]);
}

// Without the lobby no session can be open; should one be, a client goes
// back to its own preferences and the multiplayer menu, a host to its lobby.
void LeaveNetworkRace()
{
    if (gNet.role == kRoleClient) {
        gNet.role = kRoleNone;
        LoadPrefs();
        gGame.state = MultiplayerMenu;
    } else {
        gGame.state = HostLobby;
    }
}
