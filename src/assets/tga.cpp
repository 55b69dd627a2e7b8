#include "assets/tga.h"

#include <cstdlib>
#include <cstring>

#include "app/appdir.h"
#include "app/log.h"

bool TgaIsRunLength(const uint8_t* header)
{
    static const uint8_t kRunLengthStart[8] = {0, 0, 10, 0, 0, 0, 0, 0};
    return memcmp(header, kRunLengthStart, sizeof kRunLengthStart) == 0;
}

bool DecodeTgaRle(FILE* file, uint8_t* buffer, uint32_t byteCount, uint32_t bitsPerPixel)
{
    const uint32_t bytesPerPixel = bitsPerPixel / 8;
    if (bytesPerPixel < 3 || bytesPerPixel > 4)
        return false;
    uint8_t pixel[4];
    uint32_t written = 0;  // bytes
    const uint32_t full = byteCount - byteCount % bytesPerPixel;
    while (written < full) {
        int header = fgetc(file);
        if (header == EOF)
            return false;
        if (header < 128) {
            for (int n = header + 1; n > 0; n--) {
                if (fread(pixel, 1, bytesPerPixel, file) != bytesPerPixel)
                    return false;
                if (written < full) {
                    memcpy(buffer + written, pixel, bytesPerPixel);
                    written += bytesPerPixel;
                }
            }
        } else {
            if (fread(pixel, 1, bytesPerPixel, file) != bytesPerPixel)
                return false;
            for (int n = header - 127; n > 0 && written < full; n--) {
                memcpy(buffer + written, pixel, bytesPerPixel);
                written += bytesPerPixel;
            }
        }
    }
    return true;
}

[[noreturn]] static void BadFile(FILE* file, const char* path)
{
    if (file)
        fclose(file);
    LogMessage("ERROR (bad file): %s", path);
    ExitProgram();
}

void ReadTgaImage(const char* path, TgaImage* image)
{
    FILE* file = OpenDataFile(path, "rb");
    if (!file) {
        LogMessage("ERROR (not found): %s", path);
        ExitProgram();
    }
    // A header cut short reads as zeros and is refused by its size below.
    uint8_t signature[12] = {0};
    uint8_t size[6] = {0};
    if (fread(signature, 1, sizeof signature, file) == sizeof signature)
        if (fread(size, 1, sizeof size, file) != sizeof size)
            memset(size, 0, sizeof size);
    const uint32_t width = size[0] + 256u * size[1];
    const uint32_t height = size[2] + 256u * size[3];
    const uint32_t bitsPerPixel = size[4];
    if (width == 0 || height == 0 || width > kTgaMaxSide || height > kTgaMaxSide ||
        (bitsPerPixel != 24 && bitsPerPixel != 32))
        BadFile(file, path);
    // At most 8192 * 8192 * 4 bytes: fits 32 bits.
    const uint32_t bytesPerPixel = bitsPerPixel / 8;
    const uint32_t byteCount = width * height * bytesPerPixel;
    uint8_t* pixels = (uint8_t*)calloc(byteCount, 1);
    if (!pixels)
        BadFile(file, path);
    // Anything but a run-length header is read as raw pixels from byte 18
    // on; a short file or a decoder that runs dry leaves zeros behind.
    if (TgaIsRunLength(signature))
        DecodeTgaRle(file, pixels, byteCount, bitsPerPixel);
    else
        fread(pixels, 1, byteCount, file);
    fclose(file);
    for (uint32_t i = 0; i < byteCount; i += bytesPerPixel) {
        uint8_t blue = pixels[i];
        pixels[i] = pixels[i + 2];
        pixels[i + 2] = blue;
    }
    image->width = width;
    image->height = height;
    image->bitsPerPixel = bitsPerPixel;
    image->byteCount = byteCount;
    image->pixels = pixels;
}

void FreeTgaImage(TgaImage* image)
{
    free(image->pixels);
    image->pixels = nullptr;
    image->byteCount = 0;
}
