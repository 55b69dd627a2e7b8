// Glyph-sheet arithmetic: the cell of a character in each set, codes that
// fall off the sheet, and where the pen starts for each alignment.
#include <gtest/gtest.h>

#include "render/font.h"

namespace {

struct Cell {
    int row, column;
    bool operator==(const Cell& o) const { return row == o.row && column == o.column; }
};

Cell CellOf(int code, int set)
{
    Cell cell;
    GlyphCell((char)code, set, &cell.row, &cell.column);
    return cell;
}

TEST(GlyphCell, PrintableCodesInBothSets)
{
    EXPECT_EQ(CellOf('A', 0), (Cell{2, 1}));   // 65 - 32 = 33
    EXPECT_EQ(CellOf('A', 1), (Cell{10, 1}));  // 65 + 128 - 32 = 161
    EXPECT_EQ(CellOf(' ', 0), (Cell{0, 0}));
    EXPECT_EQ(CellOf(' ', 1), (Cell{8, 0}));
    EXPECT_EQ(CellOf('0', 0), (Cell{1, 0}));   // 48 - 32 = 16
    EXPECT_EQ(CellOf('~', 0), (Cell{5, 14}));  // 94
    EXPECT_EQ(CellOf(127, 1), (Cell{13, 15})); // 223, the last cell a code reaches
}

TEST(GlyphCell, KeyCodesOfTheKeySheetInSetOne)
{
    // Key names are printed as "%c" of their key code in set 1: codes below
    // 32 land in rows 6 and 7, codes from 160 on (negative bytes) in the
    // upper half.
    EXPECT_EQ(CellOf(8, 1), (Cell{6, 8}));      // Backspace: 104
    EXPECT_EQ(CellOf(27, 1), (Cell{7, 11}));    // Escape: 123
    EXPECT_EQ(CellOf(186, 1), (Cell{1, 10}));   // ;  -70 + 96 = 26
    EXPECT_EQ(CellOf(222, 1), (Cell{3, 14}));   // '  -34 + 96 = 62
    EXPECT_EQ(CellOf(255, 1), (Cell{5, 15}));   // 95
}

TEST(GlyphCell, CodesOffTheSheetAreSpaces)
{
    EXPECT_EQ(CellOf(0xC3, 0), (Cell{0, 0}));  // a UTF-8 lead byte: -61 - 32
    EXPECT_EQ(CellOf(128, 0), (Cell{0, 0}));
    EXPECT_EQ(CellOf(10, 0), (Cell{0, 0}));    // a control code: -22
    EXPECT_EQ(CellOf(31, 0), (Cell{0, 0}));
    EXPECT_EQ(CellOf(128, 1), (Cell{8, 0}));   // -128 + 96 = -32
    EXPECT_EQ(CellOf(159, 1), (Cell{8, 0}));   // -97 + 96 = -1
    EXPECT_EQ(CellOf(160, 1), (Cell{0, 0}));   // 0: on the sheet
    // Any set other than 0 and 1 cannot leave the sheet either.
    EXPECT_EQ(CellOf('A', 2), (Cell{0, 0}));
}

TEST(TextPenStart, Alignments)
{
    const float size = 0.02f, advance = size * 0.85f;  // a = 0.017
    EXPECT_FLOAT_EQ(TextPenStart(0.5f, 4, 0, advance), 0.5f);
    EXPECT_FLOAT_EQ(TextPenStart(0.5f, 4, 1, advance), 0.466f);
    EXPECT_FLOAT_EQ(TextPenStart(0.5f, 4, 2, advance), 0.432f);
    // The first glyph of a centred text of n characters: x - n * a / 2 + a.
    for (int n = 1; n <= 9; n++)
        EXPECT_FLOAT_EQ(TextPenStart(0.3f, n, 1, advance) + advance, 0.3f - n * 0.017f / 2 + 0.017f);
}

}  // namespace
