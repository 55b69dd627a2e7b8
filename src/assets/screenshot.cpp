#include "assets/screenshot.h"

#include <GL/gl.h>

#include <cstdlib>

#include "app/clock.h"
#include "app/log.h"

#ifndef GL_BGR_EXT
#define GL_BGR_EXT 0x80E0
#endif

void SaveScreenshot()
{
    gClock.measureNext = 0;
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int width = viewport[2], height = viewport[3];
    if (width <= 0 || height <= 0)
        return;
    uint8_t* pixels = (uint8_t*)malloc((size_t)width * (size_t)height * 3);
    if (!pixels)
        return;
    // Bottom row first and blue, green, red: exactly a 24-bit TGA's order.
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_BGR_EXT, GL_UNSIGNED_BYTE, pixels);
    char path[256];
    FILE* file = CreateScreenshotFile(path, sizeof path);
    if (!file) {
        LogMessage("ERROR (unable to write file): %s", path);
        free(pixels);
        return;
    }
    bool written = WriteScreenshotTga(file, width, height, pixels);
    written = fclose(file) == 0 && written;
    free(pixels);
    if (!written)
        LogMessage("ERROR (unable to write file): %s", path);
    else
        LogMessage("Saving: %s", path);
}
