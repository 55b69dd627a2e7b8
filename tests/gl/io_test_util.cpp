#include "io_test_util.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "app/config.h"
#include "platform/window.h"

namespace iotest {

ScratchGame::ScratchGame(int width, int height, bool window) : hasWindow(window)
{
    std::filesystem::create_directories(path() + "data/screenshots");
    memset(&gConfig, 0, sizeof gConfig);
    gConfig.width = width;
    gConfig.height = height;
    gConfig.depth = 32;
    gConfig.zdepth = 16;
    gConfig.frameratelimit = 300;
    gConfig.texturefilter = 2;
    gConfig.audiodevice = 1;
    if (hasWindow && !CreateGameWindow())
        abort();
}

ScratchGame::~ScratchGame()
{
    if (hasWindow)
        DestroyGameWindow();
}

std::string TgaFile(int width, int height, int bits, const std::vector<uint8_t>& pixels)
{
    const char header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                             (char)(width & 255), (char)(width >> 8),
                             (char)(height & 255), (char)(height >> 8), (char)bits, 0};
    return std::string(header, 18) + std::string(pixels.begin(), pixels.end());
}

std::string WavFile(int ms, uint32_t rate, int amplitude, int halfPeriod)
{
    std::string s;
    auto put = [&s](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; i++)
            s += (char)((v >> (8 * i)) & 255);
    };
    const uint32_t frames = rate * (uint32_t)ms / 1000;
    s += "RIFF";
    put(36 + frames * 2, 4);
    s += std::string("WAVEfmt \x10\0\0\0\1\0\1\0", 16);  // PCM, mono
    put(rate, 4);
    put(rate * 2, 4);
    s += std::string("\2\0\x10\0data", 8);
    put(frames * 2, 4);
    for (uint32_t i = 0; i < frames; i++)
        put((uint16_t)(int16_t)((i / (uint32_t)halfPeriod) % 2 ? amplitude : -amplitude), 2);
    return s;
}

}  // namespace iotest
