// WAV files: 16-bit PCM, little-endian, the plain 44-byte header.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The whole file: "RIFF" size "WAVE", a 16-byte "fmt " chunk (PCM, channels,
// rate, byte rate, block align, 16 bits) and the "data" chunk.  `samples`
// holds the frames interleaved (left, right for stereo).
std::vector<uint8_t> BuildWav(const std::vector<int16_t>& samples, int channels, int rate);

// Float samples (about -1..1) to 16 bits, scaled so the loudest peak sits at
// `peak` of full scale; silence stays silence.
std::vector<int16_t> ToPcm(const std::vector<float>& samples, float peak);
