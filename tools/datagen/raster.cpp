// Pictures for the data generator: images, masks, noise, text, TGA output.
#include "raster.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "assets/tga_write.h"

const char* const kFontBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const char* const kFontCondensed = "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";
const char* const kFontSerif = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf";
const char* const kFontOblique = "/usr/share/fonts/truetype/dejavu/DejaVuSans-BoldOblique.ttf";

void Fail(const std::string& message) {
  std::fprintf(stderr, "quibbit-datagen: %s\n", message.c_str());
  std::exit(1);
}

void MakeFolder(const std::string& path) {
  for (size_t at = 1; at <= path.size(); at++) {
    if (at == path.size() || path[at] == '/') {
      const std::string part = path.substr(0, at);
      if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) Fail("cannot make folder " + part);
    }
  }
}

Rgb Mix(Rgb a, Rgb b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Rgb Scale(Rgb a, float s) { return {a.r * s, a.g * s, a.b * s}; }
Rgb Hex(uint32_t rgb) {
  return {((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f, (rgb & 255) / 255.0f};
}

float Clamp(float x, float lo, float hi) { return x < lo ? lo : (x > hi ? hi : x); }
float Clamp01(float x) { return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x); }
float Smoothstep(float e0, float e1, float x) {
  const float t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3.0f - 2.0f * t);
}

Mask::Mask(int width, int height, float value)
    : w(width), h(height), v(static_cast<size_t>(width) * height, value) {}

float Mask::Sample(float x, float y) const {
  x = std::min(std::max(x, 0.0f), static_cast<float>(w - 1));
  y = std::min(std::max(y, 0.0f), static_cast<float>(h - 1));
  const int x0 = static_cast<int>(x), y0 = static_cast<int>(y);
  const int x1 = std::min(x0 + 1, w - 1), y1 = std::min(y0 + 1, h - 1);
  const float fx = x - x0, fy = y - y0;
  const float top = at(x0, y0) + (at(x1, y0) - at(x0, y0)) * fx;
  const float bottom = at(x0, y1) + (at(x1, y1) - at(x0, y1)) * fx;
  return top + (bottom - top) * fy;
}

Image::Image(int width, int height, Rgb fill)
    : w(width), h(height), px(static_cast<size_t>(width) * height, fill) {}

void Image::Paint(const Mask& mask, int x, int y, Rgb colour, float opacity) {
  for (int my = 0; my < mask.h; my++) {
    const int iy = y + my;
    if (iy < 0 || iy >= h) continue;
    for (int mx = 0; mx < mask.w; mx++) {
      const int ix = x + mx;
      if (ix < 0 || ix >= w) continue;
      const float a = mask.at(mx, my) * opacity;
      if (a > 0.0f) at(ix, iy) = Mix(at(ix, iy), colour, Clamp01(a));
    }
  }
}

void Image::PaintGradient(const Mask& mask, int x, int y, Rgb top, Rgb bottom, int from, int to) {
  if (to <= from) from = 0, to = mask.h - 1;
  for (int my = 0; my < mask.h; my++) {
    const int iy = y + my;
    if (iy < 0 || iy >= h) continue;
    const Rgb colour = Mix(top, bottom, to > from ? Clamp01((my - from) / static_cast<float>(to - from)) : 0.0f);
    for (int mx = 0; mx < mask.w; mx++) {
      const int ix = x + mx;
      if (ix < 0 || ix >= w) continue;
      const float a = mask.at(mx, my);
      if (a > 0.0f) at(ix, iy) = Mix(at(ix, iy), colour, Clamp01(a));
    }
  }
}

void Image::Add(const Mask& mask, int x, int y, Rgb colour) {
  for (int my = 0; my < mask.h; my++) {
    const int iy = y + my;
    if (iy < 0 || iy >= h) continue;
    for (int mx = 0; mx < mask.w; mx++) {
      const int ix = x + mx;
      if (ix < 0 || ix >= w) continue;
      const float a = mask.at(mx, my);
      Rgb& p = at(ix, iy);
      p = {p.r + colour.r * a, p.g + colour.g * a, p.b + colour.b * a};
    }
  }
}

namespace {

uint8_t ToByte(float v) {
  return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0f));
}

void WriteFile(const std::string& path, int w, int h, int bits, const std::vector<uint8_t>& data,
               bool runLength) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) Fail("cannot write " + path);
  const bool ok = WriteTga(file, w, h, bits, data.data(), runLength);
  if (std::fclose(file) != 0 || !ok) Fail("cannot write " + path);
}

}  // namespace

void SaveImage(const std::string& path, const Image& image, bool runLength, const Mask* alpha) {
  const int bpp = alpha != nullptr ? 4 : 3;
  std::vector<uint8_t> data(static_cast<size_t>(image.w) * image.h * bpp);
  size_t o = 0;
  for (int y = image.h - 1; y >= 0; y--) {
    for (int x = 0; x < image.w; x++) {
      const Rgb& p = image.at(x, y);
      data[o++] = ToByte(p.b);
      data[o++] = ToByte(p.g);
      data[o++] = ToByte(p.r);
      if (alpha != nullptr) data[o++] = ToByte(alpha->at(x, y));
    }
  }
  WriteFile(path, image.w, image.h, bpp * 8, data, runLength);
}

void SaveMask(const std::string& path, const Mask& mask, bool runLength) {
  Image image(mask.w, mask.h);
  for (size_t i = 0; i < mask.v.size(); i++) image.px[i] = {mask.v[i], mask.v[i], mask.v[i]};
  SaveImage(path, image, runLength);
}

uint32_t Hash(int x, int y, uint32_t seed) {
  uint32_t h = seed * 0x9E3779B9u ^ static_cast<uint32_t>(x) * 0x85EBCA6Bu ^
               static_cast<uint32_t>(y) * 0xC2B2AE35u;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}

namespace {
float Lattice(int x, int y, uint32_t seed) { return (Hash(x, y, seed) & 0xFFFFFF) / 16777215.0f; }
float Fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

float NoiseWrapped(float x, float y, int period, uint32_t seed) {
  const float fx0 = std::floor(x), fy0 = std::floor(y);
  int x0 = static_cast<int>(fx0), y0 = static_cast<int>(fy0);
  const float tx = Fade(x - fx0), ty = Fade(y - fy0);
  int x1 = x0 + 1;
  if (period > 0) {
    x0 = ((x0 % period) + period) % period;
    x1 = ((x1 % period) + period) % period;
  }
  const float a = Lattice(x0, y0, seed), b = Lattice(x1, y0, seed);
  const float c = Lattice(x0, y0 + 1, seed), d = Lattice(x1, y0 + 1, seed);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}
}  // namespace

float ValueNoise(float x, float y, uint32_t seed) { return NoiseWrapped(x, y, 0, seed); }

float Fbm(float x, float y, int octaves, uint32_t seed) {
  float sum = 0.0f, amp = 0.5f, norm = 0.0f;
  for (int o = 0; o < octaves; o++) {
    sum += ValueNoise(x, y, seed + o * 101u) * amp;
    norm += amp;
    amp *= 0.5f;
    x *= 2.03f;
    y *= 2.03f;
  }
  return sum / norm;
}

float TileFbm(float x, float y, int period, int octaves, uint32_t seed) {
  float sum = 0.0f, amp = 0.5f, norm = 0.0f;
  for (int o = 0; o < octaves; o++) {
    sum += NoiseWrapped(x, y, period, seed + o * 101u) * amp;
    norm += amp;
    amp *= 0.5f;
    x *= 2.0f;
    y *= 2.0f;
    period *= 2;
  }
  return sum / norm;
}

void FillPolygon(Mask* mask, const std::vector<float>& xy) {
  const size_t n = xy.size() / 2;
  float x0 = 1e9f, x1 = -1e9f, y0 = 1e9f, y1 = -1e9f;
  for (size_t i = 0; i < n; i++) {
    x0 = std::min(x0, xy[2 * i]), x1 = std::max(x1, xy[2 * i]);
    y0 = std::min(y0, xy[2 * i + 1]), y1 = std::max(y1, xy[2 * i + 1]);
  }
  for (int y = std::max(0, static_cast<int>(y0)); y <= std::min(mask->h - 1, static_cast<int>(y1)); y++) {
    for (int x = std::max(0, static_cast<int>(x0)); x <= std::min(mask->w - 1, static_cast<int>(x1)); x++) {
      int inside = 0;
      for (int sy = 0; sy < 4; sy++) {
        for (int sx = 0; sx < 4; sx++) {
          const float px = x + (sx + 0.5f) / 4.0f, py = y + (sy + 0.5f) / 4.0f;
          bool in = false;
          for (size_t i = 0, j = n - 1; i < n; j = i++) {
            const float xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
            if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi) in = !in;
          }
          inside += in ? 1 : 0;
        }
      }
      mask->at(x, y) = std::max(mask->at(x, y), inside / 16.0f);
    }
  }
}

void FillLine(Mask* mask, float x0, float y0, float x1, float y1, float width) {
  const float dx = x1 - x0, dy = y1 - y0, len = std::sqrt(dx * dx + dy * dy);
  if (len <= 0.0f) return;
  const float nx = -dy / len * width / 2, ny = dx / len * width / 2;
  FillPolygon(mask, {x0 + nx, y0 + ny, x1 + nx, y1 + ny, x1 - nx, y1 - ny, x0 - nx, y0 - ny});
}

void FillDisc(Mask* mask, float cx, float cy, float radius) {
  for (int y = std::max(0, static_cast<int>(cy - radius - 1)); y <= std::min(mask->h - 1, static_cast<int>(cy + radius + 1)); y++) {
    for (int x = std::max(0, static_cast<int>(cx - radius - 1)); x <= std::min(mask->w - 1, static_cast<int>(cx + radius + 1)); x++) {
      const float d = std::sqrt((x + 0.5f - cx) * (x + 0.5f - cx) + (y + 0.5f - cy) * (y + 0.5f - cy));
      mask->at(x, y) = std::max(mask->at(x, y), Clamp01(radius + 0.5f - d));
    }
  }
}

Mask Blur(const Mask& mask, int radius, int passes) {
  Mask a = mask, b(mask.w, mask.h);
  const float n = 2.0f * radius + 1.0f;
  for (int p = 0; p < passes; p++) {
    for (int y = 0; y < a.h; y++) {
      for (int x = 0; x < a.w; x++) {
        float s = 0.0f;
        for (int k = -radius; k <= radius; k++) {
          const int xx = x + k;
          if (xx >= 0 && xx < a.w) s += a.at(xx, y);
        }
        b.at(x, y) = s / n;
      }
    }
    for (int y = 0; y < a.h; y++) {
      for (int x = 0; x < a.w; x++) {
        float s = 0.0f;
        for (int k = -radius; k <= radius; k++) {
          const int yy = y + k;
          if (yy >= 0 && yy < a.h) s += b.at(x, yy);
        }
        a.at(x, y) = s / n;
      }
    }
  }
  return a;
}

Mask Pad(const Mask& mask, int pad) {
  Mask out(mask.w + 2 * pad, mask.h + 2 * pad);
  for (int y = 0; y < mask.h; y++) {
    for (int x = 0; x < mask.w; x++) out.at(x + pad, y + pad) = mask.at(x, y);
  }
  return out;
}

Mask Dilate(const Mask& mask, int radius) {
  Mask out(mask.w, mask.h);
  for (int y = 0; y < mask.h; y++) {
    for (int x = 0; x < mask.w; x++) {
      float best = 0.0f;
      for (int dy = -radius; dy <= radius; dy++) {
        for (int dx = -radius; dx <= radius; dx++) {
          const float d = std::sqrt(static_cast<float>(dx * dx + dy * dy));
          if (d > radius + 0.5f) continue;
          const int xx = x + dx, yy = y + dy;
          if (xx < 0 || yy < 0 || xx >= mask.w || yy >= mask.h) continue;
          const float edge = Clamp01(radius + 0.5f - d);
          best = std::max(best, mask.at(xx, yy) * edge);
        }
      }
      out.at(x, y) = best;
    }
  }
  return out;
}

namespace {

// The FreeType library and the faces opened so far, by file name.
struct FontCache {
  FT_Library library = nullptr;
  std::map<std::string, FT_Face> faces;
};
FontCache gFonts;  // filled on first use, kept for the generator's whole run (never reset)

FT_Face Face(const std::string& file) {
  if (gFonts.library == nullptr && FT_Init_FreeType(&gFonts.library) != 0) Fail("FreeType would not start");
  auto found = gFonts.faces.find(file);
  if (found != gFonts.faces.end()) return found->second;
  FT_Face face = nullptr;
  if (FT_New_Face(gFonts.library, file.c_str(), 0, &face) != 0) {
    Fail("cannot open font " + file + " (install fonts-dejavu-core)");
  }
  gFonts.faces[file] = face;
  return face;
}

FT_Face Sized(const std::string& file, float pixelSize, float xScale) {
  FT_Face face = Face(file);
  FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(pixelSize * 64.0f)), 72, 72);
  FT_Matrix matrix = {static_cast<FT_Fixed>(std::lround(xScale * 65536.0f)), 0, 0, 0x10000};
  FT_Set_Transform(face, &matrix, nullptr);
  return face;
}

}  // namespace

void FontMetrics(const std::string& fontFile, float pixelSize, float* ascender, float* descender,
                 float* capHeight) {
  FT_Face face = Sized(fontFile, pixelSize, 1.0f);
  *ascender = face->size->metrics.ascender / 64.0f;
  *descender = -face->size->metrics.descender / 64.0f;
  if (FT_Load_Char(face, 'H', FT_LOAD_DEFAULT) != 0) Fail("font has no H: " + fontFile);
  *capHeight = face->glyph->metrics.horiBearingY / 64.0f;
}

Mask RenderGlyph(const std::string& fontFile, uint32_t code, float pixelSize, float xScale,
                 int* left, int* top, float* advance) {
  FT_Face face = Sized(fontFile, pixelSize, xScale);
  if (FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) != 0) {
    Fail("font has no glyph for a character: " + fontFile);
  }
  const FT_GlyphSlot slot = face->glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  Mask out(static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows));
  for (int y = 0; y < out.h; y++) {
    for (int x = 0; x < out.w; x++) out.at(x, y) = bitmap.buffer[y * bitmap.pitch + x] / 255.0f;
  }
  *left = slot->bitmap_left;
  *top = slot->bitmap_top;
  *advance = slot->advance.x / 64.0f;
  return out;
}

Mask RenderText(const std::string& fontFile, const std::string& text, float pixelSize,
                float xScale, int* baseline) {
  float ascender = 0, descender = 0, cap = 0;
  FontMetrics(fontFile, pixelSize, &ascender, &descender, &cap);
  FT_Face face = Sized(fontFile, pixelSize, xScale);
  // First pass: the pen positions (with kerning), to size the mask.
  std::vector<float> pens;
  float pen = 0.0f;
  FT_UInt previous = 0;
  for (unsigned char c : text) {
    const FT_UInt index = FT_Get_Char_Index(face, c);
    if (previous != 0 && index != 0) {
      FT_Vector kern;
      FT_Get_Kerning(face, previous, index, FT_KERNING_UNFITTED, &kern);
      pen += kern.x / 64.0f * xScale;
    }
    pens.push_back(pen);
    FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING);
    pen += face->glyph->advance.x / 64.0f;
    previous = index;
  }
  const int base = static_cast<int>(std::ceil(ascender)) + 2;
  Mask out(static_cast<int>(std::ceil(pen)) + 8, base + static_cast<int>(std::ceil(descender)) + 4);
  for (size_t i = 0; i < text.size(); i++) {
    int left = 0, top = 0;
    float advance = 0.0f;
    // Sub-pixel pen positions are kept by rendering each glyph shifted.
    const float frac = pens[i] - std::floor(pens[i]);
    FT_Face f = Sized(fontFile, pixelSize, xScale);
    FT_Matrix matrix = {static_cast<FT_Fixed>(std::lround(xScale * 65536.0f)), 0, 0, 0x10000};
    FT_Vector delta = {static_cast<FT_Pos>(std::lround(frac * 64.0f)), 0};
    FT_Set_Transform(f, &matrix, &delta);
    if (FT_Load_Char(f, static_cast<unsigned char>(text[i]), FT_LOAD_RENDER | FT_LOAD_NO_HINTING) != 0) {
      Fail("font has no glyph for a character: " + fontFile);
    }
    const FT_Bitmap& bitmap = f->glyph->bitmap;
    left = f->glyph->bitmap_left;
    top = f->glyph->bitmap_top;
    (void)advance;
    const int ox = static_cast<int>(std::floor(pens[i])) + left + 4;
    const int oy = base - top;
    for (int y = 0; y < static_cast<int>(bitmap.rows); y++) {
      for (int x = 0; x < static_cast<int>(bitmap.width); x++) {
        const int tx = ox + x, ty = oy + y;
        if (tx < 0 || ty < 0 || tx >= out.w || ty >= out.h) continue;
        const float a = bitmap.buffer[y * bitmap.pitch + x] / 255.0f;
        out.at(tx, ty) = std::min(1.0f, out.at(tx, ty) + a);
      }
    }
  }
  if (baseline != nullptr) *baseline = base;
  return out;
}
