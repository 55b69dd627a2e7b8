// The game's operating-system door: SDL's counter and message boxes.
#include "platform/sys.h"

#include <SDL.h>

#include <cstdio>

uint64_t SysCounter()
{
    return SDL_GetPerformanceCounter();
}

uint64_t SysFrequency()
{
    return SDL_GetPerformanceFrequency();
}

void SysMessageBox(const char* caption, const char* text)
{
    if (!SysDialogsDisabled() &&
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, caption, text, nullptr) == 0)
        return;
    fprintf(stderr, "[%s] %s\n", caption, text);
}
