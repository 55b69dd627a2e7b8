// Pictures for the data generator: float RGB images and grey masks, noise,
// FreeType text, and saving as TGA.  Rows are kept top first (as an image
// viewer shows them); SaveImage turns them bottom first for the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
  float r, g, b;
};

Rgb Mix(Rgb a, Rgb b, float t);
Rgb Scale(Rgb a, float s);
Rgb Hex(uint32_t rgb);  // 0xRRGGBB

// One channel, 0..1 (coverage, height, brightness).
struct Mask {
  int w = 0, h = 0;
  std::vector<float> v;
  Mask() = default;
  Mask(int width, int height, float value = 0.0f);
  float& at(int x, int y) { return v[static_cast<size_t>(y) * w + x]; }
  float at(int x, int y) const { return v[static_cast<size_t>(y) * w + x]; }
  float Sample(float x, float y) const;  // bilinear, clamped at the border
};

struct Image {
  int w = 0, h = 0;
  std::vector<Rgb> px;
  Image() = default;
  Image(int width, int height, Rgb fill = {0, 0, 0});
  Rgb& at(int x, int y) { return px[static_cast<size_t>(y) * w + x]; }
  const Rgb& at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
  // Lays `colour` over the picture through `mask` placed with its top-left
  // corner at (x, y); the mask's value times `opacity` is the coverage.
  void Paint(const Mask& mask, int x, int y, Rgb colour, float opacity = 1.0f);
  // `top` at mask row `from`, `bottom` at row `to` (the whole mask when to <= from).
  void PaintGradient(const Mask& mask, int x, int y, Rgb top, Rgb bottom, int from = 0, int to = 0);
  void Add(const Mask& mask, int x, int y, Rgb colour);
};

// Writes the picture as a TGA file (24 bits, or 32 with alpha = mask when
// `alpha` is given), run-length encoded when asked.  Ends the generator with
// a message when the file cannot be written.
void SaveImage(const std::string& path, const Image& image, bool runLength,
               const Mask* alpha = nullptr);
void SaveMask(const std::string& path, const Mask& mask, bool runLength);

// Deterministic noise: the same numbers on every run and every machine.
uint32_t Hash(int x, int y, uint32_t seed);
float ValueNoise(float x, float y, uint32_t seed);             // 0..1, smooth
float Fbm(float x, float y, int octaves, uint32_t seed);       // about 0..1
float TileFbm(float x, float y, int period, int octaves, uint32_t seed);  // wraps every `period` in x
float Smoothstep(float e0, float e1, float x);
float Clamp01(float x);
float Clamp(float x, float lo, float hi);

// Fills a polygon (corners in pixels, any winding) into the mask, anti-aliased
// by 4 x 4 samples per pixel.
void FillPolygon(Mask* mask, const std::vector<float>& xy);
// A thick line from (x0, y0) to (x1, y1) as a filled quadrilateral.
void FillLine(Mask* mask, float x0, float y0, float x1, float y1, float width);
// A filled disc.
void FillDisc(Mask* mask, float cx, float cy, float radius);

// Grows the mask's values outward (a soft glow or shadow): box blur repeated.
Mask Blur(const Mask& mask, int radius, int passes = 3);
// The mask enlarged by `pad` pixels on every side.
Mask Pad(const Mask& mask, int pad);
// Maximum of the mask over a disc of `radius` pixels (a thick outline).
Mask Dilate(const Mask& mask, int radius);

// Text from a font file: the anti-aliased coverage of `text` at `pixelSize`
// (em size), squeezed horizontally by `xScale`.  `baseline` receives the
// row of the baseline inside the returned mask, whose height is the font's
// full line (ascender to descender) and width the pen advance.
Mask RenderText(const std::string& fontFile, const std::string& text, float pixelSize,
                float xScale = 1.0f, int* baseline = nullptr);
// One glyph tightly cropped; `left`/`top` are its offset from the pen
// position (top measured upward from the baseline), `advance` in pixels.
Mask RenderGlyph(const std::string& fontFile, uint32_t code, float pixelSize, float xScale,
                 int* left, int* top, float* advance);
// Vertical metrics of a face at `pixelSize`: ascender above and descender
// below the baseline (positive), and the height of a capital letter.
void FontMetrics(const std::string& fontFile, float pixelSize, float* ascender,
                 float* descender, float* capHeight);

// Font files of Debian's DejaVu package.
extern const char* const kFontBold;       // the plain bold sans
extern const char* const kFontCondensed;  // condensed bold sans
extern const char* const kFontSerif;      // bold serif
extern const char* const kFontOblique;    // bold oblique sans

// Ends the generator with a message (a missing font, an unwritable file).
[[noreturn]] void Fail(const std::string& message);
// Makes the folder and its parents.
void MakeFolder(const std::string& path);
