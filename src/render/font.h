// Glyph-sheet text: a TGA of 16 x 16 cells, white on black, drawn as
// textured quads in window fractions with a two-pass colour-mask blend.
#pragma once

#include "assets/texture.h"

struct Font {
    float spacing;    // advance per character as a fraction of its size (0.85)
    Texture texture;  // the glyph sheet
};

// Per start-up pass: loaded after the window exists, freed at shut-down.
extern Font gMainFont;  // "data/fonts/arial_black.tga"
extern Font gKeyFont;   // "data/fonts/key.tga": key pictures by key code

void LoadFont(Font& font, const char* path, float spacing);
void FreeFont(Font& font);

// Formats (printf-style, at most 255 characters) and draws text at (x, y)
// in window fractions; align 0 left, 1 centred, 2 right; set 0 or 1 picks
// the sheet's half; size is the half-height of a character.
void PrintText(const Font& font, float x, float y, float red, float green, float blue,
               int align, int set, float size, const char* format, ...)
    __attribute__((format(printf, 10, 11)));

// The sheet cell of character code `c` in `set` (row 0 at the top).
void GlyphCell(char c, int set, int* row, int* column);
