// WAV writer.
#include "wave.h"

#include <cmath>

namespace {
void Put(std::vector<uint8_t>* out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; i++) out->push_back(static_cast<uint8_t>((v >> (8 * i)) & 0xFF));
}
void Tag(std::vector<uint8_t>* out, const char* tag) {
  for (int i = 0; i < 4; i++) out->push_back(static_cast<uint8_t>(tag[i]));
}
}  // namespace

std::vector<uint8_t> BuildWav(const std::vector<int16_t>& samples, int channels, int rate) {
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  std::vector<uint8_t> out;
  out.reserve(44 + dataBytes);
  Tag(&out, "RIFF");
  Put(&out, 36 + dataBytes, 4);
  Tag(&out, "WAVE");
  Tag(&out, "fmt ");
  Put(&out, 16, 4);
  Put(&out, 1, 2);  // PCM
  Put(&out, static_cast<uint32_t>(channels), 2);
  Put(&out, static_cast<uint32_t>(rate), 4);
  Put(&out, static_cast<uint32_t>(rate * channels * 2), 4);
  Put(&out, static_cast<uint32_t>(channels * 2), 2);
  Put(&out, 16, 2);
  Tag(&out, "data");
  Put(&out, dataBytes, 4);
  for (int16_t s : samples) Put(&out, static_cast<uint16_t>(s), 2);
  return out;
}

std::vector<int16_t> ToPcm(const std::vector<float>& samples, float peak) {
  float loudest = 0.0f;
  for (float s : samples) loudest = std::fmax(loudest, std::fabs(s));
  const float gain = loudest > 0.0f ? peak * 32767.0f / loudest : 0.0f;
  std::vector<int16_t> out(samples.size());
  for (size_t i = 0; i < samples.size(); i++) {
    out[i] = static_cast<int16_t>(std::lround(samples[i] * gain));
  }
  return out;
}
