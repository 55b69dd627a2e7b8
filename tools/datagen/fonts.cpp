// Glyph sheets: 16 x 16 cells, row 0 at the top of the picture.  The text
// routine picks cell i = c + 128 * set - 32 (c the character code as a
// signed byte), row i / 16 and column i % 16, both truncated toward zero,
// and the texture repeats; so codes below 32 or above 127 land in cells
// counted from the far edges of the sheet.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "datagen.h"
#include "raster.h"

namespace {

const int kSheet = 1024;
const int kCell = kSheet / 16;

// The cell a code lands in, as the text routine computes it, brought into
// the sheet by the texture's repeat.
void CellOf(int code, int set, int* row, int* col) {
  const int c = static_cast<signed char>(static_cast<unsigned char>(code));
  const int i = c + 128 * set - 32;
  *row = ((i / 16) % 16 + 16) % 16;
  *col = ((i % 16) % 16 + 16) % 16;
}

// One glyph centred across its cell by its advance, its capitals centred
// up and down (the text routine centres each cell on the pen position).
void PlaceGlyph(Image* sheet, const char* font, int code, int row, int col, float em) {
  float asc = 0, desc = 0, cap = 0;
  FontMetrics(font, em, &asc, &desc, &cap);
  int left = 0, top = 0;
  float advance = 0;
  RenderGlyph(font, static_cast<uint32_t>(code), em, 1.0f, &left, &top, &advance);
  // Neighbouring glyphs are about half a cell apart: squeeze the widest.
  const float widest = kCell * 0.58f;
  float squeeze = 1.0f;
  if (advance > widest) squeeze = widest / advance;
  Mask glyph = RenderGlyph(font, static_cast<uint32_t>(code), em, squeeze, &left, &top, &advance);
  const float penX = col * kCell + kCell / 2.0f - advance / 2.0f;
  const int baseline = row * kCell + static_cast<int>(std::lround(kCell / 2.0f + cap / 2.0f));
  const int x = static_cast<int>(std::lround(penX)) + left;
  const int y = baseline - top;
  // Keep ink inside its own cell so that filtering never bleeds across.
  Mask clipped = glyph;
  for (int gy = 0; gy < glyph.h; gy++) {
    for (int gx = 0; gx < glyph.w; gx++) {
      const int sx = x + gx, sy = y + gy;
      if (sx < col * kCell + 1 || sx >= (col + 1) * kCell - 1 || sy < row * kCell + 1 ||
          sy >= (row + 1) * kCell - 1) {
        clipped.at(gx, gy) = 0.0f;
      }
    }
  }
  sheet->Paint(clipped, x, y, {1, 1, 1});
}

// The alpha channel of the glyph sheet: each glyph grown by a dark outline
// of about a sixteenth of the cell's height, plus a drop shadow twice that
// far down and right, kept inside the glyph's own cell.  Race text is drawn
// in one blended pass with it (colour times the glyph's brightness, over
// the screen by this coverage) instead of a mask pass per outline offset.
Mask OutlineCoverage(const Image& sheet) {
  const int kRadius = 4;
  const int kShadowX = 7, kShadowY = 8;
  Mask alpha(sheet.w, sheet.h);
  for (int y = 0; y < sheet.h; y++) {
    const int top = y / kCell * kCell;
    for (int x = 0; x < sheet.w; x++) {
      const int left = x / kCell * kCell;
      auto ink = [&](int sx, int sy) {
        if (sx < left || sx >= left + kCell || sy < top || sy >= top + kCell) return 0.0f;
        return sheet.at(sx, sy).r;
      };
      float a = ink(x - kShadowX, y - kShadowY);
      for (int oy = -kRadius; oy <= kRadius; oy++) {
        for (int ox = -kRadius; ox <= kRadius; ox++) {
          if (ox * ox + oy * oy <= kRadius * kRadius + 1) a = std::max(a, ink(x + ox, y + oy));
        }
      }
      // A blank texel around each cell, as for the ink: no bleeding when filtered.
      const bool border = x == left || x == left + kCell - 1 || y == top || y == top + kCell - 1;
      alpha.at(x, y) = border ? 0.0f : a;
    }
  }
  return alpha;
}

void WriteMainFont(const std::string& root) {
  Image sheet(kSheet, kSheet);
  // Set 0: the plain bold sans.  Set 1: a bold serif, used for the values
  // in the menus and for the viewer's own line in the race standings.
  const char* fonts[2] = {kFontBold, kFontSerif};
  const float ems[2] = {42.0f, 42.0f};
  for (int set = 0; set < 2; set++) {
    for (int code = 33; code < 127; code++) {
      int row = 0, col = 0;
      CellOf(code, set, &row, &col);
      PlaceGlyph(&sheet, fonts[set], code, row, col, ems[set]);
    }
  }
  const Mask outline = OutlineCoverage(sheet);
  SaveImage(root + "/fonts/arial_black.tga", sheet, true, &outline);
}

struct KeyCap {
  int code;
  const char* label;
  bool keypad;  // a small "num" under the label
};

const KeyCap kKeys[] = {
    {8, "Bksp", false},   {9, "Tab", false},    {13, "Enter", false}, {16, "Shift", false},
    {17, "Ctrl", false},  {18, "Alt", false},   {20, "Caps", false},  {27, "Esc", false},
    {32, "Space", false}, {33, "PgUp", false},  {34, "PgDn", false},  {35, "End", false},
    {36, "Home", false},  {37, "\xE2\x86\x90", false}, {38, "\xE2\x86\x91", false},
    {39, "\xE2\x86\x92", false}, {40, "\xE2\x86\x93", false}, {45, "Ins", false},
    {46, "Del", false},   {96, "0", true},      {97, "1", true},      {98, "2", true},
    {99, "3", true},      {100, "4", true},     {101, "5", true},     {102, "6", true},
    {103, "7", true},     {104, "8", true},     {105, "9", true},     {106, "*", true},
    {107, "+", true},     {109, "-", true},     {110, ".", true},     {111, "/", true},
    {186, ";", false},    {187, "=", false},    {188, ",", false},    {189, "-", false},
    {190, ".", false},    {191, "/", false},    {192, "`", false},    {219, "[", false},
    {220, "\\", false},   {221, "]", false},    {222, "'", false},
};

// The character of a label that is one arrow (U+2190 to U+2193, three
// UTF-8 bytes E2 86 90..93), or 0 for a plain ASCII label.
uint32_t ArrowCode(const char* label) {
  const unsigned char* s = reinterpret_cast<const unsigned char*>(label);
  if (s[0] == 0xE2 && s[1] == 0x86 && s[2] >= 0x90 && s[2] <= 0x93) return 0x2190u + (s[2] - 0x90u);
  return 0;
}

// Draws `text` centred at (cx, cy) (capitals centred), at most `maxWidth`.
void CentredLabel(Image* sheet, const std::string& text, float cx, float cy, float em, float maxWidth,
                  float brightness) {
  float asc = 0, desc = 0, cap = 0;
  FontMetrics(kFontCondensed, em, &asc, &desc, &cap);
  int baseline = 0;
  Mask m = RenderText(kFontCondensed, text, em, 1.0f, &baseline);
  int x0 = m.w, x1 = -1;
  for (int y = 0; y < m.h; y++) {
    for (int x = 0; x < m.w; x++) {
      if (m.at(x, y) > 0.02f) x0 = std::min(x0, x), x1 = std::max(x1, x);
    }
  }
  if (x1 < x0) return;
  if (x1 - x0 + 1 > maxWidth) {
    m = RenderText(kFontCondensed, text, em, maxWidth / (x1 - x0 + 1), &baseline);
    x0 = m.w, x1 = -1;
    for (int y = 0; y < m.h; y++) {
      for (int x = 0; x < m.w; x++) {
        if (m.at(x, y) > 0.02f) x0 = std::min(x0, x), x1 = std::max(x1, x);
      }
    }
  }
  const int x = static_cast<int>(std::lround(cx - (x0 + x1 + 1) / 2.0f));
  const int y = static_cast<int>(std::lround(cy + cap / 2.0f)) - baseline;
  sheet->Paint(m, x, y, Scale({1, 1, 1}, brightness));
}

// A keycap filling most of the cell: bright rim, dim face, white label(s).
void DrawKeyCap(Image* sheet, int row, int col, const std::string& top, const std::string& bottom,
                bool keypad) {
  const float x0 = col * kCell + 3.0f, y0 = row * kCell + 3.0f, size = kCell - 6.0f;
  const float radius = 9.0f;
  for (int y = row * kCell; y < (row + 1) * kCell; y++) {
    for (int x = col * kCell; x < (col + 1) * kCell; x++) {
      // Distance to the rounded square's outline.
      const float px = x + 0.5f - (x0 + size / 2.0f), py = y + 0.5f - (y0 + size / 2.0f);
      const float qx = std::fabs(px) - (size / 2.0f - radius), qy = std::fabs(py) - (size / 2.0f - radius);
      const float d = std::sqrt(std::max(qx, 0.0f) * std::max(qx, 0.0f) + std::max(qy, 0.0f) * std::max(qy, 0.0f)) +
                      std::min(std::max(qx, qy), 0.0f) - radius;
      const float inside = Clamp01(0.5f - d);
      const float rim = Clamp01(0.5f - d) * Clamp01(d + 3.5f);
      // The face is lit a little from above.
      const float face = 0.22f + 0.1f * Clamp01(-py / size + 0.5f);
      const float v = std::max(rim * 0.9f, inside * face);
      sheet->at(x, y) = {v, v, v};
    }
  }
  const float cx = col * kCell + kCell / 2.0f, cy = row * kCell + kCell / 2.0f;
  const float width = kCell - 16.0f;
  if (!bottom.empty()) {
    CentredLabel(sheet, top, cx, cy - 11.0f, 17.0f, width, 1.0f);
    CentredLabel(sheet, bottom, cx, cy + 12.0f, 17.0f, width, 1.0f);
    Mask bar(static_cast<int>(width) - 8, 1, 0.6f);
    sheet->Paint(bar, static_cast<int>(cx - bar.w / 2.0f), static_cast<int>(cy), {1, 1, 1});
    return;
  }
  const uint32_t arrow = ArrowCode(top.c_str());
  if (arrow != 0) {
    int left = 0, gtop = 0;
    float advance = 0;
    Mask m = RenderGlyph(kFontBold, arrow, 34.0f, 1.0f, &left, &gtop, &advance);
    sheet->Paint(m, static_cast<int>(std::lround(cx - m.w / 2.0f)), static_cast<int>(std::lround(cy - m.h / 2.0f)),
                 {1, 1, 1});
    return;
  }
  const bool single = top.size() == 1;
  const float em = single ? 30.0f : 19.0f;
  CentredLabel(sheet, top, cx, keypad ? cy - 5.0f : cy, em, width, 1.0f);
  if (keypad) CentredLabel(sheet, "num", cx, cy + 17.0f, 12.0f, width, 0.75f);
}

void WriteKeyFont(const std::string& root) {
  Image sheet(kSheet, kSheet);
  // Letters and digits are plain characters; everything else from the table.
  struct Entry {
    std::string label;
    bool keypad;
    std::string second;  // the label of a second key that lands in the same cell
    int code;
  };
  std::vector<Entry> cells(256);
  std::vector<int> owner(256, -1);
  auto place = [&](int code, const std::string& label, bool keypad) {
    // The controller screen prints each key as "%c" of its code in
    // character set 1, like every other menu value.
    int row = 0, col = 0;
    CellOf(code, 1, &row, &col);
    const int cell = row * 16 + col;
    if (owner[cell] >= 0) {
      cells[cell].second = label;
      std::printf("key sheet: codes %d and %d share row %d column %d\n", owner[cell], code, row, col);
      return;
    }
    owner[cell] = code;
    cells[cell] = {label, keypad, "", code};
  };
  for (int code = 'A'; code <= 'Z'; code++) place(code, std::string(1, static_cast<char>(code)), false);
  for (int code = '0'; code <= '9'; code++) place(code, std::string(1, static_cast<char>(code)), false);
  for (int f = 1; f <= 12; f++) place(111 + f, "F" + std::to_string(f), false);
  for (const KeyCap& k : kKeys) place(k.code, k.label, k.keypad);
  for (int cell = 0; cell < 256; cell++) {
    if (owner[cell] < 0) continue;
    DrawKeyCap(&sheet, cell / 16, cell % 16, cells[cell].label, cells[cell].second, cells[cell].keypad);
  }
  // Key pictures show at about twenty pixels high: drawn at 64-texel cells
  // and kept at 32, a quarter of the texture memory for the same look.
  Image half(kSheet / 2, kSheet / 2);
  for (int y = 0; y < half.h; y++) {
    for (int x = 0; x < half.w; x++) {
      const Rgb& a = sheet.at(2 * x, 2 * y);
      const Rgb& b = sheet.at(2 * x + 1, 2 * y);
      const Rgb& c = sheet.at(2 * x, 2 * y + 1);
      const Rgb& d = sheet.at(2 * x + 1, 2 * y + 1);
      half.at(x, y) = {(a.r + b.r + c.r + d.r) / 4, (a.g + b.g + c.g + d.g) / 4, (a.b + b.b + c.b + d.b) / 4};
    }
  }
  SaveImage(root + "/fonts/key.tga", half, true);
}

}  // namespace

void GenerateFonts(const std::string& root) {
  WriteMainFont(root);
  WriteKeyFont(root);
}
