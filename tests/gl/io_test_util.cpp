#include "io_test_util.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/appdir.h"
#include "app/config.h"
#include "platform/window.h"

namespace iotest {

ScratchGame::ScratchGame(int width, int height, bool window) : hasWindow(window)
{
    char pattern[] = "/tmp/quibbit-gltest.XXXXXX";
    char* made = mkdtemp(pattern);
    root = std::string(made ? made : "/tmp") + "/";
    std::filesystem::create_directories(root + "data/screenshots");
    SetAppDirectory(root.c_str());
    memset(&gConfig, 0, sizeof gConfig);
    gConfig.width = width;
    gConfig.height = height;
    gConfig.depth = 32;
    gConfig.zdepth = 16;
    gConfig.fullscreen = 0;
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
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

void ScratchGame::Write(const std::string& name, const std::string& bytes) const
{
    std::filesystem::path file(root + name);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << bytes;
}

std::string ScratchGame::Read(const std::string& name) const
{
    std::ifstream in(root + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool ScratchGame::Exists(const std::string& name) const
{
    return std::filesystem::exists(root + name);
}

std::string TgaFile(int width, int height, int bits, const std::vector<uint8_t>& pixels)
{
    const char header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                             (char)(width & 255), (char)(width >> 8),
                             (char)(height & 255), (char)(height >> 8), (char)bits, 0};
    return std::string(header, 18) + std::string(pixels.begin(), pixels.end());
}

static void Put32(std::string& s, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        s += (char)((v >> (8 * i)) & 255);
}

static void Put16(std::string& s, uint16_t v)
{
    s += (char)(v & 255);
    s += (char)(v >> 8);
}

std::string WavFile(int ms)
{
    const uint32_t rate = 22050;
    const uint32_t frames = rate * (uint32_t)ms / 1000;
    std::string s = "RIFF";
    Put32(s, 36 + frames * 2);
    s += "WAVEfmt ";
    Put32(s, 16);
    Put16(s, 1);         // PCM
    Put16(s, 1);         // mono
    Put32(s, rate);
    Put32(s, rate * 2);  // bytes per second
    Put16(s, 2);         // block
    Put16(s, 16);        // bits
    s += "data";
    Put32(s, frames * 2);
    for (uint32_t i = 0; i < frames; i++)
        Put16(s, (i / 50) % 2 ? 8000 : (uint16_t)-8000);
    return s;
}

}  // namespace iotest
