// Helpers of the window, sound and text tests: a scratch application folder
// with a window of its own, and small pictures and sounds written on the spot.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace iotest {

// A fresh folder as the application directory (removed at the end), with
// Config set for a window of width x height, and the window itself when
// `window` is set.
class ScratchGame {
public:
    ScratchGame(int width, int height, bool window);
    ~ScratchGame();
    const std::string& path() const { return root; }
    void Write(const std::string& name, const std::string& bytes) const;
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;

private:
    std::string root;
    bool hasWindow;
};

// An uncompressed TGA: `pixels` blue, green, red (and alpha), rows bottom first.
std::string TgaFile(int width, int height, int bits, const std::vector<uint8_t>& pixels);

// A 16-bit mono WAV of `ms` milliseconds of a square wave of `amplitude`
// that turns every `halfPeriod` frames.
std::string WavFile(int ms, uint32_t rate = 22050, int amplitude = 8000, int halfPeriod = 50);

}  // namespace iotest
