// Screenshots: the window as numbered uncompressed 24-bit TGA files under
// "data/screenshots/" (000.tga, 001.tga, ..., 999.tga, 1000.tga, ...).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Writes the whole window (the frame just drawn, before the swap) to the
// next free name and logs "Saving: %s"; tells the clock not to measure this
// slow frame.  A file that cannot be created logs
// "ERROR (unable to write file): %s" and the game goes on.
void SaveScreenshot();

// "data/screenshots/" + `number` with at least three digits + ".tga".
void ScreenshotName(int32_t number, char* path, size_t size);

// Creates the screenshot file with the first number from
// Config::screenshotCount on whose name is not taken: an existing file is
// never overwritten; the screenshots folder is made when missing.  The
// counter moves past the number tried last, also when creating fails.  `path` receives that name; null when it failed.
FILE* CreateScreenshotFile(char* path, size_t size);

// The 18-byte header of an uncompressed 24-bit TGA and the pixels (blue,
// green, red, rows bottom first); false when a write fails.
bool WriteScreenshotTga(FILE* file, int width, int height, const uint8_t* bgrPixels);
