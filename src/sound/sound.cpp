// The sound wrapper over SDL_mixer.
//
// Samples are Mix_Chunks in a small table; a Sample is its slot + 1.
// SDL_mixer hands out channel numbers 0..31 and reuses a number as soon as
// its sound ends, so a Channel handle also carries the serial number of the
// sound started on that mixer channel: handle = serial * 64 + channel.  A
// handle acts only while its serial is still the channel's current one.
//
// Headroom: every channel's volume is the one asked for, times one factor
// shared by all, so that the playing sounds' peaks can never add up to more
// than kMixLimit of full scale, however many collisions ring at once.
//
// Engines: each engine voice is a mixer channel looping silence, with an
// effect that writes the engine loop resampled to the voice's rate (the
// mixer has no pitch control of its own); the rate and pan are atomics,
// written by the game and read by the audio thread.
#include "sound/sound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <atomic>
#include <cstring>

#include "sound/sound_mix.h"

#include "app/appdir.h"
#include "app/config.h"
#include "app/log.h"
#include "game/prefs.h"

static const int kChannelCount = 32;
static const int kHandleStride = 64;  // > kChannelCount
static const int kMaxSamples = 64;
static const int32_t kMaxSerial = INT32_MAX / kHandleStride - 1;
static const float kMixLimit = 0.9f;  // of full scale, for all channels together
static const int kSilenceFrames = 1024;

struct SoundSystem {
    bool on;                           // device open
    bool engineFormat;                 // the device mixes 16-bit stereo: engines can run
    Mix_Chunk* chunks[kMaxSamples];    // by Sample - 1
    bool loops[kMaxSamples];           // play with endless loops
    float peaks[kMaxSamples];          // loudest sample, fraction of full scale
    int32_t serials[kChannelCount];    // serial of the sound last started per mixer channel
    int32_t nextSerial;                // 1..kMaxSerial
    int wanted[kChannelCount];         // volume asked for per mixer channel, 0..128
    float channelPeaks[kChannelCount]; // peak of the sound on each mixer channel
    Mix_Chunk* silence;                // what engine channels play under their effect
};

// Per start-up pass: InitSound resets it, ShutdownSound clears it.
static SoundSystem gSound;

struct EngineVoice {
    int mixer;                     // -1: not running
    Sample sample;                 // the loop it resamples
    const int16_t* loop;           // the loop's frames (16-bit stereo)
    uint32_t frames;
    double phase;                  // audio thread only
    std::atomic<float> rate, left, right;
};

// Per start-up pass: InitSound stops them all, StopEngineVoices too.
static EngineVoice gEngines[kEngineVoices];
static int16_t gSilence[kSilenceFrames * 2];

bool SoundOn()
{
    return gSound.on;
}

static void ResetEngines()
{
    for (EngineVoice& v : gEngines) {
        v.mixer = -1;
        v.sample = 0;
        v.loop = nullptr;
        v.frames = 0;
        v.phase = 0.0;
        v.rate = 1.0f;
        v.left = v.right = 0.0f;
    }
}

void InitSound()
{
    memset(&gSound, 0, sizeof gSound);
    ResetEngines();
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
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&frequency, &format, &channels);
    gSound.engineFormat = format == AUDIO_S16SYS && channels == 2;
    gSound.silence = Mix_QuickLoad_RAW((Uint8*)gSilence, sizeof gSilence);
    gSound.on = true;
    LogMessage("Initializing sound");
}

void ShutdownSound()
{
    if (!gSound.on)
        return;
    StopEngineVoices();
    Mix_HaltChannel(-1);
    if (gSound.silence)
        Mix_FreeChunk(gSound.silence);
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

// The loudest sample of a chunk in the device's format, as a fraction of
// full scale (1 when the format is not 16-bit, to be safe).
static float ChunkPeak(const Mix_Chunk* chunk)
{
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&frequency, &format, &channels);
    if (format != AUDIO_S16SYS)
        return 1.0f;
    const int16_t* samples = (const int16_t*)chunk->abuf;
    int peak = 0;
    for (Uint32 i = 0; i < chunk->alen / 2; i++) {
        const int v = samples[i] < 0 ? -(int)samples[i] : samples[i];
        if (v > peak)
            peak = v;
    }
    return (float)peak / 32768.0f;
}

// Starts `chunk` on the first free mixer channel at volume 0 (set before
// it starts, so that not one buffer of it mixes louder than the headroom
// allows); the caller's volume follows through ApplyHeadroom.  The mixer
// channel, or -1 when all are busy.
static int StartSilent(Mix_Chunk* chunk, int loops, float peak)
{
    for (int c = 0; c < kChannelCount; c++) {
        if (Mix_Playing(c))
            continue;
        Mix_Volume(c, 0);
        gSound.wanted[c] = 0;
        gSound.channelPeaks[c] = peak;
        return Mix_PlayChannel(c, chunk, loops) == c ? c : -1;
    }
    return -1;
}

// Every playing channel at its wanted volume times the shared factor.
static void ApplyHeadroom()
{
    float peaks[kChannelCount];
    int volumes[kChannelCount];
    for (int c = 0; c < kChannelCount; c++) {
        peaks[c] = gSound.channelPeaks[c];
        volumes[c] = Mix_Playing(c) ? gSound.wanted[c] : 0;
    }
    const float scale = HeadroomScale(peaks, volumes, kChannelCount, kMixLimit);
    for (int c = 0; c < kChannelCount; c++)
        if (Mix_Playing(c))
            Mix_Volume(c, (int)((float)volumes[c] * scale));  // truncated: never above the limit
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
    gSound.peaks[slot] = ChunkPeak(chunk);
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
        int mixer = -1;
        if (chunk)
            mixer = StartSilent(chunk, gSound.loops[sample - 1] ? -1 : 0, gSound.peaks[sample - 1]);
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
    if (!IsChannelPlaying(channel))
        return;
    gSound.wanted[LiveChannel(channel)] = MixerVolume(volume);
    ApplyHeadroom();
}

void FreeSample(Sample* sample)
{
    Mix_Chunk* chunk = ChunkOf(*sample);
    if (gSound.on && chunk) {
        for (int v = 0; v < kEngineVoices; v++)
            if (gEngines[v].mixer >= 0 && gEngines[v].sample == *sample)
                StopEngineVoices();
        Mix_FreeChunk(chunk);  // halts the channels playing it first
        gSound.chunks[*sample - 1] = nullptr;
    }
    *sample = 0;
}

// The audio thread: the channel's buffer (silence) becomes the engine loop.
static void EngineEffect(int, void* stream, int length, void* data)
{
    EngineVoice* v = (EngineVoice*)data;
    ResampleLoop(v->loop, v->frames, &v->phase, v->rate.load(), v->left.load(), v->right.load(), (int16_t*)stream,
                 (uint32_t)length / 4);
}

void StartEngineVoice(int voice, Sample loop)
{
    if (!gSound.on || !gSound.engineFormat || voice < 0 || voice >= kEngineVoices || !gSound.silence)
        return;
    EngineVoice& v = gEngines[voice];
    const Mix_Chunk* chunk = ChunkOf(loop);
    if (v.mixer >= 0 || !chunk || chunk->alen < 4)
        return;
    v.sample = loop;
    v.loop = (const int16_t*)chunk->abuf;
    v.frames = chunk->alen / 4;
    v.phase = 0.0;
    v.left = v.right = 0.0f;
    const int mixer = StartSilent(gSound.silence, -1, gSound.peaks[loop - 1]);
    if (mixer < 0)
        return;
    gSound.serials[mixer] = 0;  // no handle owns it
    if (Mix_RegisterEffect(mixer, EngineEffect, nullptr, &v))
        v.mixer = mixer;
    else
        Mix_HaltChannel(mixer);
}

void SetEngineVoice(int voice, float rate, float loudness, float left, float right)
{
    if (voice < 0 || voice >= kEngineVoices || gEngines[voice].mixer < 0)
        return;
    EngineVoice& v = gEngines[voice];
    v.rate = rate > 0.05f && rate < 8.0f ? rate : 1.0f;
    v.left = left < 0.0f ? 0.0f : left > 1.0f ? 1.0f : left;
    v.right = right < 0.0f ? 0.0f : right > 1.0f ? 1.0f : right;
    if (!(loudness > 0.0f))
        loudness = 0.0f;
    if (loudness > 1.0f)
        loudness = 1.0f;
    gSound.wanted[v.mixer] = (int)((float)MixerVolume(gPrefs.soundeffectsvolume) * loudness);
    ApplyHeadroom();
}

void StopEngineVoices()
{
    for (EngineVoice& v : gEngines) {
        if (v.mixer < 0)
            continue;
        if (gSound.on) {
            Mix_UnregisterAllEffects(v.mixer);
            Mix_HaltChannel(v.mixer);
            gSound.wanted[v.mixer] = 0;
        }
        v.mixer = -1;
        v.sample = 0;
        v.loop = nullptr;
        v.frames = 0;
    }
}
