// Glyph-sheet arithmetic: the cell of a character in each set, codes that
// fall off the sheet, and where the pen starts for each alignment.
#include <gtest/gtest.h>

#include "render/font.h"

namespace {

TEST(GlyphCell, CodesOfBothSetsAndThoseOffTheSheet)
{
    const struct { int code, set, row, column; } cells[] = {
        {'A', 0, 2, 1}, {'A', 1, 10, 1}, {' ', 1, 8, 0}, {'~', 0, 5, 14},
        {127, 1, 13, 15},  // 223, the last cell a code reaches
        // Key names print "%c" of their key code in set 1: codes below 32
        // land in rows 6 and 7, from 160 on (negative bytes) in the upper half.
        {8, 1, 6, 8}, {27, 1, 7, 11}, {186, 1, 1, 10}, {222, 1, 3, 14}, {255, 1, 5, 15},
        // Off the sheet: spaces.  UTF-8 lead bytes, control codes, other sets.
        {0xC3, 0, 0, 0}, {31, 0, 0, 0}, {159, 1, 8, 0}, {'A', 2, 0, 0},
    };
    for (const auto& c : cells) {
        int row = -1, column = -1;
        GlyphCell((char)c.code, c.set, &row, &column);
        EXPECT_EQ(row * 16 + column, c.row * 16 + c.column) << c.code << " in set " << c.set;
    }
}

TEST(TextPenStart, Alignments)
{
    const float advance = 0.02f * 0.85f;  // a = 0.017
    EXPECT_FLOAT_EQ(TextPenStart(0.5f, 4, 1, advance), 0.466f);
    EXPECT_FLOAT_EQ(TextPenStart(0.5f, 4, 2, advance), 0.432f);
    EXPECT_FLOAT_EQ(TextPenStart(0.3f, 3, 1, advance), 0.2745f);  // odd lengths too
}

}  // namespace
