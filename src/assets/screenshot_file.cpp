// The file side of screenshots: names and the TGA written (no OpenGL).
#include <cerrno>

#include "app/appdir.h"
#include "app/config.h"
#include "assets/screenshot.h"
#include "assets/tga_write.h"

void ScreenshotName(int32_t number, char* path, size_t size)
{
    snprintf(path, size, "data/screenshots/%03d.tga", (int)number);
}

// A folder full of numbered files must not hold the game in a long loop.
static const int kMaxSkips = 100000;

FILE* CreateScreenshotFile(char* path, size_t size)
{
    for (int tries = 0; tries <= kMaxSkips; tries++) {
        if (gConfig.screenshotCount < 0)
            gConfig.screenshotCount = 0;
        ScreenshotName(gConfig.screenshotCount, path, size);
        gConfig.screenshotCount++;
        errno = 0;
        // "x": fails with EEXIST instead of replacing a file of that name.
        FILE* file = OpenDataFile(path, "wbx");
        if (file)
            return file;
        if (errno != EEXIST)
            return nullptr;
    }
    return nullptr;
}

bool WriteScreenshotTga(FILE* file, int width, int height, const uint8_t* bgrPixels)
{
    return WriteTga(file, width, height, 24, bgrPixels, false);
}
