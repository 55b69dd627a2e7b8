// The menus' assets of one start-up pass: pointer and background pictures,
// the buttons, the menu music and the two menu effects (the race music is
// read when a race first plays it).  A rebuild of the shell (state 14)
// frees them all and loads them again.
#include "app/config.h"
#include "game/menu_logic.h"
#include "game/menus.h"
#include "sound/sound.h"

void LoadMenuAssets()
{
    gGame.state = MainMenu;
    gGame.pendingWidth = gConfig.width;
    gGame.pendingHeight = gConfig.height;
    gGame.pendingDepth = gConfig.depth;
    gGame.pendingFullscreen = gConfig.fullscreen;
    LoadTexture("data/textures/mouse.tga", &gGame.pointerTexture);
    LoadTexture("data/bg/menu.tga", &gGame.backgroundTexture);
    gGame.escapeLatch = 0;
    gGame.tournament = 0;
    gGame.selectedPlayer = 0;
    for (int i = 0; i < kButtonCount; i++) {
        const ButtonSpec& spec = kButtonTable[i];
        InitButton(gGame.buttons[i], spec.picture, spec.y, spec.widthPixels, spec.heightPixels, spec.hover);
    }
    gGame.fade = 0.0f;
    gGame.menuChannel = gGame.raceChannel = 0;
    gGame.rolloverChannel = gGame.clickChannel = 0;
    LoadSample("data/music/menu.wav", &gGame.menuMusic, true);
    gGame.raceMusic = 0;
    LoadSample("data/seffects/r.wav", &gGame.rolloverSample, false);
    LoadSample("data/seffects/c.wav", &gGame.clickSample, false);
}

void FreeMenuAssets()
{
    DeleteTexture(&gGame.pointerTexture);
    DeleteTexture(&gGame.backgroundTexture);
    for (MenuButton& button : gGame.buttons)
        DeleteTexture(&button.texture);
    Channel* channels[4] = {&gGame.menuChannel, &gGame.raceChannel, &gGame.rolloverChannel,
                            &gGame.clickChannel};
    for (Channel* channel : channels) {
        StopChannel(*channel);
        *channel = 0;
    }
    FreeSample(&gGame.menuMusic);
    FreeSample(&gGame.raceMusic);
    FreeSample(&gGame.rolloverSample);
    FreeSample(&gGame.clickSample);
}

void HoverStartButton()
{
    MenuButton& first = gGame.buttons[BtnSingleRace];
    first.hovering = 1;
    first.state = 1;
}
