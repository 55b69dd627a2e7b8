// Menu pictures: the button labels (white on black: black is see-through
// when the game draws them), the title background, the start-up logo and
// the mouse pointer.
#include <algorithm>
#include <cmath>

#include "datagen.h"
#include "raster.h"

namespace {

enum class Align { kCentre, kRight };

struct ButtonPicture {
  const char* file;
  const char* words;
  int width, height;
  Align align;  // set-up and option labels sit at the right: their value is printed beside them
  bool arrow = false;  // a start button: a forward arrow follows the words
};

const ButtonPicture kButtons[] = {
    {"singlerace", "Single Race", 256, 64, Align::kCentre},
    {"tournament", "Tournament", 256, 64, Align::kCentre},
    {"multiplayer", "Multiplayer", 256, 64, Align::kCentre},
    {"options", "Options", 256, 64, Align::kCentre},
    {"credits", "Credits", 256, 64, Align::kCentre},
    {"quit", "Quit", 128, 64, Align::kCentre},
    {"race", "Race", 128, 64, Align::kCentre, true},
    {"gamemode", "Game Mode", 256, 32, Align::kRight},
    {"flimsel", "Track", 256, 32, Align::kRight},
    {"players", "Players", 256, 32, Align::kRight},
    {"opponents", "Opponents", 256, 32, Align::kRight},
    {"difficulty", "Difficulty", 256, 32, Align::kRight},
    {"laps", "Laps", 256, 32, Align::kRight},
    {"timelimit", "Time Limit", 256, 32, Align::kRight},
    {"host", "Host", 128, 64, Align::kCentre},
    {"join", "Join", 128, 64, Align::kCentre},
    {"player", "Player", 256, 32, Align::kRight},
    {"address", "Address", 256, 32, Align::kRight},
    {"audio", "Audio", 256, 32, Align::kCentre},
    {"musicvolume", "Music Volume", 512, 32, Align::kRight},
    {"soundeffectsvolume", "Effects Volume", 512, 32, Align::kRight},
    {"graphics", "Graphics", 256, 32, Align::kCentre},
    {"resolution", "Resolution", 256, 32, Align::kRight},
    {"colordepth", "Colour Depth", 256, 32, Align::kRight},
    {"apply", "Apply", 128, 64, Align::kCentre},
    {"shadows", "Shadows", 256, 32, Align::kRight},
    {"dust", "Dust", 256, 32, Align::kRight},
    {"terraindetail", "Terrain Detail", 256, 32, Align::kRight},
    {"drawfps", "Show FPS", 256, 32, Align::kRight},
    {"targetfps", "Target Frame Rate", 256, 32, Align::kRight},
    {"controllers", "Controllers", 256, 32, Align::kCentre},
    {"accelerate", "Accelerate", 256, 32, Align::kRight},
    {"deccelerate", "Brake", 256, 32, Align::kRight},
    {"steering", "Steering", 256, 32, Align::kRight},
    {"mousesensitivity", "Mouse Sensitivity", 256, 32, Align::kRight},
    {"left", "Left", 256, 32, Align::kRight},
    {"right", "Right", 256, 32, Align::kRight},
    {"camera", "Camera", 256, 32, Align::kRight},
    {"continue", "Continue", 256, 64, Align::kCentre},
    {"restart", "Restart", 256, 64, Align::kCentre},
    {"back", "Back", 128, 64, Align::kCentre},
    {"replay", "Replay", 256, 64, Align::kCentre},
    {"display", "Display", 256, 32, Align::kRight},
};

// The smallest box holding every value above `threshold`.
void InkBounds(const Mask& m, int* x0, int* y0, int* x1, int* y1) {
  *x0 = m.w, *y0 = m.h, *x1 = -1, *y1 = -1;
  for (int y = 0; y < m.h; y++) {
    for (int x = 0; x < m.w; x++) {
      if (m.at(x, y) > 0.02f) {
        *x0 = std::min(*x0, x), *x1 = std::max(*x1, x);
        *y0 = std::min(*y0, y), *y1 = std::max(*y1, y);
      }
    }
  }
}

void WriteButton(const std::string& root, const ButtonPicture& b) {
  // Letters: a capital as tall as 40 % of the picture (big buttons) or 50 %
  // (the 32-pixel labels), narrowed if the words would not fit.
  const float capShare = b.height >= 64 ? 0.42f : 0.5f;
  float asc = 0, desc = 0, cap = 0;
  FontMetrics(kFontBold, 100.0f, &asc, &desc, &cap);
  float size = b.height * capShare * 100.0f / cap;
  const int margin = b.height >= 64 ? 10 : 8;
  int baseline = 0;
  Mask text = RenderText(kFontBold, b.words, size, 1.0f, &baseline);
  int x0, y0, x1, y1;
  InkBounds(text, &x0, &y0, &x1, &y1);
  // The arrow is as tall as the capitals and follows the words after a gap.
  const int arrowSize = b.arrow ? static_cast<int>(b.height * capShare) : 0;
  const int arrowSpace = b.arrow ? arrowSize + 5 : 0;
  const int limit = b.width - 2 * margin - arrowSpace;
  if (x1 - x0 + 1 > limit) {
    const float squeeze = static_cast<float>(limit) / (x1 - x0 + 1);
    text = RenderText(kFontBold, b.words, size, squeeze * 0.98f, &baseline);
    InkBounds(text, &x0, &y0, &x1, &y1);
  }
  const int inkWidth = x1 - x0 + 1;
  const int capTop = baseline - static_cast<int>(std::lround(size * cap / 100.0f));
  // The capitals are centred vertically; descenders may hang below.
  const int capPixels = baseline - capTop;
  const int top = (b.height - capPixels) / 2 - capTop;
  const int left = b.align == Align::kCentre ? (b.width - inkWidth - arrowSpace) / 2 - x0
                                             : b.width - margin - inkWidth - arrowSpace - x0;
  Image picture(b.width, b.height);
  // A faint halo lets the hover colour glow round the letters.
  const int pad = 6;
  Mask halo = Blur(Pad(text, pad), 2, 3);
  picture.Paint(halo, left - pad, top - pad, {1, 1, 1}, 0.35f);
  // White at the top of the capitals, a little greyer at the baseline.
  picture.PaintGradient(text, left, top, {1.0f, 1.0f, 1.0f}, {0.75f, 0.75f, 0.75f}, capTop + 1, baseline);
  if (b.arrow) {
    Mask arrow(b.width, b.height);
    const float ax = static_cast<float>(left + x0 + inkWidth + 5);
    const float ay = static_cast<float>(top + capTop);
    const float s = static_cast<float>(arrowSize);
    FillPolygon(&arrow, {ax, ay, ax + s * 0.9f, ay + s * 0.5f, ax, ay + s});
    picture.Paint(Blur(arrow, 2, 3), 0, 0, {1, 1, 1}, 0.35f);
    picture.Paint(arrow, 0, 0, {1, 1, 1});
  }
  SaveImage(root + "/menu/" + b.file + ".tga", picture, true);
}

// Height of a layered ridge line at column x (0..1), for the background.
float Ridge(float x, float base, float amp, float freq, uint32_t seed) {
  return base + amp * (Fbm(x * freq, 0.5f, 5, seed) - 0.5f) * 2.0f;
}

void WriteBackground(const std::string& root) {
  const int w = 1024, h = 768;
  Image img(w, h);
  const float horizon = 0.60f;
  const Rgb zenith = Hex(0x141838), mid = Hex(0x5b3a78), glow = Hex(0xf08a3c), haze = Hex(0xffd08a);
  const float sunX = 0.74f, sunY = horizon - 0.05f;
  for (int y = 0; y < h; y++) {
    const float fy = y / static_cast<float>(h);
    for (int x = 0; x < w; x++) {
      const float fx = x / static_cast<float>(w);
      // Sky: deep blue above, warm towards the horizon, brightest near the sun.
      const float t = Clamp01(fy / horizon);
      Rgb c = t < 0.55f ? Mix(zenith, mid, Smoothstep(0.0f, 0.55f, t))
                        : Mix(mid, glow, Smoothstep(0.55f, 1.0f, t));
      const float dx = (fx - sunX) * 1.333f, dy = fy - sunY;
      const float d = std::sqrt(dx * dx + dy * dy);
      c = Mix(c, haze, 0.55f * std::exp(-d * 7.0f));
      if (d < 0.055f) c = Mix(c, Mix(Hex(0xfff6d0), Hex(0xffb45a), Clamp01(d / 0.055f)), Smoothstep(0.055f, 0.05f, d));
      // Streaks of cloud lit from below.
      const float cloud = Fbm(fx * 6.0f, fy * 24.0f, 5, 11u);
      const float band = Smoothstep(0.10f, 0.35f, fy) * Smoothstep(0.58f, 0.40f, fy);
      const float amount = Smoothstep(0.55f, 0.75f, cloud) * band;
      c = Mix(c, Mix(Hex(0x6a3f6a), Hex(0xff9f5a), Clamp01(fy / horizon)), amount * 0.7f);
      img.at(x, y) = c;
    }
  }
  // Three ridges of hills, paler with distance, and the dunes in front.
  struct Layer {
    float base, amp, freq;
    uint32_t seed;
    Rgb colour;
  };
  const Layer layers[] = {
      {horizon - 0.06f, 0.05f, 3.0f, 21u, Hex(0x7a4a78)},
      {horizon - 0.01f, 0.05f, 4.0f, 22u, Hex(0x55325a)},
      {horizon + 0.05f, 0.06f, 2.5f, 23u, Hex(0x3a2238)},
  };
  for (const Layer& layer : layers) {
    for (int x = 0; x < w; x++) {
      const float fx = x / static_cast<float>(w);
      const float top = Ridge(fx, layer.base, layer.amp, layer.freq, layer.seed) * h;
      for (int y = std::max(0, static_cast<int>(top) - 1); y < h; y++) {
        const float a = Clamp01(y + 1.0f - top);
        const float shade = 1.0f - 0.5f * Clamp01((y - top) / (h * 0.25f));
        img.at(x, y) = Mix(img.at(x, y), Scale(layer.colour, shade), a);
      }
    }
  }
  // The foreground: dark dunes with a dirt track sweeping toward the viewer.
  for (int y = static_cast<int>(h * 0.68f); y < h; y++) {
    const float fy = y / static_cast<float>(h);
    const float depth = (fy - 0.68f) / 0.32f;  // 0 far, 1 near
    for (int x = 0; x < w; x++) {
      const float fx = x / static_cast<float>(w);
      const float ground = Ridge(fx, 0.70f, 0.02f, 2.0f, 31u);
      if (fy < ground) continue;
      const float a = Clamp01((fy - ground) * h);
      const float grain = Fbm(fx * 40.0f, fy * 60.0f, 3, 32u);
      Rgb c = Mix(Hex(0x4a2a22), Hex(0x2a1612), depth);
      c = Scale(c, 0.85f + 0.3f * grain);
      // Track: a curve whose width grows toward the viewer.
      const float centre = 0.5f + 0.22f * std::sin(depth * 2.6f + 0.4f) - 0.1f * depth;
      const float half = 0.01f + 0.16f * depth * depth;
      const float off = std::fabs(fx - centre) / half;
      if (off < 1.2f) {
        Rgb dirt = Mix(Hex(0x9a5a34), Hex(0x5a3020), depth);
        dirt = Scale(dirt, 0.85f + 0.3f * grain);
        const float rut = std::exp(-std::pow((off - 0.45f) * 8.0f, 2.0f));
        dirt = Scale(dirt, 1.0f - 0.25f * rut);
        c = Mix(c, dirt, Smoothstep(1.2f, 0.9f, off));
      }
      img.at(x, y) = Mix(img.at(x, y), c, a);
    }
  }
  // A buggy on the track, dark against the evening light, throwing dust.
  {
    const float bx = 604.0f, by = 596.0f, k = 0.8f;  // top-left corner, scale
    Mask car(w, h);
    auto P = [&](std::vector<float> v) {
      for (size_t i = 0; i < v.size(); i += 2) v[i] = bx + v[i] * k, v[i + 1] = by + v[i + 1] * k;
      FillPolygon(&car, v);
    };
    auto L = [&](float x0, float y0, float x1, float y1, float t) {
      FillLine(&car, bx + x0 * k, by + y0 * k, bx + x1 * k, by + y1 * k, t * k);
    };
    P({10, 62, 25, 50, 70, 48, 95, 40, 130, 42, 175, 50, 195, 58, 190, 68, 170, 68, 150, 62, 140, 68, 68, 68, 60, 62,
       32, 62, 22, 68, 10, 68});
    L(82, 44, 96, 12, 6);
    L(96, 12, 140, 14, 6);
    L(140, 14, 152, 44, 6);
    L(110, 13, 124, 42, 5);
    P({168, 30, 198, 25, 199, 32, 170, 36});
    L(182, 34, 178, 50, 5);
    FillDisc(&car, bx + 45 * k, by + 78 * k, 21 * k);
    FillDisc(&car, bx + 160 * k, by + 78 * k, 21 * k);
    Mask dust(w, h);
    for (int y = static_cast<int>(by - 40); y < std::min(h, static_cast<int>(by + 90)); y++) {
      for (int x = static_cast<int>(bx - 180); x < static_cast<int>(bx + 40); x++) {
        const float u = (bx + 30 - x) / 200.0f, v = (by + 70 - y) / (30.0f + 80.0f * u);
        const float puff = Fbm(x / 22.0f, y / 22.0f, 4, 55u);
        dust.at(x, y) = Clamp01(Smoothstep(1.0f, 0.2f, u) * Smoothstep(0.0f, 0.1f, u) *
                                Smoothstep(1.0f, 0.3f, std::fabs(v - 0.35f) * 2.0f) * (puff * 1.6f - 0.3f));
      }
    }
    img.Paint(Blur(dust, 3, 2), 0, 0, Hex(0xc89060), 0.8f);
    img.Paint(Blur(car, 2, 2), 4, 4, {0, 0, 0}, 0.5f);
    img.Paint(car, 0, 0, Hex(0x1c1010));
    // Rim light from the sun on the car's upper right edges.
    Mask rim(w, h);
    for (int y = 1; y < h; y++) {
      for (int x = 0; x + 1 < w; x++) rim.at(x, y) = Clamp01(car.at(x, y) - 0.5f * (car.at(x + 1, y - 1) + car.at(x + 1, y)));
    }
    img.Add(rim, 0, 0, Hex(0xd08040));
  }
  // Darken the middle column behind the buttons and the corners.
  for (int y = 0; y < h; y++) {
    for (int x = 0; x < w; x++) {
      const float fx = x / static_cast<float>(w) - 0.5f, fy = y / static_cast<float>(h) - 0.5f;
      const float column = std::exp(-fx * fx * 18.0f) * Smoothstep(0.2f, 0.32f, y / static_cast<float>(h)) *
                           Smoothstep(0.85f, 0.75f, y / static_cast<float>(h));
      const float vignette = 1.0f - 0.6f * Clamp01((fx * fx + fy * fy) * 1.6f);
      img.at(x, y) = Scale(img.at(x, y), vignette * (1.0f - 0.35f * column));
    }
  }
  // The title: gold letters with a dark rim, a drop shadow and a glint.
  int baseline = 0;
  Mask title = RenderText(kFontOblique, "Quibbit", 150.0f, 1.0f, &baseline);
  int x0, y0, x1, y1;
  InkBounds(title, &x0, &y0, &x1, &y1);
  const int tx = (w - (x1 - x0 + 1)) / 2 - x0;
  const int ty = 30 - y0;
  const int pad = 16;
  Mask rim = Dilate(Pad(title, pad), 6);
  Mask shadow = Blur(rim, 5, 3);
  img.Paint(shadow, tx - pad + 8, ty - pad + 10, {0, 0, 0}, 0.8f);
  img.Paint(rim, tx - pad, ty - pad, Hex(0x2a0e04));
  img.PaintGradient(title, tx, ty, Hex(0xfff0a0), Hex(0xe0601c));
  Mask glint(title.w, title.h);
  for (int y = 0; y < title.h; y++) {
    for (int x = 0; x < title.w; x++) {
      const float band = Smoothstep(0.42f, 0.36f, (y - y0) / static_cast<float>(y1 - y0 + 1));
      glint.at(x, y) = title.at(x, y) * band * 0.35f;
    }
  }
  img.Add(glint, tx, ty, {1, 1, 0.9f});
  int sb = 0;
  Mask sub = RenderText(kFontCondensed, "O F F - R O A D   T A G   &   C H E C K P O I N T   R A C I N G", 17.0f,
                        1.0f, &sb);
  int s0, t0, s1, t1;
  InkBounds(sub, &s0, &t0, &s1, &t1);
  img.Paint(Blur(Pad(sub, 4), 2, 2), (w - (s1 - s0 + 1)) / 2 - s0 - 4 + 2, 30 + (y1 - y0) + 22 - 4 + 2,
            {0, 0, 0}, 0.9f);
  img.Paint(sub, (w - (s1 - s0 + 1)) / 2 - s0, 30 + (y1 - y0) + 22, Hex(0xffe6b0));
  SaveImage(root + "/bg/menu.tga", img, false);
}

// The start-up logo, shown on white in the bottom-right corner at a 5:1
// shape; the picture is 4:1, so it is drawn narrowed by 0.8.
void WriteLogo(const std::string& root) {
  const int w = 512, h = 128;
  Image img(w, h, {1, 1, 1});
  int baseline = 0;
  Mask word = RenderText(kFontOblique, "Quibbit", 86.0f, 0.8f, &baseline);
  int x0, y0, x1, y1;
  InkBounds(word, &x0, &y0, &x1, &y1);
  // A wheel beside the word: tyre, rim, five spokes.
  const float cx = 70.0f, cy = 64.0f;
  for (int y = 0; y < h; y++) {
    for (int x = 0; x < w; x++) {
      const float dx = (x + 0.5f - cx) / 0.8f, dy = y + 0.5f - cy;
      const float r = std::sqrt(dx * dx + dy * dy);
      const float tyre = Smoothstep(50.5f, 49.5f, r) * Smoothstep(30.0f, 31.0f, r);
      const float hub = Smoothstep(12.5f, 11.5f, r);
      const float ang = std::atan2(dy, dx);
      const float spoke = Smoothstep(0.22f, 0.16f, std::fabs(std::sin(ang * 2.5f))) *
                          Smoothstep(31.0f, 30.0f, r) * (r > 11.0f ? 1.0f : 0.0f);
      const float rim = Smoothstep(31.5f, 30.5f, r) * Smoothstep(27.0f, 28.0f, r);
      Rgb& p = img.at(x, y);
      p = Mix(p, Hex(0x222222), tyre);
      p = Mix(p, Hex(0xf07a1c), std::max(rim, std::max(hub, spoke * 0.9f)));
    }
  }
  const int tx = 140 - x0, ty = (h - (y1 - y0 + 1)) / 2 - y0;
  img.PaintGradient(word, tx, ty, Hex(0x3a3a3a), Hex(0x101010));
  Mask underline(x1 - x0 + 1, 5, 1.0f);
  img.Paint(underline, tx + x0, ty + y1 + 6, Hex(0xf07a1c));
  SaveImage(root + "/bg/logo.tga", img, false);
}

// The pointer: a white arrow whose tip sits where the game puts the mouse
// position (one eighth in from the top-left corner of the drawn square).
void WritePointer(const std::string& root) {
  const int n = 64;
  Mask arrow(n, n);
  const float tipX = 8.0f, tipY = 8.0f;
  // An arrow shape: a triangle with a short tail, as a signed distance test
  // on a 4 x 4 grid per pixel.
  const float ax[] = {0.0f, 0.0f, 12.0f, 20.0f, 26.0f, 18.0f, 34.0f};
  const float ay[] = {0.0f, 44.0f, 33.0f, 50.0f, 47.0f, 30.0f, 30.0f};
  const int count = 7;
  for (int y = 0; y < n; y++) {
    for (int x = 0; x < n; x++) {
      int inside = 0;
      for (int sy = 0; sy < 4; sy++) {
        for (int sx = 0; sx < 4; sx++) {
          const float px = x + (sx + 0.5f) / 4.0f - tipX, py = y + (sy + 0.5f) / 4.0f - tipY;
          bool in = false;
          for (int i = 0, j = count - 1; i < count; j = i++) {
            if ((ay[i] > py) != (ay[j] > py) &&
                px < (ax[j] - ax[i]) * (py - ay[i]) / (ay[j] - ay[i]) + ax[i]) {
              in = !in;
            }
          }
          inside += in ? 1 : 0;
        }
      }
      arrow.at(x, y) = inside / 16.0f;
    }
  }
  Image img(n, n);
  img.Paint(Blur(arrow, 2, 2), 0, 0, {1, 1, 1}, 0.35f);
  img.PaintGradient(arrow, 0, 0, {1, 1, 1}, {0.8f, 0.8f, 0.8f});
  SaveImage(root + "/textures/mouse.tga", img, false);
}

}  // namespace

void GenerateMenuPictures(const std::string& root) {
  for (const ButtonPicture& b : kButtons) WriteButton(root, b);
  WriteBackground(root);
  WriteLogo(root);
  WritePointer(root);
}
