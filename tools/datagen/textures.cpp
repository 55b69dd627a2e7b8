// Race textures: the leader medal, the two ground decals, the dust puff and
// the sky.  The medal, the light spot and the dust are drawn additively, so
// black is see-through in them; the shadow map is blended as 2 x texture x
// ground, so its mid-grey leaves the ground as it is.
#include <algorithm>
#include <cmath>

#include "datagen.h"
#include "raster.h"

namespace {

// The medal: a round disc with a rim, a star and the figure 1, on a ribbon.
// The game tints it green, so only brightness matters.
void WriteMedal(const std::string& root) {
  const int n = 128;
  Image img(n, n);
  const float cx = 64.0f, cy = 72.0f;
  for (int y = 0; y < n; y++) {
    for (int x = 0; x < n; x++) {
      const float px = x + 0.5f, py = y + 0.5f;
      // Two ribbon tails above the disc.
      float ribbon = 0.0f;
      for (int side = -1; side <= 1; side += 2) {
        const float u = (px - cx) - side * (18.0f - (py - 8.0f) * 0.35f);
        if (py > 4.0f && py < 50.0f) ribbon = std::max(ribbon, Smoothstep(10.0f, 8.5f, std::fabs(u)));
      }
      const float dx = px - cx, dy = py - cy;
      const float r = std::sqrt(dx * dx + dy * dy);
      const float disc = Smoothstep(44.0f, 42.5f, r);
      const float rim = disc * Smoothstep(35.0f, 36.5f, r);
      // Light from the top left on the disc's face.
      const float light = Clamp01(0.75f - (dx + dy) / 120.0f);
      Rgb c = Scale({1, 1, 1}, 0.45f * ribbon * (0.8f + 0.2f * std::sin(px * 0.8f)));
      c = Mix(c, Scale({1, 1, 1}, 0.55f + 0.35f * light), disc);
      c = Mix(c, Scale({1, 1, 1}, 0.95f - 0.35f * (1.0f - light)), rim);
      img.at(x, y) = c;
    }
  }
  int baseline = 0;
  Mask one = RenderText(kFontBold, "1", 58.0f, 1.0f, &baseline);
  int x0 = one.w, x1 = -1, y0 = one.h, y1 = -1;
  for (int y = 0; y < one.h; y++) {
    for (int x = 0; x < one.w; x++) {
      if (one.at(x, y) > 0.02f) {
        x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
      }
    }
  }
  const int ox = static_cast<int>(cx) - (x0 + x1) / 2, oy = static_cast<int>(cy) - (y0 + y1) / 2;
  img.Paint(Blur(Pad(one, 4), 2, 2), ox - 4 + 2, oy - 4 + 2, {0.1f, 0.1f, 0.1f}, 0.9f);
  img.Paint(one, ox, oy, {1, 1, 1});
  SaveImage(root + "/textures/medal_1.tga", img, true);
}

// A bright round spot fading to black well inside the picture's edge (the
// decal shows the texture's repeat at its outer border).
void WriteLightmap(const std::string& root) {
  const int n = 128;
  Mask m(n, n);
  for (int y = 0; y < n; y++) {
    for (int x = 0; x < n; x++) {
      const float dx = (x + 0.5f - 64.0f) / 48.0f, dy = (y + 0.5f - 64.0f) / 48.0f;
      const float r2 = dx * dx + dy * dy;
      const float f = r2 < 1.0f ? (1.0f - r2) * (1.0f - r2) : 0.0f;
      m.at(x, y) = 0.9f * f;
    }
  }
  SaveMask(root + "/textures/lightmap.tga", m, true);
}

// Mid-grey with a soft car-shaped shadow in the centre: the picture covers
// five world units, the car 1.5 long (up the picture) and 1.25 wide.
void WriteShadowmap(const std::string& root) {
  const int n = 128;
  const float unit = n / 5.0f;
  Mask blob(n, n);
  for (int y = 0; y < n; y++) {
    for (int x = 0; x < n; x++) {
      const float wx = (x + 0.5f - 64.0f) / unit, wz = (y + 0.5f - 64.0f) / unit;
      // Rounded rectangle: half sizes 0.62 across, 0.8 along.
      const float qx = std::fabs(wx) - 0.45f, qz = std::fabs(wz) - 0.62f;
      const float out = std::sqrt(std::max(qx, 0.0f) * std::max(qx, 0.0f) +
                                  std::max(qz, 0.0f) * std::max(qz, 0.0f)) +
                        std::min(std::max(qx, qz), 0.0f) - 0.18f;
      blob.at(x, y) = Smoothstep(0.12f, -0.12f, out);
    }
  }
  blob = Blur(blob, 2, 3);
  Mask m(n, n, 128.0f / 255.0f);
  for (size_t i = 0; i < m.v.size(); i++) m.v[i] -= blob.v[i] * (128.0f - 72.0f) / 255.0f;
  SaveMask(root + "/textures/shadowmap.tga", m, false);
}

// A soft white puff: round, cloudy, black at the edge (the game tints it).
void WriteDust(const std::string& root) {
  const int n = 64;
  Mask m(n, n);
  for (int y = 0; y < n; y++) {
    for (int x = 0; x < n; x++) {
      const float dx = (x + 0.5f - 32.0f) / 30.0f, dy = (y + 0.5f - 32.0f) / 30.0f;
      const float r = std::sqrt(dx * dx + dy * dy);
      const float cloud = Fbm(x / 9.0f, y / 9.0f, 4, 77u);
      const float edge = Smoothstep(1.0f, 0.35f, r + (cloud - 0.5f) * 0.45f);
      // Black well inside the border, so no straight edge ever shows.
      m.at(x, y) = Clamp01(edge * (0.55f + 0.6f * cloud)) * Smoothstep(0.97f, 0.8f, r);
    }
  }
  SaveMask(root + "/textures/dust.tga", m, false);
}

// The sky dome's texture: u goes once round the horizon (it tiles), v from
// the horizon (bottom row, v = 0) to the zenith (top row).  Below the
// horizon the dome shows the bottom row's hazy colour.
void WriteSky(const std::string& root) {
  const int w = 512, h = 256;
  Image img(w, h);
  const Rgb zenith = Hex(0x2f6fc0), upper = Hex(0x5c9be0), horizon = Hex(0xcfe3f2);
  for (int y = 0; y < h; y++) {
    const float v = 1.0f - (y + 0.5f) / h;  // 0 at the horizon
    Rgb sky = v > 0.35f ? Mix(upper, zenith, Smoothstep(0.35f, 1.0f, v))
                        : Mix(horizon, upper, Smoothstep(0.0f, 0.35f, v));
    for (int x = 0; x < w; x++) {
      // A texel spans twice as much sky round the dome as up it; noise
      // cells 1.5 times wider than tall here make clouds about three
      // times wider than tall in the sky.
      const float sx = x / static_cast<float>(w) * 8.0f;
      const float sy = v * 6.0f;
      const float c = TileFbm(sx, sy, 8, 6, 901u);
      const float cover = Smoothstep(0.46f, 0.7f, c) * Smoothstep(0.0f, 0.12f, v) *
                          Smoothstep(1.0f, 0.6f, v);
      const float shade = 0.78f + 0.22f * Smoothstep(0.5f, 0.8f, TileFbm(sx + 0.3f, sy + 0.2f, 8, 4, 902u));
      img.at(x, y) = Mix(sky, Scale({1.0f, 0.99f, 0.97f}, shade), cover * 0.9f);
    }
  }
  SaveImage(root + "/textures/sky.tga", img, false);
}

}  // namespace

void GenerateTextures(const std::string& root) {
  WriteMedal(root);
  WriteLightmap(root);
  WriteShadowmap(root);
  WriteDust(root);
  WriteSky(root);
}
