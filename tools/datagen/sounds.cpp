// Music and effects, synthesised.  The two music loops are written as a
// circle: every note that rings past the end of the loop carries on at its
// beginning, so the loop joins without a click.
#include <cmath>
#include <cstdio>
#include <vector>

#include "datagen.h"
#include "raster.h"
#include "wave.h"

namespace {

const int kRate = 44100;
const float kTwoPi = 6.28318531f;

// A stereo track of `frames` frames; `loop` makes notes wrap round the end.
struct Track {
  std::vector<float> left, right;
  bool loop;
  Track(size_t frames, bool wrap) : left(frames, 0.0f), right(frames, 0.0f), loop(wrap) {}
  void Put(size_t at, float value, float pan) {
    if (at >= left.size()) {
      if (!loop) return;
      at %= left.size();
    }
    left[at] += value * (1.0f - pan) * 0.5f;
    right[at] += value * (1.0f + pan) * 0.5f;
  }
};

float Midi(float note) { return 440.0f * std::pow(2.0f, (note - 69.0f) / 12.0f); }

// A tiny deterministic noise source, one per note.
struct Noise {
  uint32_t state;
  float smooth = 0.0f;  // a low-passed copy, for effects that want it
  float Next() {
    state = state * 1664525u + 1013904223u;
    return ((state >> 8) & 0xFFFF) / 32767.5f - 1.0f;
  }
};

enum class Voice { kPad, kPluck, kBass, kLead, kBell };

// One note: attack/decay/release envelopes and a handful of partials.
void Note(Track* t, double start, float midi, float seconds, Voice voice, float gain, float pan) {
  const float f = Midi(midi);
  const size_t first = static_cast<size_t>(start * kRate);
  float release = 0.08f, attack = 0.005f;
  if (voice == Voice::kPad) attack = 0.35f, release = 0.6f;
  if (voice == Voice::kBell) release = 1.2f;
  const size_t count = static_cast<size_t>((seconds + release) * kRate);
  float lowpass = 0.0f;
  for (size_t n = 0; n < count; n++) {
    const float s = n / static_cast<float>(kRate);
    float env = std::fmin(1.0f, s / attack);
    if (s > seconds) env *= std::fmax(0.0f, 1.0f - (s - seconds) / release);
    float v = 0.0f;
    const float ph = kTwoPi * f * s;
    switch (voice) {
      case Voice::kPad: {
        // Three detuned saw-like stacks, softened by a one-pole filter.
        for (float detune : {-0.006f, 0.0f, 0.007f}) {
          for (int h = 1; h <= 6; h++) v += std::sin(ph * (1.0f + detune) * h) / h * 0.3f;
        }
        lowpass += (v - lowpass) * 0.25f;
        v = lowpass * 0.5f;
        break;
      }
      case Voice::kPluck:
        env *= std::exp(-s * 5.0f);
        v = std::sin(ph) + 0.4f * std::sin(2 * ph) * std::exp(-s * 9.0f) + 0.2f * std::sin(3 * ph) * std::exp(-s * 14.0f);
        break;
      case Voice::kBass:
        env *= 0.6f + 0.4f * std::exp(-s * 6.0f);
        v = std::sin(ph) + 0.3f * std::sin(2 * ph) + 0.12f * std::sin(3 * ph);
        break;
      case Voice::kLead: {
        const float vib = 1.0f + 0.004f * std::sin(kTwoPi * 5.5f * s) * std::fmin(1.0f, s * 3.0f);
        const float p = ph * vib;
        v = std::sin(p) + 0.5f * std::sin(2 * p) + 0.25f * std::sin(3 * p) + 0.12f * std::sin(4 * p);
        lowpass += (v - lowpass) * 0.35f;
        v = lowpass;
        break;
      }
      case Voice::kBell:
        env *= std::exp(-s * 3.0f);
        v = std::sin(ph) + 0.5f * std::sin(ph * 2.76f) * std::exp(-s * 4.0f) + 0.3f * std::sin(ph * 5.4f) * std::exp(-s * 8.0f);
        break;
    }
    t->Put(first + n, v * env * gain, pan);
  }
}

enum class Drum { kKick, kSnare, kHat };

void Hit(Track* t, double start, Drum drum, float gain, uint32_t seed) {
  const size_t first = static_cast<size_t>(start * kRate);
  Noise noise{seed};
  const float length = drum == Drum::kKick ? 0.35f : (drum == Drum::kSnare ? 0.25f : 0.06f);
  const size_t count = static_cast<size_t>(length * kRate);
  float phase = 0.0f, previous = 0.0f, band = 0.0f;
  for (size_t n = 0; n < count; n++) {
    const float s = n / static_cast<float>(kRate);
    float v = 0.0f;
    if (drum == Drum::kKick) {
      const float f = 45.0f + 90.0f * std::exp(-s * 30.0f);
      phase += kTwoPi * f / kRate;
      v = std::sin(phase) * std::exp(-s * 9.0f) * std::fmin(1.0f, s * 2000.0f);
    } else if (drum == Drum::kSnare) {
      const float r = noise.Next();
      band += (r - band) * 0.5f;
      v = (band * 0.8f + 0.5f * std::sin(kTwoPi * 185.0f * s) * std::exp(-s * 20.0f)) * std::exp(-s * 16.0f);
    } else {
      const float r = noise.Next();
      v = (r - previous) * 0.5f * std::exp(-s * 60.0f);
      previous = r;
    }
    t->Put(first + n, v * gain, drum == Drum::kHat ? 0.3f : 0.0f);
  }
}

void SaveTrack(const std::string& path, const Track& t, bool stereo, float peak) {
  std::vector<float> frames;
  frames.reserve(t.left.size() * (stereo ? 2 : 1));
  for (size_t i = 0; i < t.left.size(); i++) {
    if (stereo) {
      frames.push_back(t.left[i]);
      frames.push_back(t.right[i]);
    } else {
      frames.push_back(t.left[i] + t.right[i]);
    }
  }
  const std::vector<uint8_t> bytes = BuildWav(ToPcm(frames, peak), stereo ? 2 : 1, kRate);
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) Fail("cannot write " + path);
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) != 0 || !ok) Fail("cannot write " + path);
}

// Chords as MIDI notes (root position, three notes).
struct Chord {
  float root, third, fifth;
};

// The menu loop: 80 beats a minute, eight bars of four (24 s), a calm pad,
// a plucked arpeggio, a round bass and light drums.
void WriteMenuMusic(const std::string& root) {
  const double beat = 60.0 / 80.0;
  const int bars = 8;
  Track t(static_cast<size_t>(bars * 4 * beat * kRate), true);
  const Chord chords[4] = {{57, 60, 64}, {53, 57, 60}, {48, 52, 55}, {55, 59, 62}};  // Am F C G
  for (int bar = 0; bar < bars; bar++) {
    const Chord c = chords[bar % 4];
    const double at = bar * 4 * beat;
    for (float n : {c.root, c.third, c.fifth}) Note(&t, at, n, static_cast<float>(4 * beat) - 0.1f, Voice::kPad, 0.05f, 0.0f);
    Note(&t, at, c.root - 12, static_cast<float>(beat * 1.5), Voice::kBass, 0.28f, 0.0f);
    Note(&t, at + beat * 2, c.root - 12, static_cast<float>(beat), Voice::kBass, 0.22f, 0.0f);
    Note(&t, at + beat * 3, c.fifth - 12, static_cast<float>(beat * 0.8), Voice::kBass, 0.2f, 0.0f);
    const float arp[8] = {c.root + 12, c.third + 12, c.fifth + 12, c.root + 24, c.fifth + 12, c.third + 12, c.root + 12, c.fifth};
    for (int k = 0; k < 8; k++) {
      Note(&t, at + k * beat / 2, arp[k], static_cast<float>(beat / 2), Voice::kPluck, 0.13f, k % 2 ? 0.4f : -0.4f);
    }
    for (int b = 0; b < 4; b++) {
      if (b % 2 == 0) Hit(&t, at + b * beat, Drum::kKick, 0.45f, 10u + bar * 4 + b);
      else Hit(&t, at + b * beat, Drum::kSnare, 0.12f, 20u + bar * 4 + b);
      Hit(&t, at + b * beat + beat / 2, Drum::kHat, 0.12f, 30u + bar * 4 + b);
    }
    // A slow melody over the second half.
    if (bar >= 4) {
      const float tune[4][3] = {{76, 74, 72}, {72, 69, 72}, {67, 72, 76}, {74, 71, 67}};
      for (int k = 0; k < 3; k++) {
        Note(&t, at + k * beat * 1.33, tune[bar % 4][k], static_cast<float>(beat * 1.2), Voice::kLead, 0.07f, 0.15f);
      }
    }
  }
  SaveTrack(root + "/music/menu.wav", t, true, 0.8f);
}

// The race loop: 128 beats a minute, twelve bars (22.5 s): four-on-the-floor
// drums, a driving bass in eighths, chords stabs and a lead riff.
void WriteRaceMusic(const std::string& root) {
  const double beat = 60.0 / 128.0;
  const int bars = 12;
  Track t(static_cast<size_t>(bars * 4 * beat * kRate), true);
  const Chord chords[4] = {{52, 55, 59}, {48, 52, 55}, {55, 59, 62}, {50, 54, 57}};  // Em C G D
  const float riff[8] = {76, 79, 81, 79, 76, 74, 76, 71};
  for (int bar = 0; bar < bars; bar++) {
    const Chord c = chords[bar % 4];
    const double at = bar * 4 * beat;
    for (int e = 0; e < 8; e++) {
      const float n = (e % 4 == 3) ? c.fifth - 24 : c.root - 24 + ((e % 2) ? 12 : 0);
      Note(&t, at + e * beat / 2, n, static_cast<float>(beat / 2) * 0.8f, Voice::kBass, 0.3f, 0.0f);
    }
    for (int b = 0; b < 4; b++) {
      Hit(&t, at + b * beat, Drum::kKick, 0.6f, 100u + bar * 8 + b);
      if (b % 2 == 1) Hit(&t, at + b * beat, Drum::kSnare, 0.25f, 200u + bar * 8 + b);
      for (int h = 0; h < 2; h++) Hit(&t, at + b * beat + h * beat / 2 + beat / 4, Drum::kHat, 0.18f, 300u + bar * 16 + b * 2 + h);
    }
    for (int s = 0; s < 2; s++) {
      for (float n : {c.root, c.third, c.fifth}) {
        Note(&t, at + (s * 2 + 0.5) * beat, n + 12, static_cast<float>(beat * 0.35), Voice::kPluck, 0.07f, s ? 0.5f : -0.5f);
      }
    }
    if (bar >= 4) {
      for (int k = 0; k < 8; k++) {
        const float n = riff[k] + (bar % 4 == 3 ? -2.0f : 0.0f);
        Note(&t, at + k * beat / 2, n, static_cast<float>(beat / 2) * 0.9f, Voice::kLead, bar >= 8 ? 0.08f : 0.06f, 0.1f);
      }
    }
  }
  SaveTrack(root + "/music/race.wav", t, true, 0.8f);
}

// The start-up jingle: a rising arpeggio and a ringing chord, 2.6 s, ending in silence.
void WriteIntro(const std::string& root) {
  Track t(static_cast<size_t>(2.6 * kRate), false);
  const float up[5] = {60, 64, 67, 72, 76};
  for (int k = 0; k < 5; k++) Note(&t, 0.05 + k * 0.11, up[k], 0.2f, Voice::kPluck, 0.25f, -0.3f + 0.15f * k);
  for (float n : {60.0f, 64.0f, 67.0f, 72.0f}) Note(&t, 0.62, n, 0.9f, Voice::kPad, 0.09f, 0.0f);
  Note(&t, 0.62, 84, 0.4f, Voice::kBell, 0.12f, 0.2f);
  Note(&t, 0.62, 48, 0.9f, Voice::kBass, 0.3f, 0.0f);
  Hit(&t, 0.62, Drum::kKick, 0.5f, 7u);
  // Fade the last 0.3 s to silence.
  for (size_t n = 0; n < t.left.size(); n++) {
    const float s = n / static_cast<float>(kRate);
    const float fade = Clamp01((2.6f - s) / 0.3f);
    t.left[n] *= fade;
    t.right[n] *= fade;
  }
  SaveTrack(root + "/music/intro.wav", t, true, 0.8f);
}

// One-shot effects, mono.
void Effect(const std::string& path, float seconds, float peak, float (*wave)(float, Noise*)) {
  Track t(static_cast<size_t>(seconds * kRate), false);
  Noise noise{12345u};
  for (size_t n = 0; n < t.left.size(); n++) {
    const float s = n / static_cast<float>(kRate);
    // A 2 ms fade at both ends keeps the start and end clean.
    const float edge = Clamp01(s / 0.002f) * Clamp01((seconds - s) / 0.002f);
    t.left[n] = wave(s, &noise) * edge;
  }
  SaveTrack(path, t, false, peak);
}

float Rollover(float s, Noise*) {
  const float f = 900.0f + 900.0f * s / 0.07f;
  return std::sin(kTwoPi * f * s) * std::exp(-s * 45.0f) + 0.3f * std::sin(kTwoPi * 2 * f * s) * std::exp(-s * 70.0f);
}

float Click(float s, Noise* noise) {
  return (0.8f * std::sin(kTwoPi * 1400.0f * s) + 0.5f * noise->Next()) * std::exp(-s * 120.0f) +
         0.6f * std::sin(kTwoPi * 320.0f * s) * std::exp(-s * 60.0f);
}

// Collisions: a thud, a crunch of noise and a metallic ring; more of each
// as the number rises.
template <int kLevel>
float Squeeze(float s, Noise* noise) {
  const float k = static_cast<float>(kLevel);
  const float thud = std::sin(kTwoPi * (70.0f + 50.0f * std::exp(-s * 25.0f)) * s) * std::exp(-s * (14.0f - 3.0f * k));
  noise->smooth += (noise->Next() - noise->smooth) * (0.3f + 0.2f * k);
  const float crunch = noise->smooth * std::exp(-s * (22.0f - 5.0f * k)) * (0.5f + 0.4f * k) *
                       (0.6f + 0.4f * std::sin(kTwoPi * 31.0f * s));
  const float ring = (std::sin(kTwoPi * 523.0f * s) + 0.6f * std::sin(kTwoPi * 1318.0f * s) +
                      0.4f * std::sin(kTwoPi * 2093.0f * s)) *
                     std::exp(-s * (18.0f - 4.0f * k)) * 0.12f * k;
  return thud + crunch + ring;
}

float TagBell(float s, Noise*) {
  auto bell = [](float f, float t) {
    if (t < 0.0f) return 0.0f;
    return (std::sin(kTwoPi * f * t) + 0.4f * std::sin(kTwoPi * f * 2.76f * t) * std::exp(-t * 6.0f)) *
           std::exp(-t * 5.0f) * std::fmin(1.0f, t * 400.0f);
  };
  return bell(1318.5f, s) + bell(1760.0f, s - 0.12f);
}

// The engine: a loop of exactly 0.5 s whose every partial is a whole
// multiple of 2 Hz, so it joins without a click at any playback rate the
// game resamples it to.  A 56 Hz four-stroke rumble, its firing pulses and
// a band of loop-periodic noise for the intake.
void WriteEngineLoop(const std::string& root) {
  const size_t frames = kRate / 2;
  Track t(frames, true);
  // Noise that is periodic over the loop: a smoothed random walk run twice
  // round the circle so its start and end agree.
  std::vector<float> noise(frames, 0.0f);
  Noise n{4242u};
  float smooth = 0.0f;
  for (int pass = 0; pass < 2; pass++) {
    for (size_t i = 0; i < frames; i++) {
      smooth += (n.Next() - smooth) * 0.2f;
      noise[i] = smooth;
    }
  }
  const float f0 = 56.0f;
  const float amp[8] = {1.0f, 0.7f, 0.55f, 0.35f, 0.3f, 0.18f, 0.12f, 0.08f};
  for (size_t i = 0; i < frames; i++) {
    const float s = i / static_cast<float>(kRate);
    float v = 0.0f;
    for (int h = 0; h < 8; h++) v += amp[h] * std::sin(kTwoPi * f0 * (h + 1) * s + 0.7f * h);
    // Firing pulses at half the fundamental give the engine its beat.
    const float pulse = 0.75f + 0.25f * std::sin(kTwoPi * f0 * 0.5f * s);
    v = v * pulse + 0.35f * noise[i] * (0.6f + 0.4f * std::sin(kTwoPi * f0 * s));
    t.left[i] = v;
  }
  SaveTrack(root + "/seffects/engine.wav", t, false, 0.5f);
}

}  // namespace

void GenerateSounds(const std::string& root) {
  WriteIntro(root);
  WriteMenuMusic(root);
  WriteRaceMusic(root);
  Effect(root + "/seffects/r.wav", 0.09f, 0.5f, Rollover);
  Effect(root + "/seffects/c.wav", 0.07f, 0.7f, Click);
  Effect(root + "/seffects/squeeze0.wav", 0.3f, 0.3f, Squeeze<0>);
  Effect(root + "/seffects/squeeze1.wav", 0.4f, 0.55f, Squeeze<1>);
  Effect(root + "/seffects/squeeze2.wav", 0.55f, 0.9f, Squeeze<2>);
  Effect(root + "/seffects/tag.wav", 0.8f, 0.75f, TagBell);
  WriteEngineLoop(root);
}
