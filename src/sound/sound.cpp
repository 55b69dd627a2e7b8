// The sound wrapper over SDL_mixer.
//
// Samples are Mix_Chunks in a small table; a Sample is its slot + 1.
// SDL_mixer hands out channel numbers 0..31 and reuses a number as soon as
// its sound ends, so a Channel handle also carries the serial number of the
// sound started on that mixer channel: handle = serial * 64 + channel.  A
// handle acts only while its serial is still the channel's current one.
#include "sound/sound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstring>

#include "app/appdir.h"
#include "app/config.h"
#include "app/log.h"
#include "game/prefs.h"

static const int kChannelCount = 32;
static const int kHandleStride = 64;  // > kChannelCount
static const int kMaxSamples = 64;
static const int32_t kMaxSerial = INT32_MAX / kHandleStride - 1;

struct SoundSystem {
    bool on;                           // device open
    Mix_Chunk* chunks[kMaxSamples];    // by Sample - 1
    bool loops[kMaxSamples];           // play with endless loops
    int32_t serials[kChannelCount];    // serial of the sound last started per mixer channel
    int32_t nextSerial;                // 1..kMaxSerial
};

// Per start-up pass: InitSound resets it, ShutdownSound clears it.
static SoundSystem gSound;

bool SoundOn()
{
    return gSound.on;
}

void InitSound()
{
    memset(&gSound, 0, sizeof gSound);
    gSound.nextSerial = 1;
    if (!gConfig.audiodevice)
        return;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        LogMessage("ERROR: Unable to initialize sound");
        return;
    }
    if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        LogMessage("ERROR: Unable to initialize sound");
        return;
    }
    Mix_AllocateChannels(kChannelCount);
    gSound.on = true;
    LogMessage("Initializing sound");
}

void ShutdownSound()
{
    if (!gSound.on)
        return;
    Mix_HaltChannel(-1);
    for (int i = 0; i < kMaxSamples; i++)
        if (gSound.chunks[i])
            Mix_FreeChunk(gSound.chunks[i]);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    memset(&gSound, 0, sizeof gSound);
}

static Mix_Chunk* ChunkOf(Sample sample)
{
    if (sample < 1 || sample > kMaxSamples)
        return nullptr;
    return gSound.chunks[sample - 1];
}

// The mixer channel this handle still owns, or -1.
static int LiveChannel(Channel channel)
{
    if (!gSound.on || channel <= 0)
        return -1;
    int mixer = channel % kHandleStride;
    if (mixer >= kChannelCount || gSound.serials[mixer] != channel / kHandleStride)
        return -1;
    return mixer;
}

void LoadSample(const char* name, Sample* sample, bool loop)
{
    *sample = 0;
    if (!gSound.on)
        return;
    int slot = 0;
    while (slot < kMaxSamples && gSound.chunks[slot])
        slot++;
    char path[256];
    snprintf(path, sizeof path, "%s", name);
    Mix_Chunk* chunk = nullptr;
    if (slot < kMaxSamples && MakeAbsolutePath(path, sizeof path))
        chunk = Mix_LoadWAV(path);
    if (!chunk) {
        LogMessage("ERROR (not found): %s", name);
        ExitProgram();
    }
    gSound.chunks[slot] = chunk;
    gSound.loops[slot] = loop;
    *sample = slot + 1;
    LogMessage("Loading seffect: %s", name);
}

static int MixerVolume(int volume)
{
    if (volume < 0)
        volume = 0;
    if (volume > 255)
        volume = 255;
    return (volume * MIX_MAX_VOLUME + 127) / 255;
}

void PlaySample(Sample sample, Channel* channel, bool restart, bool isEffect)
{
    if (!gSound.on)
        return;
    if (restart || !IsChannelPlaying(*channel)) {
        Mix_Chunk* chunk = ChunkOf(sample);
        int mixer = chunk ? Mix_PlayChannel(-1, chunk, gSound.loops[sample - 1] ? -1 : 0) : -1;
        if (mixer < 0 || mixer >= kChannelCount) {
            if (mixer >= kChannelCount)
                Mix_HaltChannel(mixer);
            *channel = 0;
            return;
        }
        int32_t serial = gSound.nextSerial;
        gSound.nextSerial = serial >= kMaxSerial ? 1 : serial + 1;
        gSound.serials[mixer] = serial;
        *channel = serial * kHandleStride + mixer;
    }
    SetChannelVolume(*channel, isEffect ? gPrefs.soundeffectsvolume : gPrefs.musicvolume);
}

bool IsChannelPlaying(Channel channel)
{
    int mixer = LiveChannel(channel);
    return mixer >= 0 && Mix_Playing(mixer) != 0;
}

void StopChannel(Channel channel)
{
    if (IsChannelPlaying(channel))
        Mix_HaltChannel(LiveChannel(channel));
}

void SetChannelVolume(Channel channel, int volume)
{
    if (IsChannelPlaying(channel))
        Mix_Volume(LiveChannel(channel), MixerVolume(volume));
}

void FreeSample(Sample* sample)
{
    Mix_Chunk* chunk = ChunkOf(*sample);
    if (gSound.on && chunk) {
        Mix_FreeChunk(chunk);  // halts the channels playing it first
        gSound.chunks[*sample - 1] = nullptr;
    }
    *sample = 0;
}
