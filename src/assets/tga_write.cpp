// TGA writer: header, then raw pixels or run-length packets.
#include "assets/tga_write.h"

#include <cstring>

namespace {

bool SamePixel(const uint8_t* a, const uint8_t* b, int bytesPerPixel) {
  return std::memcmp(a, b, static_cast<size_t>(bytesPerPixel)) == 0;
}

// Packs `count` pixels into packets.  A run packet takes two or more equal
// neighbours (header 128 + n - 1); everything else goes into raw packets
// (header n - 1) that end where the next run of two begins.
bool WriteRunLength(FILE* file, const uint8_t* pixels, size_t count, int bytesPerPixel) {
  size_t at = 0;
  while (at < count) {
    const uint8_t* here = pixels + at * bytesPerPixel;
    size_t run = 1;
    while (run < 128 && at + run < count &&
           SamePixel(here, pixels + (at + run) * bytesPerPixel, bytesPerPixel)) {
      run++;
    }
    if (run >= 2) {
      const uint8_t header = static_cast<uint8_t>(128 + run - 1);
      if (fputc(header, file) == EOF) return false;
      if (fwrite(here, static_cast<size_t>(bytesPerPixel), 1, file) != 1) return false;
      at += run;
      continue;
    }
    size_t raw = 1;
    while (raw < 128 && at + raw < count) {
      const uint8_t* next = pixels + (at + raw) * bytesPerPixel;
      const bool runStarts = at + raw + 1 < count &&
                             SamePixel(next, next + bytesPerPixel, bytesPerPixel);
      if (runStarts) break;
      raw++;
    }
    if (fputc(static_cast<int>(raw - 1), file) == EOF) return false;
    if (fwrite(here, static_cast<size_t>(bytesPerPixel), raw, file) != raw) return false;
    at += raw;
  }
  return true;
}

}  // namespace

bool WriteTga(FILE* file, int width, int height, int bitsPerPixel, const uint8_t* pixels,
              bool runLength) {
  if (file == nullptr || pixels == nullptr) return false;
  if (width < 1 || width > 65535 || height < 1 || height > 65535) return false;
  if (bitsPerPixel != 24 && bitsPerPixel != 32) return false;
  uint8_t header[18] = {0};
  header[2] = runLength ? 10 : 2;
  header[12] = static_cast<uint8_t>(width & 0xFF);
  header[13] = static_cast<uint8_t>(width >> 8);
  header[14] = static_cast<uint8_t>(height & 0xFF);
  header[15] = static_cast<uint8_t>(height >> 8);
  header[16] = static_cast<uint8_t>(bitsPerPixel);
  if (fwrite(header, 1, sizeof header, file) != sizeof header) return false;
  const int bytesPerPixel = bitsPerPixel / 8;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  if (runLength) return WriteRunLength(file, pixels, count, bytesPerPixel);
  return fwrite(pixels, static_cast<size_t>(bytesPerPixel), count, file) == count;
}
