// The credits (state 13): five centred lines above the back button.
#include "game/menus.h"
#include "render/font.h"

void DrawCredits()
{
    UpdateButton(gGame.buttons[BtnBack], true);
    PrintText(gMainFont, 0.5f, 0.65f, 1, 1, 1, 1, 1, 0.015f, "%s %s", "Quibbit", "v1.0");
    PrintText(gMainFont, 0.5f, 0.6f, 1, 1, 1, 1, 1, 0.015f, "a game by");
    PrintText(gMainFont, 0.5f, 0.55f, 1, 1, 1, 1, 1, 0.015f, "The Quibbit Team");
    PrintText(gMainFont, 0.5f, 0.51f, 1, 1, 1, 1, 1, 0.01f, "team@quibbit.example.org");
    PrintText(gMainFont, 0.5f, 0.47f, 1, 1, 1, 1, 1, 0.01f, "www.quibbit.example.org");
    if (gGame.buttons[BtnBack].state == 3)
        gGame.state = MainMenu;
}

void UpdateCredits()
{
    AnimateButton(gGame.buttons[BtnBack]);
}
