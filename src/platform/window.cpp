#include "platform/window.h"

#include <SDL.h>

#include "app/config.h"
#include "app/display_mode.h"
#include "app/log.h"

// Per window: made by CreateGameWindow, cleared by DestroyGameWindow.
static SDL_Window* window;
static SDL_GLContext context;
static bool videoStarted;

// An exact display mode of width x height, or false.
static bool FindDisplayMode(int width, int height, SDL_DisplayMode* found)
{
    int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; i++) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) == 0 && mode.w == width && mode.h == height) {
            *found = mode;
            return true;
        }
    }
    return false;
}

// Starts the video system once per window; false with SDL's reason logged.
static bool StartVideo()
{
    if (videoStarted)
        return true;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        LogMessage("ERROR: Unable to open a display: %s", SDL_GetError());
        return false;
    }
    videoStarted = true;
    return true;
}

// Releases the window and its context, keeping the video system.
static void CloseWindow()
{
    if (context) {
        SDL_GL_MakeCurrent(window, nullptr);
        SDL_GL_DeleteContext(context);
        context = nullptr;
    }
    if (window) {
        SDL_DestroyWindow(window);
        window = nullptr;
    }
}

// The error line of the last mode that could not be had.
static const char* lastFailure = "ERROR: Unable to initialize window";

static bool Failed(const char* line)
{
    lastFailure = line;
    CloseWindow();
    return false;
}

// Makes the window and its context in `m`; false, nothing left open, when
// the display cannot have it.
static bool OpenWindow(const DisplayMode& m)
{
    SDL_DisplayMode mode;
    if (m.fullscreen && !FindDisplayMode(m.width, m.height, &mode))
        return Failed("ERROR: Unable to initialize fullscreen");
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, gConfig.zdepth);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    if (gConfig.depth == 16) {
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 6);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
    } else {
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    }
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (m.fullscreen)
        flags |= SDL_WINDOW_FULLSCREEN;
    window = SDL_CreateWindow("Quibbit", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, m.width, m.height,
                              flags);
    if (!window)
        return Failed("ERROR: Unable to initialize window");
    if (m.fullscreen && SDL_SetWindowDisplayMode(window, &mode) != 0)
        return Failed("ERROR: Unable to initialize fullscreen");
    context = SDL_GL_CreateContext(window);
    if (!context)
        return Failed("ERROR: Unable to initialize renderingcontext");
    if (SDL_GL_MakeCurrent(window, context) != 0)
        return Failed("ERROR: Unable to activate devicecontext & renderingcontext");
    SDL_GL_SetSwapInterval(0);  // the frame clock paces the frames
    SDL_ShowCursor(SDL_DISABLE);
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
    gConfig.width = m.width;
    gConfig.height = m.height;
    gConfig.fullscreen = m.fullscreen;
    LogMessage("Initializing OpenGL");
    return true;
}

DisplayMode GetDesktopMode()
{
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0 || desktop.w <= 0 || desktop.h <= 0)
        return {800, 600, 1};
    return {desktop.w, desktop.h, 1};
}

bool CreateGameWindow()
{
    if (!StartVideo())
        return false;
    const DisplayMode asked = {gConfig.width, gConfig.height, gConfig.fullscreen ? 1 : 0};
    SDL_DisplayMode found;
    DisplayMode plan[3];
    int count = PlanDisplayModes(asked, GetDesktopMode(), FindDisplayMode(asked.width, asked.height, &found), plan);
    char askedText[64], usedText[64];
    DescribeDisplayMode(asked, askedText, sizeof askedText);
    for (int i = 0; i < count; i++) {
        if (!OpenWindow(plan[i]))
            continue;
        if (plan[i].width != asked.width || plan[i].height != asked.height ||
            plan[i].fullscreen != asked.fullscreen) {
            DescribeDisplayMode(plan[i], usedText, sizeof usedText);
            LogMessage("MINOR ERROR (display mode not available): %s [using %s]", askedText, usedText);
        }
        return true;
    }
    DestroyGameWindow();
    LogMessage("%s", lastFailure);
    ExitProgram();
}

bool CreateGameWindowIn(const DisplayMode& mode)
{
    if (!StartVideo())
        return false;
    return OpenWindow(mode);
}

bool ToggleFullscreen()
{
    if (!window)
        return false;
    if (gConfig.fullscreen) {
        if (SDL_SetWindowFullscreen(window, 0) != 0)
            return false;
        SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        gConfig.fullscreen = 0;
        return true;
    }
    SDL_DisplayMode mode;
    if (!FindDisplayMode(gConfig.width, gConfig.height, &mode) || SDL_SetWindowDisplayMode(window, &mode) != 0 ||
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) != 0)
        return false;
    gConfig.fullscreen = 1;
    return true;
}

int ListDisplaySizes(int32_t (*sizes)[2], int max)
{
    int n = 0;
    int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count && n < max; i++) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0)
            continue;
        bool seen = false;
        for (int j = 0; j < n; j++)
            seen = seen || (sizes[j][0] == mode.w && sizes[j][1] == mode.h);
        if (!seen) {
            sizes[n][0] = mode.w;
            sizes[n][1] = mode.h;
            n++;
        }
    }
    return n;
}

void DestroyGameWindow()
{
    SDL_ShowCursor(SDL_ENABLE);
    CloseWindow();
    if (videoStarted) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        videoStarted = false;
    }
}

void SwapGameWindow()
{
    if (window)
        SDL_GL_SwapWindow(window);
}

void WarpCursor(int x, int y)
{
    if (window)
        SDL_WarpMouseInWindow(window, x, y);
}

void* GlFunction(const char* name)
{
    return SDL_GL_GetProcAddress(name);
}
