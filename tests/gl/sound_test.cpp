// The sound wrapper under SDL's dummy and disk audio drivers: channels
// reused by another sound, loops, restarts, shut-down, and a loud mix that never
// reaches full scale.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdlib>
#include <string>

#include "game/prefs.h"
#include "io_test_util.h"
#include "platform/sys.h"
#include "sound/sound.h"

namespace {

// The mixer channel behind a handle (handle = serial * 64 + channel).
int MixerChannel(Channel channel)
{
    return channel % 64;
}

bool WaitUntilSilent(Channel channel)
{
    for (int waited = 0; waited < 3000 && IsChannelPlaying(channel); waited += 10)
        SysSleepMs(10);
    return !IsChannelPlaying(channel);
}

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        game.Write("data/seffects/short.wav", iotest::WavFile(100));
        game.Write("data/music/long.wav", iotest::WavFile(400));
        gPrefs.musicvolume = 255;
        gPrefs.soundeffectsvolume = 255;
    }
    void TearDown() override { ShutdownSound(); }
    iotest::ScratchGame game{320, 240, false};
};

TEST_F(SoundTest, AnOldHandleLeavesTheNextSoundOnItsChannelAlone)
{
    InitSound();
    Sample shortSample, music;
    LoadSample("data/seffects/short.wav", &shortSample, false);
    LoadSample("data/music/long.wav", &music, true);
    Channel old = 0;
    PlaySample(shortSample, &old, false, true);
    ASSERT_TRUE(WaitUntilSilent(old));
    Channel current = 0;
    PlaySample(music, &current, false, false);
    // SDL_mixer hands out the lowest free channel: the one the old sound had.
    ASSERT_EQ(MixerChannel(current), MixerChannel(old));
    ASSERT_NE(current, old);
    StopChannel(old);
    SetChannelVolume(old, 0);
    EXPECT_TRUE(IsChannelPlaying(current));
    EXPECT_EQ(Mix_Volume(MixerChannel(current), -1), 128);
    // Played again without restart, the old handle starts a new sound
    // elsewhere instead of taking over the music.
    PlaySample(shortSample, &old, false, true);
    EXPECT_NE(MixerChannel(old), MixerChannel(current));
    StopChannel(current);
    EXPECT_FALSE(IsChannelPlaying(current));
    EXPECT_TRUE(IsChannelPlaying(old));
}

TEST_F(SoundTest, LoopsRestartsFreeingAndShutDown)
{
    InitSound();
    Sample looped, once, music;
    LoadSample("data/seffects/short.wav", &looped, true);
    LoadSample("data/seffects/short.wav", &once, false);
    LoadSample("data/music/long.wav", &music, true);
    Channel loopChannel = 0, onceChannel = 0, musicChannel = 0;
    PlaySample(looped, &loopChannel, false, true);
    PlaySample(once, &onceChannel, false, true);
    EXPECT_TRUE(WaitUntilSilent(onceChannel));
    SysSleepMs(250);  // more than twice the sample's length
    EXPECT_TRUE(IsChannelPlaying(loopChannel));
    // A restart starts a second instance; the first plays on.
    Channel second = loopChannel;
    PlaySample(looped, &second, true, true);
    EXPECT_NE(second, loopChannel);
    EXPECT_TRUE(IsChannelPlaying(second) && IsChannelPlaying(loopChannel));
    FreeSample(&looped);  // stops both
    EXPECT_FALSE(IsChannelPlaying(second) || IsChannelPlaying(loopChannel));
    PlaySample(music, &musicChannel, false, false);
    ShutdownSound();
    InitSound();  // a second pass opens the device again
    EXPECT_TRUE(SoundOn());
    EXPECT_FALSE(IsChannelPlaying(musicChannel));
}

TEST_F(SoundTest, ACollisionBurstOverMusicAndEngineNeverClips)
{
    const std::string out = game.path() + "mix.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    game.Write("data/seffects/crash.wav", iotest::WavFile(400, 44100, 30000, 37));
    game.Write("data/music/race.wav", iotest::WavFile(1000, 44100, 26000, 101));
    game.Write("data/seffects/engine.wav", iotest::WavFile(500, 44100, 16000, 200));
    InitSound();
    ASSERT_TRUE(SoundOn()) << SDL_GetError();
    Sample crash, music, engine;
    LoadSample("data/seffects/crash.wav", &crash, false);
    LoadSample("data/music/race.wav", &music, true);
    LoadSample("data/seffects/engine.wav", &engine, true);
    Channel musicChannel = 0;
    PlaySample(music, &musicChannel, false, false);
    StartEngineVoice(0, engine);
    SetEngineVoice(0, 1.7f, 1.0f, 1.0f, 0.3f);
    SysSleepMs(150);
    Channel burst[15] = {};  // fifteen cars' collisions at once, each at full scale
    for (Channel& c : burst)
        PlaySample(crash, &c, true, true);
    SysSleepMs(500);
    StopEngineVoices();
    ShutdownSound();
    unsetenv("SDL_DISKAUDIOFILE");
    const std::string raw = game.Read("mix.raw");
    ASSERT_GT(raw.size(), 44100u);  // over a quarter second of 16-bit stereo
    int peak = 0;
    long long loudFrames = 0;
    for (size_t i = 0; i + 1 < raw.size(); i += 2) {
        const int v = std::abs((int)(int16_t)((uint8_t)raw[i] | (uint8_t)raw[i + 1] << 8));
        peak = std::max(peak, v);
        loudFrames += v > 8000;
    }
    EXPECT_LE(peak, (int)(0.9f * 32768.0f)) << "the mix reached full scale";
    EXPECT_GT(loudFrames, 1000) << "the burst was not heard";
}

}  // namespace
