// Music and effects: whole WAV files played on channels.  Every operation
// does nothing while sound is off (Config::audiodevice 0, or a device that
// could not be opened).  Volumes come from the preferences at every play.
#pragma once

#include <cstdint>

typedef int32_t Sample;   // 0 = none
typedef int32_t Channel;  // a handle true to the sound it started; 0 = none

// Opens the device (44100 Hz, 32 channels).  On failure logs
// "ERROR: Unable to initialize sound" and runs silently.
void InitSound();
// Closes the device at the end of a start-up pass.
void ShutdownSound();
// Loads "data/..." (relative name); a missing file ends the program.
void LoadSample(const char* name, Sample* sample, bool loop);
// Starts `sample` on a free channel when `restart` is set or `channel` is
// not playing it any more; then applies the music or effects volume.
void PlaySample(Sample sample, Channel* channel, bool restart, bool isEffect);
bool IsChannelPlaying(Channel channel);
void StopChannel(Channel channel);
void FreeSample(Sample* sample);
