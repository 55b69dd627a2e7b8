// The mix through SDL's disk audio driver: a burst of loud collision sounds
// over the music and a running engine never reaches full scale, and the
// engine voice really sounds.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <string>

#include "app/config.h"
#include "game/prefs.h"
#include "io_test_util.h"
#include "platform/sys.h"
#include "sound/sound.h"

namespace {

void Put16(std::string& s, uint32_t v)
{
    s += (char)(v & 0xFF);
    s += (char)(v >> 8 & 0xFF);
}

void Put32(std::string& s, uint32_t v)
{
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

// A 44100 Hz mono WAV of `ms` milliseconds: a square wave of `amplitude`.
std::string LoudWav(int ms, int amplitude, int halfPeriod)
{
    const uint32_t frames = 44100u * (uint32_t)ms / 1000u;
    std::string s = "RIFF";
    Put32(s, 36 + frames * 2);
    s += "WAVEfmt ";
    Put32(s, 16);
    Put16(s, 1);
    Put16(s, 1);
    Put32(s, 44100);
    Put32(s, 88200);
    Put16(s, 2);
    Put16(s, 16);
    s += "data";
    Put32(s, frames * 2);
    for (uint32_t i = 0; i < frames; i++)
        Put16(s, (uint16_t)(int16_t)((i / (uint32_t)halfPeriod) % 2 ? amplitude : -amplitude));
    return s;
}

TEST(SoundMix, ACollisionBurstOverMusicAndEngineNeverClips)
{
    iotest::ScratchGame game{320, 240, false};
    const std::string out = game.path() + "mix.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    game.Write("data/seffects/crash.wav", LoudWav(400, 30000, 37));
    game.Write("data/music/race.wav", LoudWav(1000, 26000, 101));
    game.Write("data/seffects/engine.wav", LoudWav(500, 16000, 200));
    gConfig.audiodevice = 1;
    gPrefs.musicvolume = 255;
    gPrefs.soundeffectsvolume = 255;
    InitSound();
    ASSERT_TRUE(SoundOn()) << SDL_GetError();
    Sample crash, music, engine;
    LoadSample("data/seffects/crash.wav", &crash, false);
    LoadSample("data/music/race.wav", &music, true);
    LoadSample("data/seffects/engine.wav", &engine, true);
    Channel musicChannel = 0;
    PlaySample(music, &musicChannel, false, false);
    StartEngineVoice(0, engine);
    ASSERT_TRUE(EngineVoiceRunning(0));
    SetEngineVoice(0, 1.7f, 1.0f, 1.0f, 0.3f);
    SysSleepMs(150);
    // Fifteen cars' worth of collision sounds at once, each at full scale.
    Channel burst[15] = {};
    for (Channel& c : burst)
        PlaySample(crash, &c, true, true);
    SysSleepMs(500);
    StopEngineVoices();
    EXPECT_FALSE(EngineVoiceRunning(0));
    ShutdownSound();
    unsetenv("SDL_DISKAUDIOFILE");
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    const std::string raw = game.Read("mix.raw");
    ASSERT_GT(raw.size(), 44100u);  // over a quarter second of 16-bit stereo
    int peak = 0;
    long long loudFrames = 0;
    for (size_t i = 0; i + 1 < raw.size(); i += 2) {
        const int v = (int16_t)((uint8_t)raw[i] | (uint8_t)raw[i + 1] << 8);
        const int a = v < 0 ? -v : v;
        peak = a > peak ? a : peak;
        loudFrames += a > 8000;
    }
    EXPECT_LE(peak, (int)(0.9f * 32768.0f)) << "the mix reached full scale";
    EXPECT_GT(loudFrames, 1000) << "the burst was not heard";
}

}  // namespace
