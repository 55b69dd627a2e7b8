/* Measuring aid for scripts/quality_figures.sh, loaded into the game with
 * LD_PRELOAD: notes the wall and process CPU time of every buffer swap and,
 * when the game ends, writes to $QB_FRAME_REPORT the frames per second and
 * the share of one core used (all the game's threads, the software
 * renderer's included) over the last $QB_FRAME_WINDOW seconds (20 by
 * default) before the last swap.  The game itself is not changed. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#define MAX_FRAMES 1000000

static double wall[MAX_FRAMES];
static double cpu[MAX_FRAMES];
static long frames;

static double Now(clockid_t clock)
{
    struct timespec t;
    clock_gettime(clock, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

void SDL_GL_SwapWindow(void* window)
{
    static void (*real)(void*);
    if (!real)
        real = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    real(window);
    if (frames < MAX_FRAMES) {
        wall[frames] = Now(CLOCK_MONOTONIC);
        cpu[frames] = Now(CLOCK_PROCESS_CPUTIME_ID);
        frames++;
    }
}

__attribute__((destructor)) static void Report(void)
{
    const char* path = getenv("QB_FRAME_REPORT");
    const char* window = getenv("QB_FRAME_WINDOW");
    double span = window ? atof(window) : 20.0;
    /* Processes that drew nothing (/usr/bin/time around the game) leave the
     * report alone. */
    if (!path || frames < 2)
        return;
    FILE* out = fopen(path, "w");
    if (!out)
        return;
    long last = frames - 1, first = last;
    while (first > 0 && wall[last] - wall[first - 1] <= span)
        first--;
    double seconds = wall[last] - wall[first];
    fprintf(out, "frames %ld\n", frames);
    fprintf(out, "window %.2f\n", seconds);
    fprintf(out, "fps %.2f\n", seconds > 0 ? (double)(last - first) / seconds : 0.0);
    fprintf(out, "cpu %.4f\n", seconds > 0 ? (cpu[last] - cpu[first]) / seconds : 0.0);
    fclose(out);
}
