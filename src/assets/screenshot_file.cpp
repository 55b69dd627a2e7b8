// The file side of screenshots: names and the TGA written (no OpenGL).
#include <cerrno>
#include <cstring>

#include "app/appdir.h"
#include "app/config.h"
#include "assets/screenshot.h"
#include "assets/tga_write.h"
#include "platform/sys.h"

void ScreenshotName(int32_t number, char* path, size_t size)
{
    snprintf(path, size, "data/screenshots/%03d.tga", (int)number);
}

// A folder full of numbered files must not hold the game in a long loop.
static const int kMaxSkips = 100000;

FILE* CreateScreenshotFile(char* path, size_t size)
{
    // A game folder installed writable (the install leaves screenshots/
    // out) or emptied by hand has no such folder: made here as the
    // recordings' folder is, so the first picture does not fail.
    char dir[512] = "data/screenshots/";
    if (MakeAbsolutePath(dir, sizeof dir)) {
        dir[strlen(dir) - 1] = 0;  // no trailing "/"
        SysMakeDirectory(dir);
    }
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
