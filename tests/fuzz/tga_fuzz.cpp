// Texture pictures from arbitrary bytes: the whole reader on a file, and the
// run-length decoder on its own into a buffer of a size the input chooses.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/appdir.h"
#include "assets/tga.h"
#include "fuzz_targets.h"

// Larger pictures are decoded too, but only through DecodeTgaRle below: a
// full-size 8192 x 8192 picture per input would leave the fuzzer crawling.
static const uint32_t kMaxFuzzPixels = 1024 * 1024;

struct TgaRun {
    const char* path;
    TgaImage image;
};

static void ReadIt(void* context)
{
    TgaRun* run = (TgaRun*)context;
    ReadTgaImage(run->path, &run->image);
}

static void CheckImage(const TgaImage& image)
{
    if (image.width < 1 || image.width > kTgaMaxSide || image.height < 1 || image.height > kTgaMaxSide)
        FuzzFail("tga side out of range");
    if (image.bitsPerPixel != 24 && image.bitsPerPixel != 32)
        FuzzFail("tga depth");
    if ((uint64_t)image.byteCount != (uint64_t)image.width * image.height * (image.bitsPerPixel / 8))
        FuzzFail("tga byte count");
    if (!image.pixels)
        FuzzFail("tga pixels missing");
    // Every byte is there to read (AddressSanitizer checks the reads).
    unsigned sum = 0;
    for (uint32_t i = 0; i < image.byteCount; i += 997)
        sum += image.pixels[i];
    sum += image.pixels[image.byteCount - 1];
    (void)sum;
}

static void DecodeOnly(const uint8_t* data, size_t size)
{
    if (size < 3)
        return;
    const uint32_t bits = (data[0] & 1) ? 32 : 24;
    const uint32_t byteCount = (uint32_t)data[1] + 256u * data[2];  // up to 64 KiB, not always whole pixels
    uint8_t* buffer = (uint8_t*)malloc(byteCount + 1);
    if (!buffer)
        return;
    memset(buffer, 0xab, byteCount + 1);
    FILE* file = fmemopen((void*)(data + 3), size - 3, "rb");
    if (file) {
        DecodeTgaRle(file, buffer, byteCount, bits);
        fclose(file);
    }
    if (buffer[byteCount] != 0xab)
        FuzzFail("tga run-length decoder wrote past its buffer");
    free(buffer);
}

int FuzzTga(const uint8_t* data, size_t size)
{
    DecodeOnly(data, size);
    if (size >= 18) {
        const uint32_t width = data[12] + 256u * data[13];
        const uint32_t height = data[14] + 256u * data[15];
        if ((uint64_t)width * height > kMaxFuzzPixels)
            return 0;
    }
    const std::string dir = FuzzScratchDir();
    SetAppDirectory(dir.c_str());
    FuzzWriteFile((dir + "data/fuzz.tga").c_str(), data, size);
    TgaRun run = {"data/fuzz.tga", {}};
    if (!RunTrappingExit(ReadIt, &run)) {
        CheckImage(run.image);
        FreeTgaImage(&run.image);
        if (run.image.pixels)
            FuzzFail("tga pixels kept after FreeTgaImage");
    }
    remove((dir + "log.txt").c_str());
    return 0;
}
