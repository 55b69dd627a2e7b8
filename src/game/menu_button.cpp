// The one menu element on screen: its mouse logic with the roll-over and
// click sounds, its two-pass drawing, and the shared pieces every menu
// screen draws (background, pointer, dimming quad, value texts).
#include <GL/gl.h>

#include <cstdarg>
#include <cstdio>

#include "app/clock.h"
#include "app/config.h"
#include "game/menu_logic.h"
#include "game/menus.h"
#include "input/devices.h"
#include "input/keymap.h"
#include "input/pads.h"
#include "render/font.h"
#include "render/gl_util.h"
#include "sound/sound.h"

void InitButton(MenuButton& button, const char* picture, float y, int widthPixels, int heightPixels,
                const float hover[3])
{
    ButtonSpec spec = {picture, y, widthPixels, heightPixels, {hover[0], hover[1], hover[2]}};
    SetButtonFromSpec(button, spec);
    char path[256];
    snprintf(path, sizeof path, "data/menu/%s.tga", picture);
    LoadTexture(path, &button.texture);
}

void BeginMenuFrame()
{
    MenuFocus& focus = gGame.focus;
    const uint32_t dpad = 1u << kPadUpButton | 1u << kPadDownButton | 1u << kPadLeftButton | 1u << kPadRightButton;
    const uint32_t again = RepeatHeld(focus.padRepeat, PadButtonsHeld() & dpad, gClock.frameSteps * kStepLength);
    MenuKeys keys;
    keys.up = KeyPressed(kKeyUp) || AnyPadPressed(kPadUpButton) || (again >> kPadUpButton & 1u);
    keys.down = KeyPressed(kKeyDown) || AnyPadPressed(kPadDownButton) || (again >> kPadDownButton & 1u);
    keys.left = KeyPressed(kKeyLeft) || AnyPadPressed(kPadLeftButton) || (again >> kPadLeftButton & 1u);
    keys.right = KeyPressed(kKeyRight) || AnyPadPressed(kPadRightButton) || (again >> kPadRightButton & 1u);
    keys.accept = KeyPressed(kKeyEnter) || AnyPadPressed(kPadThrottleButton);
    // A race holds the cursor at the window's centre: only the menus' own
    // pointer moves count.
    keys.pointerUsed = gGame.state != Race && (gMouse.x != focus.pointerX || gMouse.y != focus.pointerY ||
                                               gMouse.leftPressed || gMouse.rightClicked);
    focus.pointerX = gMouse.x;
    focus.pointerY = gMouse.y;
    if (MenuFocusFrame(focus, gGame.buttons, gGame.state, keys) & kPlayRollover)
        PlaySample(gGame.rolloverSample, &gGame.rolloverChannel, true, true);
}

bool KeysFocusOn(const MenuButton& button)
{
    return HasFocus(gGame.focus, (int32_t)(&button - gGame.buttons));
}

static void PlayClick()
{
    PlaySample(gGame.clickSample, &gGame.clickChannel, false, true);
}

void UpdateButton(MenuButton& button, bool draw)
{
    MenuFocus& focus = gGame.focus;
    const int32_t id = (int32_t)(&button - gGame.buttons);
    NoteButtonShown(focus, id);
    // While the keys drive, the pointer hovers nothing.
    float mx = focus.active ? -1.0f : (float)gMouse.x / (float)gConfig.width;
    float my = focus.active ? -1.0f : (float)gMouse.y / (float)gConfig.height;
    uint32_t sounds = ButtonMouseStep(button, mx, my, LeftDownThisFrame(), gMouse.leftPressed != 0);
    if (sounds & kPlayClick)
        PlayClick();
    if (sounds & kPlayRollover)
        PlaySample(gGame.rolloverSample, &gGame.rolloverChannel, true, true);
    if (sounds & kStopRollover)
        StopChannel(gGame.rolloverChannel);
    if (HasFocus(focus, id)) {
        button.state = 1;
        if (focus.press) {
            button.state = 3;
            PlayClick();
        }
    }
    if (draw)
        DrawButton(button);
}

void UpdateBackButton()
{
    MenuButton& back = gGame.buttons[BtnBack];
    UpdateButton(back, true);
    if (back.state != 3 && BackPressed()) {
        back.state = 3;
        PlayClick();
    }
}

int ClickStep(const MenuButton& button)
{
    if (button.state == 3)
        return 1;
    if (gGame.focus.step != 0 && KeysFocusOn(button)) {
        PlayClick();
        return gGame.focus.step;
    }
    float mx = (float)gMouse.x / (float)gConfig.width;
    float my = (float)gMouse.y / (float)gConfig.height;
    if (gMouse.rightClicked && PointerOverButton(button, mx, my)) {
        PlayClick();
        return -1;
    }
    return 0;
}

// One centred, textured quad of size w x h at (x, y) (unit square).
static void TexturedQuad(float x, float y, float w, float h)
{
    glPushMatrix();
    glTranslatef(x, y, 0.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 1);
    glVertex2f(-w / 2, h / 2);
    glTexCoord2f(0, 0);
    glVertex2f(-w / 2, -h / 2);
    glTexCoord2f(1, 0);
    glVertex2f(w / 2, -h / 2);
    glTexCoord2f(1, 1);
    glVertex2f(w / 2, h / 2);
    glEnd();
    glPopMatrix();
}

// The colour-mask blend of white-on-black pictures: the first pass darkens
// the screen under the picture's white parts, the second adds the picture
// tinted by the colour; black parts leave the screen untouched.
static void MaskedQuad(Texture texture, float x, float y, float w, float h, const float colour[3])
{
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glEnable(GL_BLEND);
    glColor3f(1, 1, 1);
    glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
    TexturedQuad(x, y, w, h);
    glColor3f(colour[0], colour[1], colour[2]);
    glBlendFunc(GL_ONE, GL_ONE);
    TexturedQuad(x, y, w, h);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
}

void DrawButton(const MenuButton& button)
{
    MaskedQuad(button.texture, button.x, button.y, button.w, button.h, button.colour);
}

void DrawPointer()
{
    static const float kWhite[3] = {1, 1, 1};
    if (gGame.focus.active)
        return;  // the keys drive: the focused button shows where they are
    SetOrtho2D(1, 1);
    float x = (float)(gMouse.x + 16) / (float)gConfig.width;
    float y = 1.0f - (float)(gMouse.y + 16) / (float)gConfig.height;
    MaskedQuad(gGame.pointerTexture, x, y, 0.025f, 1.0f / 30.0f, kWhite);
}

void DimScreen()
{
    SetOrtho2D(1, 1);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_SRC_COLOR);
    glColor3f(0.5f, 0.5f, 0.5f);
    FlatQuad(0, 0, 1, 1);
    glDisable(GL_BLEND);
    glColor3f(1, 1, 1);
}

void DrawBackground()
{
    SetOrtho2D(1, 1);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, gGame.backgroundTexture);
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(0, 0);
    glTexCoord2f(1, 0);
    glVertex2f(1, 0);
    glTexCoord2f(1, 1);
    glVertex2f(1, 1);
    glTexCoord2f(0, 1);
    glVertex2f(0, 1);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

void DrawButtonValue(const MenuButton& button, const char* format, ...)
{
    char text[256];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    const float* c = button.colours[0];
    PrintText(gMainFont, button.x + button.w / 2, button.y, c[0], c[1], c[2], 0, 1, 0.015f, "%s", text);
}

void DrawButtonKey(const MenuButton& button, int keyCode)
{
    const float* c = button.colours[0];
    PrintText(gKeyFont, button.x + button.w / 2, button.y, c[0], c[1], c[2], 0, 1, 0.015f, "%c", keyCode);
}
