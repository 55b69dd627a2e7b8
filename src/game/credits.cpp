// The credits (state 13): five centred lines above the back button, the
// same names the log's header carries.
#include "app/log.h"
#include "game/menus.h"
#include "render/font.h"

void DrawCredits()
{
    UpdateBackButton();
    PrintText(gMainFont, 0.5f, 0.65f, 1, 1, 1, 1, 1, 0.015f, "%s %s", kProgramName, kProgramVersion);
    PrintText(gMainFont, 0.5f, 0.6f, 1, 1, 1, 1, 1, 0.015f, "a game by");
    PrintText(gMainFont, 0.5f, 0.55f, 1, 1, 1, 1, 1, 0.015f, "%s", kAuthorName);
    PrintText(gMainFont, 0.5f, 0.51f, 1, 1, 1, 1, 1, 0.01f, "%s", kAuthorMail);
    PrintText(gMainFont, 0.5f, 0.47f, 1, 1, 1, 1, 1, 0.01f, "%s", kAuthorWeb);
    if (gGame.buttons[BtnBack].state == 3)
        gGame.state = MainMenu;
}

void UpdateCredits()
{
    AnimateButton(gGame.buttons[BtnBack]);
}
