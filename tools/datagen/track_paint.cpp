// Track textures: painted from the ground's height and slope, its kind and
// the driving line.  The picture lies over the terrain as the heightmap
// does: picture column c at world x = c * 64 / size - 32.5, picture row r
// (from the top) at world z = r * 64 / size - 32.5.
#include <algorithm>
#include <cmath>

#include "raster.h"
#include "track.h"

namespace {

struct Palette {
  Rgb low, high, steep, road, roadDark, accent;
};

Palette PaletteOf(Ground ground) {
  switch (ground) {
    case Ground::kMeadow:
      return {Hex(0x4f8a2c), Hex(0x78a83c), Hex(0x6f6a4a), Hex(0x8a6640), Hex(0x5e4228), Hex(0xf2e25a)};
    case Ground::kDunes:
      return {Hex(0xd9b57a), Hex(0xf0d49a), Hex(0xc08c55), Hex(0xb98652), Hex(0x8f6238), Hex(0x8a8a48)};
    case Ground::kCanyon:
      return {Hex(0xc27a4a), Hex(0x8e4a2c), Hex(0xa8542e), Hex(0xd9a878), Hex(0xa87850), Hex(0x6f7a3a)};
    case Ground::kHills:
      return {Hex(0x5c8f34), Hex(0x8a9a4a), Hex(0x7a7262), Hex(0x86603c), Hex(0x5a3e26), Hex(0x2f5a22)};
    case Ground::kQuarry:
      return {Hex(0x9a968c), Hex(0xb8b2a2), Hex(0x6e6a64), Hex(0xc2b08a), Hex(0x8a7a60), Hex(0x5f7a3a)};
    case Ground::kLakes:
      return {Hex(0x5a9a3a), Hex(0x7aae48), Hex(0x7a7a5a), Hex(0x8c6a44), Hex(0x5e462c), Hex(0xe8d9a0)};
  }
  return {};
}

// Signed distance to the driving line on a coarse grid (positive on the
// right of the direction of travel), read back bilinearly.
struct LineField {
  int n = 256;
  Mask field;
  explicit LineField(const std::vector<Point2>& line) : field(256, 256) {
    const std::vector<Point2> coarse = Resample(line, 0.5f);
    for (int y = 0; y < n; y++) {
      for (int x = 0; x < n; x++) {
        const Point2 p = {x * 64.0f / (n - 1) - 32.5f, y * 64.0f / (n - 1) - 32.5f};
        float best = 1e9f, sign = 1.0f;
        for (size_t k = 0; k < coarse.size(); k++) {
          const Point2 a = coarse[k], b = coarse[(k + 1) % coarse.size()];
          const float d = SegmentDistance(p, a, b);
          if (d < best) {
            best = d;
            sign = ((b.x - a.x) * (p.z - a.z) - (b.z - a.z) * (p.x - a.x)) > 0 ? 1.0f : -1.0f;
          }
        }
        field.at(x, y) = best * sign;
      }
    }
  }
  float At(float wx, float wz) const {
    return field.Sample((wx + 32.5f) * (n - 1) / 64.0f, (wz + 32.5f) * (n - 1) / 64.0f);
  }
};

float Noise(float x, float z, float scale, uint32_t seed, int octaves = 4) {
  return Fbm(x / scale + 50.0f, z / scale + 50.0f, octaves, seed);
}

// A round blob (tree crown, bush, stone) scattered on a jittered grid:
// returns its coverage at (x, z) and the blob's own shade through `shade`.
float Scatter(float x, float z, float cell, float chance, float radius, uint32_t seed, float* shade) {
  const int cx = static_cast<int>(std::floor(x / cell)), cz = static_cast<int>(std::floor(z / cell));
  float best = 0.0f;
  for (int dz = -1; dz <= 1; dz++) {
    for (int dx = -1; dx <= 1; dx++) {
      const uint32_t h = Hash(cx + dx, cz + dz, seed);
      if ((h & 1023) / 1023.0f > chance) continue;
      const float px = (cx + dx + ((h >> 10) & 255) / 255.0f) * cell;
      const float pz = (cz + dz + ((h >> 18) & 255) / 255.0f) * cell;
      const float r = radius * (0.7f + 0.6f * ((h >> 26) & 63) / 63.0f);
      const float d = std::hypot(x - px, z - pz) / r;
      const float cover = Smoothstep(1.0f, 0.85f, d);
      if (cover > best) {
        best = cover;
        // Lit from the upper left: brighter toward -x, -z.
        *shade = Clamp01(0.75f - ((x - px) + (z - pz)) / (2.0f * r) * 0.5f);
      }
    }
  }
  return best;
}

}  // namespace

void PaintTrack(const std::string& path, const TrackPlan& plan, const TrackData& track, int size) {
  const Palette pal = PaletteOf(plan.ground);
  const LineField line(track.line);
  const uint32_t s = plan.seed;
  float lowest = 1e9f, highest = -1e9f;
  for (float h : track.heights) lowest = std::min(lowest, h), highest = std::max(highest, h);
  const float span = std::max(highest - lowest, 0.5f);
  Image img(size, size);
  const float lx = 0.80f, ly = 0.53f, lz = 0.27f;  // toward the race light, high in the +x side
  for (int py = 0; py < size; py++) {
    for (int px = 0; px < size; px++) {
      const float x = (px + 0.5f) * 64.0f / size - 32.5f, z = (py + 0.5f) * 64.0f / size - 32.5f;
      const float h = HeightAt(track, x, z);
      const float dhdx = HeightAt(track, x + 0.5f, z) - HeightAt(track, x - 0.5f, z);
      const float dhdz = HeightAt(track, x, z + 0.5f) - HeightAt(track, x, z - 0.5f);
      const float slope = std::sqrt(dhdx * dhdx + dhdz * dhdz);
      const float nlen = std::sqrt(dhdx * dhdx + 1.0f + dhdz * dhdz);
      const float light = (-dhdx * lx + ly - dhdz * lz) / nlen;
      const float up = (h - lowest) / span;
      const float n1 = Noise(x, z, 6.0f, s + 11), n2 = Noise(x, z, 1.2f, s + 12), n3 = Noise(x, z, 0.25f, s + 13, 2);
      // Open ground: low and high colours by height, broken up by noise.
      Rgb c = Mix(pal.low, pal.high, Clamp01(up * 0.8f + (n1 - 0.5f) * 0.8f));
      // Fine grit (n3, a quarter unit) shows at the chase camera's distance.
      c = Scale(c, 0.85f + 0.25f * n2 + 0.24f * (n3 - 0.5f));
      float shade = 0.0f;
      switch (plan.ground) {
        case Ground::kMeadow:
        case Ground::kHills: {
          const float flowers = Hash(static_cast<int>(x * 12.0f), static_cast<int>(z * 12.0f), s + 20) % 97 == 0 ? 1.0f : 0.0f;
          if (plan.ground == Ground::kMeadow) c = Mix(c, pal.accent, flowers * Smoothstep(0.4f, 0.6f, n1));
          const float rock = Smoothstep(0.55f, 0.9f, slope + (n2 - 0.5f) * 0.3f);
          c = Mix(c, Scale(pal.steep, 0.8f + 0.4f * n3), rock);
          break;
        }
        case Ground::kDunes: {
          const float ripple = 0.5f + 0.5f * std::sin((x * 0.6f - z * 0.8f) * 5.0f + n1 * 12.0f);
          c = Scale(c, 0.94f + 0.08f * ripple);
          c = Mix(c, pal.steep, Smoothstep(0.25f, 0.6f, slope) * 0.6f);
          break;
        }
        case Ground::kCanyon: {
          // Bands of rock in the walls, by height.
          const float band = 0.5f + 0.5f * std::sin(h * 9.0f + n1 * 3.0f);
          const Rgb rock = Mix(pal.steep, Hex(0xd88a5a), band);
          c = Mix(c, Scale(rock, 0.85f + 0.3f * n3), Smoothstep(0.15f, 0.45f, slope));
          break;
        }
        case Ground::kQuarry: {
          // Benches of gravel, faces of banded rock, rust-coloured patches.
          c = Mix(c, Hex(0xb59a70), Smoothstep(0.55f, 0.75f, Noise(x, z, 9.0f, s + 17)) * 0.6f);
          const float band = 0.5f + 0.5f * std::sin(h * 14.0f + n2 * 2.0f);
          const Rgb face = Scale(Mix(pal.steep, Hex(0x9a8a74), band), 0.8f + 0.35f * n3);
          c = Mix(c, face, Smoothstep(0.25f, 0.6f, slope));
          // Puddles on the pit floor.
          if (up < 0.12f) c = Mix(c, Hex(0x5a6a70), Smoothstep(0.6f, 0.68f, Noise(x, z, 3.0f, s + 18)) * 0.8f);
          break;
        }
        case Ground::kLakes: {
          const float shore = Smoothstep(track.water + 0.3f, track.water + 0.05f, h);
          c = Mix(c, Scale(pal.accent, 0.9f + 0.2f * n2), shore);
          break;
        }
      }
      // Bushes and trees away from the road (canyon: scrub on the plateau).
      const float sd = line.At(x, z);
      const float d = std::fabs(sd);
      if (d > 7.0f) {
        const float chance = plan.ground == Ground::kDunes ? 0.15f : (plan.ground == Ground::kCanyon ? 0.25f : 0.4f);
        const float radius = plan.ground == Ground::kMeadow || plan.ground == Ground::kHills ? 1.1f
                             : (plan.ground == Ground::kQuarry ? 0.7f : 0.45f);
        const float cover = Scatter(x, z, 3.0f, chance * Smoothstep(0.35f, 0.6f, n1), radius, s + 30, &shade) *
                            Smoothstep(7.0f, 9.0f, d);
        const Rgb crown = plan.ground == Ground::kMeadow || plan.ground == Ground::kHills ? Hex(0x2c5a1e)
                          : (plan.ground == Ground::kQuarry ? Hex(0x8c8a84) : Hex(0x6a6a38));  // trees, stones, scrub
        if (plan.ground != Ground::kLakes || h > track.water + 0.2f) {
          c = Mix(c, Scale(crown, 0.6f + 0.7f * shade + 0.15f * n3), cover);
        }
      }
      c = Scale(c, Clamp(1.0f + 1.4f * (light - ly), 0.55f, 1.3f));
      // Water lies flat, so it takes no slope light.
      if (track.water > 0.0f && h < track.water) {
        const float depth = Clamp01((track.water - h) / 0.5f);
        Rgb water = Mix(Hex(0x4a9ab0), Hex(0x1c4a78), depth);
        water = Scale(water, 0.95f + 0.1f * std::sin((x + z) * 6.0f + n1 * 20.0f));
        c = Mix(c, water, Smoothstep(0.0f, 0.06f, track.water - h));
      }
      // The dirt road: ragged edges, two darker ruts either side of the line.
      const float edge = 2.7f + 0.5f * (n2 - 0.5f) + 0.3f * (n3 - 0.5f);
      const float onRoad = Smoothstep(edge + 0.35f, edge - 0.15f, d);
      if (onRoad > 0.0f) {
        Rgb dirt = Mix(pal.road, pal.roadDark, Clamp01(n2 * 0.9f - 0.1f));
        dirt = Scale(dirt, 0.9f + 0.2f * n3);
        const float rut = std::exp(-std::pow((d - 0.85f) * 4.0f, 2.0f)) + 0.6f * std::exp(-std::pow((d - 1.9f) * 3.5f, 2.0f));
        dirt = Mix(dirt, pal.roadDark, Clamp01(rut * 0.55f));
        // Pebbles.
        if (Hash(static_cast<int>(x * 20.0f), static_cast<int>(z * 20.0f), s + 40) % 61 == 0) dirt = Scale(dirt, 1.25f);
        dirt = Scale(dirt, Clamp(1.0f + 0.6f * (light - ly), 0.75f, 1.15f));
        c = Mix(c, dirt, onRoad);
      }
      // The start line across the road just ahead of the grid.
      if (z > 2.6f && z < 3.4f && std::fabs(x + 1.0f) < 3.2f) {
        const int check = static_cast<int>(std::floor((x + 10.0f) / 0.4f)) + static_cast<int>(std::floor(z / 0.4f));
        c = Mix(c, (check & 1) ? Rgb{0.95f, 0.95f, 0.92f} : Rgb{0.12f, 0.12f, 0.12f}, 0.85f);
      }
      img.at(px, py) = c;
    }
  }
  SaveImage(path, img, false);
}
