// Helpers of the window, sound and text tests: a scratch application folder
// with a window of its own, and small pictures and sounds written on the spot.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "../unit/test_util.h"

namespace iotest {

// A fresh folder as the application directory (removed at the end), with
// data/screenshots, Config set for a window of width x height, and the
// window itself when `window` is set.
class ScratchGame : public ScratchAppDir {
public:
    ScratchGame(int width, int height, bool window);
    ~ScratchGame();

private:
    bool hasWindow;
};

// An uncompressed TGA: `pixels` blue, green, red (and alpha), rows bottom first.
std::string TgaFile(int width, int height, int bits, const std::vector<uint8_t>& pixels);

// A 16-bit mono WAV of `ms` milliseconds of a square wave of `amplitude`
// that turns every `halfPeriod` frames.
std::string WavFile(int ms, uint32_t rate = 22050, int amplitude = 8000, int halfPeriod = 50);

}  // namespace iotest
