// The sound wrapper under SDL's dummy audio driver: sound off, a device
// that cannot be opened, missing files, channels that finish and are reused
// by another sound, volumes, loops, restarts and shut-down.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdlib>
#include <string>

#include "app/config.h"
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

bool WaitUntilSilent(Channel channel, int ms)
{
    for (int waited = 0; waited < ms; waited += 10) {
        if (!IsChannelPlaying(channel))
            return true;
        SysSleepMs(10);
    }
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

TEST_F(SoundTest, WithSoundOffNothingIsLoadedOrPlayed)
{
    gConfig.audiodevice = 0;
    InitSound();
    EXPECT_FALSE(SoundOn());
    Sample sample = 5;
    LoadSample("data/music/missing.wav", &sample, false);  // no file needed
    EXPECT_EQ(sample, 0);
    Channel channel = 0;
    PlaySample(sample, &channel, true, false);
    EXPECT_EQ(channel, 0);
    EXPECT_FALSE(IsChannelPlaying(channel));
    EXPECT_EQ(game.Read("log.txt"), "");
}

TEST_F(SoundTest, ADeviceThatCannotOpenLeavesTheGameSilent)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    InitSound();
    EXPECT_FALSE(SoundOn());
    EXPECT_EQ(game.Read("log.txt"), "ERROR: Unable to initialize sound\n");
    EXPECT_EQ(gConfig.audiodevice, 1);  // not switched off for good
    Sample sample = 0;
    LoadSample("data/music/missing.wav", &sample, false);
    EXPECT_EQ(sample, 0);
}

TEST_F(SoundTest, AMissingFileEndsTheProgram)
{
    // The mixer runs a thread: the child process starts afresh.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    InitSound();
    ASSERT_TRUE(SoundOn());
    EXPECT_EXIT(
        {
            Sample sample;
            LoadSample("data/music/missing.wav", &sample, true);
        },
        testing::ExitedWithCode(1), "ERROR \\(not found\\): data/music/missing.wav");
}

TEST_F(SoundTest, ASamplePlaysAndEnds)
{
    InitSound();
    ASSERT_TRUE(SoundOn());
    Sample sample = 0;
    LoadSample("data/seffects/short.wav", &sample, false);
    EXPECT_NE(sample, 0);
    EXPECT_EQ(game.Read("log.txt"),
              "Initializing sound\nLoading seffect: data/seffects/short.wav\n");
    Channel channel = 0;
    PlaySample(sample, &channel, false, true);
    EXPECT_NE(channel, 0);
    EXPECT_TRUE(IsChannelPlaying(channel));
    EXPECT_TRUE(WaitUntilSilent(channel, 3000));
}

TEST_F(SoundTest, AnOldHandleLeavesTheNextSoundOnItsChannelAlone)
{
    InitSound();
    Sample shortSample, music;
    LoadSample("data/seffects/short.wav", &shortSample, false);
    LoadSample("data/music/long.wav", &music, true);
    Channel old = 0;
    PlaySample(shortSample, &old, false, true);
    ASSERT_TRUE(WaitUntilSilent(old, 3000));
    gPrefs.musicvolume = 100;
    Channel current = 0;
    PlaySample(music, &current, false, false);
    // SDL_mixer hands out the lowest free channel: the one the old sound had.
    ASSERT_EQ(MixerChannel(current), MixerChannel(old));
    ASSERT_NE(current, old);
    const int mixer = MixerChannel(current);
    const int volume = Mix_Volume(mixer, -1);
    EXPECT_FALSE(IsChannelPlaying(old));
    StopChannel(old);
    SetChannelVolume(old, 0);
    EXPECT_TRUE(IsChannelPlaying(current));
    EXPECT_EQ(Mix_Volume(mixer, -1), volume);
    // Played again without restart, the old handle starts a new sound
    // elsewhere instead of taking over the music.
    PlaySample(shortSample, &old, false, true);
    EXPECT_NE(MixerChannel(old), mixer);
    EXPECT_TRUE(IsChannelPlaying(old));
    EXPECT_TRUE(IsChannelPlaying(current));
    StopChannel(current);
    EXPECT_FALSE(IsChannelPlaying(current));
    EXPECT_TRUE(IsChannelPlaying(old));
}

TEST_F(SoundTest, VolumesApplyToThePlayingSample)
{
    InitSound();
    Sample music, effect;
    LoadSample("data/music/long.wav", &music, true);
    LoadSample("data/seffects/short.wav", &effect, false);
    Channel channel = 0;
    PlaySample(music, &channel, false, false);
    const Channel first = channel;
    const int mixer = MixerChannel(channel);
    EXPECT_EQ(Mix_Volume(mixer, -1), 128);  // 255 of 255
    gPrefs.musicvolume = 64;                // 64 * 128 / 255 = 32.1
    PlaySample(music, &channel, false, false);
    EXPECT_EQ(channel, first);              // the same instance
    EXPECT_EQ(Mix_Volume(mixer, -1), 32);
    gPrefs.musicvolume = 0;
    PlaySample(music, &channel, false, false);
    EXPECT_EQ(Mix_Volume(mixer, -1), 0);
    SetChannelVolume(channel, 400);         // held to 255
    EXPECT_EQ(Mix_Volume(mixer, -1), 128);
    gPrefs.soundeffectsvolume = 128;        // 64.25
    Channel effectChannel = 0;
    PlaySample(effect, &effectChannel, false, true);
    EXPECT_EQ(Mix_Volume(MixerChannel(effectChannel), -1), 64);
}

TEST_F(SoundTest, LoopsRestartsAndFreeing)
{
    InitSound();
    Sample looped, once;
    LoadSample("data/seffects/short.wav", &looped, true);
    LoadSample("data/seffects/short.wav", &once, false);
    Channel loopChannel = 0, onceChannel = 0;
    PlaySample(looped, &loopChannel, false, true);
    PlaySample(once, &onceChannel, false, true);
    EXPECT_TRUE(WaitUntilSilent(onceChannel, 3000));
    SysSleepMs(250);  // more than twice the sample's length
    EXPECT_TRUE(IsChannelPlaying(loopChannel));

    // A restart starts a second instance; the first plays on.
    Channel second = loopChannel;
    PlaySample(looped, &second, true, true);
    EXPECT_NE(second, loopChannel);
    EXPECT_TRUE(IsChannelPlaying(second));
    EXPECT_TRUE(IsChannelPlaying(loopChannel));

    // Freeing the sample stops both.
    FreeSample(&looped);
    EXPECT_EQ(looped, 0);
    EXPECT_FALSE(IsChannelPlaying(second));
    EXPECT_FALSE(IsChannelPlaying(loopChannel));
}

TEST_F(SoundTest, ShutDownSilencesEveryHandle)
{
    InitSound();
    Sample music;
    LoadSample("data/music/long.wav", &music, true);
    Channel channel = 0;
    PlaySample(music, &channel, false, false);
    ASSERT_TRUE(IsChannelPlaying(channel));
    ShutdownSound();
    EXPECT_FALSE(SoundOn());
    EXPECT_FALSE(IsChannelPlaying(channel));
    // A second pass opens the device again.
    InitSound();
    EXPECT_TRUE(SoundOn());
    EXPECT_FALSE(IsChannelPlaying(channel));
}

}  // namespace
