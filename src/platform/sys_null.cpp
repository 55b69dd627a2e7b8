// Headless operating-system door: tests, the simulator and the benchmarks.
// Message boxes go to standard error; the clock is the monotonic clock.
#include "platform/sys.h"

#include <time.h>

#include <cstdio>

uint64_t SysCounter()
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (uint64_t)t.tv_sec * 1000000000ull + (uint64_t)t.tv_nsec;
}

uint64_t SysFrequency()
{
    return 1000000000ull;
}

void SysMessageBox(const char* caption, const char* text)
{
    fprintf(stderr, "[%s] %s\n", caption, text);
}
