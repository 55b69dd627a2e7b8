// Music and effects: whole WAV files played on channels.  Every operation
// does nothing while sound is off (Config::audiodevice 0, or a device that
// could not be opened).  Volumes come from the preferences at every play.
#pragma once

#include <cstdint>

typedef int32_t Sample;   // 0 = none
typedef int32_t Channel;  // a handle true to the sound it started; 0 = none

// Opens the device (44100 Hz, 32 channels) and logs "Initializing sound".
// On failure logs "ERROR: Unable to initialize sound" and runs silently
// until the next start-up pass (the setting itself is not changed).
void InitSound();
// Stops everything, frees the samples still loaded and closes the device;
// at the end of a start-up pass.
void ShutdownSound();
// True between a successful InitSound and ShutdownSound.
bool SoundOn();
// Loads "data/..." (relative name); a missing or unreadable file logs
// "ERROR (not found): %s" and ends the program.  Logs "Loading seffect: %s".
// With sound off `sample` becomes 0 and no file is needed.
void LoadSample(const char* name, Sample* sample, bool loop);
// Starts `sample` on a free channel when `restart` is set or `channel` is
// not playing it any more, storing the new handle (0 when every channel is
// busy); then applies Prefs::soundeffectsvolume (isEffect) or musicvolume.
void PlaySample(Sample sample, Channel* channel, bool restart, bool isEffect);
// True while the sound this handle started is still playing.  A handle whose
// mixer channel has since been taken by another sound is never playing, and
// StopChannel and SetChannelVolume leave that other sound alone.
bool IsChannelPlaying(Channel channel);
void StopChannel(Channel channel);
// Volume 0..255 (held to that range), e.g. the music fading out on quitting.
// All channels share the mix's headroom: when the playing sounds' peaks at
// their volumes would add up past 0.9 of full scale, every channel plays
// quieter by the same factor.
void SetChannelVolume(Channel channel, int volume);
// Frees the sample (stopping any channel playing it) and sets it to 0.
void FreeSample(Sample* sample);

// ---- Engines ----
// A voice plays a looping sample resampled continuously to a rate (1.0 as
// recorded), at a loudness 0..1 of the effects volume, with left and right
// gains 0..1.  Voices need a 16-bit stereo device; otherwise they stay off.

static const int kEngineVoices = 5;  // one per car

// Starts voice `voice` (silent until set) on `loop`, unless it runs already.
void StartEngineVoice(int voice, Sample loop);
void SetEngineVoice(int voice, float rate, float loudness, float left, float right);
// Stops every voice (before their sample is freed; FreeSample does it too).
void StopEngineVoices();
