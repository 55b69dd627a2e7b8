// Glyph-sheet text: a TGA of 16 x 16 cells, white on black, drawn as
// textured quads in window fractions with a two-pass colour-mask blend, so
// text of any colour stays readable on any background.
#pragma once

#include "assets/texture.h"

struct Font {
    float spacing;    // advance per character as a fraction of its size (0.85)
    Texture texture;  // the glyph sheet
    bool outlined;    // the sheet's alpha is each glyph with its outline and drop shadow
    // Per cell (row * 16 + column, row 0 at the top) the part that holds
    // ink, as texture coordinates s0, t0, s1, t1; s0 >= s1 for a blank
    // cell.  Glyph quads cover only this part, so that the pixels of the
    // cell's empty margins are never drawn.
    float ink[256][4];
};

// Per start-up pass: loaded after the window exists, freed at shut-down.
extern Font gMainFont;  // "data/fonts/arial_black.tga"
extern Font gKeyFont;   // "data/fonts/key.tga": key pictures by key code

void LoadFont(Font& font, const char* path, float spacing);

// The inked part of each of the sheet's 16 x 16 cells (any channel above
// zero), grown by three texels for the blur of the smaller mipmap levels and
// kept inside its cell; a sheet under 16 texels a side counts as inked
// everywhere.
void MeasureGlyphInk(const TgaImage& image, float ink[256][4]);
void FreeFont(Font& font);

// Formats (printf-style, at most 255 characters) and draws text at (x, y)
// in window fractions; align 0 left, 1 centred, 2 right; set 0 or 1 picks
// the sheet's half; size is the half-height of a character.  The first
// glyph is centred one advance (size * spacing) right of the pen start.
void PrintText(const Font& font, float x, float y, float red, float green, float blue,
               int align, int set, float size, const char* format, ...)
    __attribute__((format(printf, 10, 11)));

// PrintText with a dark outline and drop shadow around every glyph, so that
// race text reads on bright sand and sky alike: one pass blended by the
// sheet's alpha when it has the outlines, else the mask pass repeated at
// offsets of about a tenth of the character's height.
void PrintTextOutlined(const Font& font, float x, float y, float red, float green, float blue,
                       int align, int set, float size, const char* format, ...)
    __attribute__((format(printf, 10, 11)));

// Width in window fractions of a text of `length` characters at `size`,
// from the left edge of its first glyph to the right edge of its last.
float TextWidth(const Font& font, int length, float size);

// The sheet cell of character code `c` (a signed byte) in `set` (row 0 at
// the top): index c + 128 * set - 32, row index / 16, column index % 16.
// Bytes above 127 are negative; a code whose index falls off the 256 cells
// (a UTF-8 player name, say) takes the space of its set.  The key sheet
// relies on the rest: in set 1 key codes 160..255 land in the upper half.
inline void GlyphCell(char c, int set, int* row, int* column)
{
    int index = (signed char)c + 128 * set - 32;
    if (index < 0 || index > 255)
        index = set == 1 ? 128 : 0;
    *row = index / 16;
    *column = index % 16;
}

// Where the pen starts for `length` characters of advance `advance` aligned
// at x (0 left, 1 centred, 2 right); glyph k is centred at start + (k+1) * advance.
inline float TextPenStart(float x, int length, int align, float advance)
{
    if (align == 1)
        return x - (float)length * advance / 2.0f;
    if (align == 2)
        return x - (float)length * advance;
    return x;
}
