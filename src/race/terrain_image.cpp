// Heightmap reading: header checks, raw or run-length pixel data, every
// size and length checked against the file before it is used.
#include "race/terrain_image.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/appdir.h"
#include "app/log.h"
#include "assets/tga.h"

static const uint32_t kHeaderSize = 18;
static const int kUncompressedType = 2;

[[noreturn]] static void BadFile(const char* path, FILE* file, uint8_t* a, uint8_t* b)
{
    if (file)
        fclose(file);
    free(a);
    free(b);
    LogMessage("ERROR (bad file): %s", path);
    ExitProgram();
}

bool DecodeRunLength(const uint8_t* bytes, uint32_t size, uint8_t* out, uint32_t byteCount,
                     uint32_t bytesPerPixel)
{
    uint32_t in = 0;
    uint32_t written = 0;
    while (written < byteCount) {
        if (in >= size)
            return false;
        uint8_t header = bytes[in++];
        if (header < 128) {
            uint32_t n = header + 1u;
            for (uint32_t k = 0; k < n && written < byteCount; k++) {
                if (size - in < bytesPerPixel)
                    return false;
                uint32_t copy = byteCount - written < bytesPerPixel ? byteCount - written : bytesPerPixel;
                memcpy(out + written, bytes + in, copy);
                in += bytesPerPixel;
                written += copy;
            }
        } else {
            uint32_t n = header - 127u;
            if (size - in < bytesPerPixel)
                return false;
            const uint8_t* pixel = bytes + in;
            in += bytesPerPixel;
            for (uint32_t k = 0; k < n && written < byteCount; k++) {
                uint32_t copy = byteCount - written < bytesPerPixel ? byteCount - written : bytesPerPixel;
                memcpy(out + written, pixel, copy);
                written += copy;
            }
        }
    }
    return true;
}

void ReadHeightmapImage(const char* path, HeightmapImage* image)
{
    memset(image, 0, sizeof *image);
    FILE* file = OpenDataFile(path, "rb");
    if (!file) {
        LogMessage("ERROR (not found): %s", path);
        ExitProgram();
    }
    uint8_t header[kHeaderSize];
    if (fread(header, 1, kHeaderSize, file) != kHeaderSize)
        BadFile(path, file, nullptr, nullptr);
    uint32_t width = header[12] + 256u * header[13];
    uint32_t height = header[14] + 256u * header[15];
    uint32_t bits = header[16];
    bool rle = TgaIsRunLength(header);
    if (!rle && header[2] != kUncompressedType)
        BadFile(path, file, nullptr, nullptr);
    if (width == 0 || height == 0 || width > kMaxHeightmapSide || height > kMaxHeightmapSide)
        BadFile(path, file, nullptr, nullptr);
    if (bits != 24 && bits != 32)
        BadFile(path, file, nullptr, nullptr);
    uint32_t byteCount = width * height * bits / 8;  // at most 64 MiB: fits
    uint8_t* pixels = (uint8_t*)calloc(byteCount, 1);
    if (!pixels)
        BadFile(path, file, nullptr, nullptr);
    if (!rle) {
        if (fread(pixels, 1, byteCount, file) != byteCount)
            BadFile(path, file, pixels, nullptr);
    } else {
        // A run-length image is never longer than one header byte per pixel
        // plus the pixels themselves.
        uint32_t bytesPerPixel = bits / 8;
        uint32_t limit = byteCount + byteCount / bytesPerPixel;
        uint8_t* packed = (uint8_t*)malloc(limit);
        if (!packed)
            BadFile(path, file, pixels, nullptr);
        uint32_t size = (uint32_t)fread(packed, 1, limit, file);
        if (!DecodeRunLength(packed, size, pixels, byteCount, bytesPerPixel))
            BadFile(path, file, pixels, packed);
        free(packed);
    }
    fclose(file);
    image->pixels = pixels;
    image->byteCount = byteCount;
    image->width = width;
    image->height = height;
    image->bitsPerPixel = bits;
}

void FreeHeightmapImage(HeightmapImage* image)
{
    free(image->pixels);
    image->pixels = nullptr;
    image->byteCount = 0;
}
