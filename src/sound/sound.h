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
void SetChannelVolume(Channel channel, int volume);
// Frees the sample (stopping any channel playing it) and sets it to 0.
void FreeSample(Sample* sample);
