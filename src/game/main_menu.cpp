// The main menu (states 0 and 15): single race, tournament, multiplayer,
// options, credits and quit.  Quit starts the fade to black (state 15);
// quit pressed again during the fade ends the program at once.
#include "game/menus.h"
#include "sound/sound.h"

static const int kMainButtons[] = {BtnSingleRace, BtnTournament, BtnMultiplayer,
                                   BtnOptions,    BtnCredits,    BtnQuit};

void DrawMainMenu()
{
    for (int id : kMainButtons)
        UpdateButton(gGame.buttons[id], true);
    const MenuButton* b = gGame.buttons;
    if (b[BtnSingleRace].state == 3)
        gGame.state = SingleRaceSetup;
    else if (b[BtnTournament].state == 3)
        gGame.state = TournamentSetup;
    else if (b[BtnMultiplayer].state == 3)
        gGame.state = MultiplayerMenu;
    else if (b[BtnOptions].state == 3)
        gGame.state = OptionsMenu;
    else if (b[BtnCredits].state == 3)
        gGame.state = Credits;
    else if (b[BtnQuit].state == 3) {
        if (gGame.state == QuitFading) {
            StopChannel(gGame.menuChannel);
            gGame.state = Quit;
        } else if (gGame.state != Quit) {
            gGame.state = QuitFading;
        }
    }
}

void UpdateMainMenu()
{
    for (int id : kMainButtons)
        AnimateButton(gGame.buttons[id]);
}
