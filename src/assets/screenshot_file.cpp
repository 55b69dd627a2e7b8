// The file side of screenshots: names and the TGA written (no OpenGL).
#include <cerrno>

#include "app/appdir.h"
#include "app/config.h"
#include "assets/screenshot.h"

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
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535)
        return false;
    const uint8_t header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                (uint8_t)(width & 255), (uint8_t)(width >> 8),
                                (uint8_t)(height & 255), (uint8_t)(height >> 8), 24, 0};
    const size_t bytes = (size_t)width * (size_t)height * 3;
    return fwrite(header, 1, sizeof header, file) == sizeof header &&
           fwrite(bgrPixels, 1, bytes, file) == bytes;
}
