#include "platform/window.h"

#include <SDL.h>

#include "app/config.h"
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

static void Fail(const char* line)
{
    DestroyGameWindow();
    LogMessage("%s", line);
    ExitProgram();
}

bool CreateGameWindow()
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        LogMessage("ERROR: Unable to register windowclass");
        return false;
    }
    videoStarted = true;
    SDL_DisplayMode mode;
    if (gConfig.fullscreen && !FindDisplayMode(gConfig.width, gConfig.height, &mode)) {
        LogMessage("ERROR: Unable to initialize fullscreen");
        ExitProgram();
    }
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
    if (gConfig.fullscreen)
        flags |= SDL_WINDOW_FULLSCREEN;
    window = SDL_CreateWindow("Quibbit", 0, 0, gConfig.width, gConfig.height, flags);
    if (!window)
        Fail("ERROR: Unable to initialize window");
    if (gConfig.fullscreen && SDL_SetWindowDisplayMode(window, &mode) != 0)
        Fail("ERROR: Unable to initialize fullscreen");
    context = SDL_GL_CreateContext(window);
    if (!context)
        Fail("ERROR: Unable to initialize renderingcontext");
    if (SDL_GL_MakeCurrent(window, context) != 0)
        Fail("ERROR: Unable to activate devicecontext & renderingcontext");
    SDL_GL_SetSwapInterval(0);  // the frame clock paces the frames
    SDL_ShowCursor(SDL_DISABLE);
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
    LogMessage("Initializing OpenGL");
    return true;
}

void DestroyGameWindow()
{
    SDL_ShowCursor(SDL_ENABLE);
    if (context) {
        SDL_GL_MakeCurrent(window, nullptr);
        SDL_GL_DeleteContext(context);
        context = nullptr;
    }
    if (window) {
        SDL_DestroyWindow(window);
        window = nullptr;
    }
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

void GetWindowSize(int* width, int* height)
{
    *width = *height = 0;
    if (window)
        SDL_GetWindowSize(window, width, height);
}
