#include <gtest/gtest.h>

#include <algorithm>

#include "screen_fixture.h"

namespace {

TEST(ConsoleText, CarriageReturnIsIgnoredAndLineFeedStartsTheNextRow) {
  ModelScreen s(2, 640, 400);
  s.model.clear();
  s.model.writeText("ab\rcd\n");
  EXPECT_EQ(s.row(0).substr(0, 5), "abcd ");
  EXPECT_EQ(s.model.cursorCol, 0);
  EXPECT_EQ(s.model.cursorRow, 1);
}

TEST(ConsoleText, CharactersTakeTheCurrentAttributeAndOemCode) {
  ModelScreen s(2, 640, 400);
  std::uint8_t oem[256];
  for (int i = 0; i < 256; ++i) oem[i] = static_cast<std::uint8_t>(i);
  oem[0xE9] = 0x82;
  s.model.oemTable = oem;
  s.model.attribute = 0x1E;
  s.model.writeText("\xE9\t");
  EXPECT_EQ(s.cell(0, 0), 0x1E82);
  EXPECT_EQ(s.cell(1, 0), 0x1E09);  // TAB is a glyph, not a movement
  EXPECT_EQ(s.model.cursorCol, 2);
}

TEST(ConsoleText, WritingInTheLastColumnWrapsToTheNextRow) {
  ModelScreen s(2, 80, 64);  // 10 x 4
  s.model.clear();
  s.model.cursorCol = 9;
  s.model.cursorRow = 1;
  s.model.writeByte('x');
  EXPECT_EQ(s.cell(9, 1) & 0xFF, 'x');
  EXPECT_EQ(s.model.cursorCol, 0);
  EXPECT_EQ(s.model.cursorRow, 2);
}

TEST(ConsoleText, WritingTheLastCellScrollsTheWholeScreenUp) {
  ModelScreen s(2, 80, 64);  // 10 x 4
  s.model.clear();
  s.model.writeText("top\nsecond");
  s.model.cursorCol = 9;
  s.model.cursorRow = 3;
  s.model.writeByte('z');
  EXPECT_EQ(s.row(0), "second    ");
  EXPECT_EQ(s.row(2), "         z");
  EXPECT_EQ(s.row(3), "          ");
  EXPECT_EQ(s.model.cursorCol, 0);
  EXPECT_EQ(s.model.cursorRow, 3);
}

TEST(ConsoleText, LineFeedOnTheLastRowGivesABlankRowInTheOldBottomRightAttribute) {
  ModelScreen s(2, 80, 64);
  s.model.attribute = 0x07;
  s.model.clear();
  s.model.attribute = 0x04;  // red
  s.model.putCell(9, 3, 0x0441);
  s.model.cursorRow = 3;
  s.model.writeByte('\n');
  EXPECT_EQ(s.model.cursorRow, 3);
  EXPECT_EQ(s.model.cursorCol, 0);
  for (int c = 0; c < 10; ++c) EXPECT_EQ(s.cell(c, 3), 0x0420) << c;
  EXPECT_EQ(s.cell(9, 2), 0x0441);
}

TEST(ConsoleText, ScrollMovesOnlyTheBox) {
  ModelScreen s(1, 40, 32);  // 5 x 4
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 5; ++c) s.model.putCell(c, r, static_cast<Cell>(0x0700 | ('a' + r * 5 + c)));
  s.model.scroll(1, 3, 1, 3);
  EXPECT_EQ(s.row(0), "abcde");
  EXPECT_EQ(s.row(1), "flmnj");
  EXPECT_EQ(s.row(2), "kqrso");
  EXPECT_EQ(s.row(3), "p   t");
  EXPECT_EQ(s.cell(1, 3), 0x0720);  // attribute of the old cell (3, 3)
}

TEST(ConsoleText, ScrollWithBottomAboveTopOnlyBlanksTheBottomRowInAttributeZero) {
  ModelScreen s(1, 40, 32);
  s.model.attribute = 0x4F;
  s.model.clear();
  s.model.putCell(0, 0, 0x4F41);
  s.model.scroll(0, 4, 2, 1);
  EXPECT_EQ(s.cell(0, 0), 0x4F41);
  for (int c = 0; c < 5; ++c) EXPECT_EQ(s.cell(c, 1), 0x0020);
  EXPECT_EQ(s.cell(0, 2), 0x4F20);
}

TEST(ConsoleText, ScrollWithRightLeftOfLeftOrOutsideTheGridChangesNothingOutside) {
  ModelScreen s(1, 40, 32);  // 5 x 4
  s.model.attribute = 0x07;
  s.model.clear();
  s.model.writeText("hello");
  std::vector<Cell> before = s.model.cells;
  s.model.scroll(3, 2, 0, 3);
  EXPECT_EQ(s.model.cells, before);
  s.model.scroll(9, 200, 9, 200);  // box wholly beyond the grid
  EXPECT_EQ(s.model.cells, before);
  // A box reaching past the grid is cut to it (bytes of a message can say 255).
  s.model.scroll(0, 255, 0, 255);
  EXPECT_EQ(s.row(0), "     ");
  EXPECT_EQ(s.row(3), "     ");
}

TEST(ConsoleText, ClearFillsWithSpacesOfTheAttributeAndHomesTheCursor) {
  ModelScreen s(2, 80, 64);
  s.model.attribute = 0x1F;
  s.model.cursorCol = 5;
  s.model.cursorRow = 2;
  s.model.clear();
  for (Cell cell : s.model.cells) ASSERT_EQ(cell, 0x1F20);
  EXPECT_EQ(s.model.cursorCol, 0);
  EXPECT_EQ(s.model.cursorRow, 0);
}

TEST(ConsoleText, FontSizesTheGridFromTheClientArea) {
  ModelScreen s(2, 1132, 457);
  EXPECT_EQ(s.model.cols, 141);
  EXPECT_EQ(s.model.rows, 28);
  EXPECT_EQ(s.model.cells.size(), 141u * 28u);
  EXPECT_EQ(s.model.cursorFirst, 14);
  EXPECT_EQ(s.model.cursorLast, 15);
  EXPECT_EQ(s.model.selectFont(1, 1132, 457), 1);
  EXPECT_EQ(s.model.rows, 57);
  EXPECT_EQ(s.model.cursorFirst, 6);
  // A new grid is all zero cells and all of it is to be drawn.
  for (std::size_t i = 0; i < s.model.cells.size(); ++i) {
    ASSERT_EQ(s.model.cells[i], 0);
    ASSERT_EQ(s.model.shown[i], 0xFFFF);
  }
}

TEST(ConsoleText, FontZeroDropsTheGridClearsThePictureAndTheScreenIgnoresText) {
  ModelScreen s(2, 320, 200);
  s.model.attribute = 0x1F;  // white on blue: no pixel stays black
  s.model.clear();
  s.model.refresh();
  const auto blank = [](const std::vector<std::uint8_t>& pixels) {
    return std::all_of(pixels.begin(), pixels.end(), [](std::uint8_t b) { return b == 0; });
  };
  ASSERT_FALSE(blank(s.pixels1));
  EXPECT_EQ(s.model.selectFont(0, 320, 200), -1);
  // Nothing is left on screen: a screen without a font shows nothing.
  EXPECT_TRUE(blank(s.pixels1));
  EXPECT_TRUE(blank(s.pixels2));
  EXPECT_EQ(s.model.cols, 0);
  EXPECT_TRUE(s.model.cells.empty());
  s.model.writeText("ignored\n");
  EXPECT_FALSE(s.model.putCell(0, 0, 0x0741));
  EXPECT_EQ(s.model.pointToCell(10, 10), -1);
  // An unknown font keeps the glyph set the screen had.
  EXPECT_EQ(s.model.selectFont(2, 320, 200), 1);
  EXPECT_EQ(s.model.selectFont(7, 320, 200), 1);
  EXPECT_EQ(s.model.font, 2);
  EXPECT_EQ(s.model.rows, 12);
}

TEST(ConsoleText, FrozenScreenRefusesAFontChange) {
  ModelScreen s(2, 320, 200);
  s.model.freeze = kFreezeByScrollLock;
  EXPECT_EQ(s.model.selectFont(1, 320, 200), 2);
  EXPECT_EQ(s.model.font, 2);
  EXPECT_EQ(s.model.rows, 12);
}

TEST(ConsoleText, AClientTooSmallForOneCellGivesNoGridAndWritesAreIgnored) {
  ModelScreen s(2, 7, 400);
  EXPECT_EQ(s.model.cols, 0);
  s.model.writeText("x\ny");  // must not divide by a zero column count
  s.model.scroll(0, 10, 0, 10);
  EXPECT_EQ(s.model.pointToCell(3, 3), -1);
}

TEST(ConsoleText, AHugeClientIsCappedAtTheCellsA16BitIndexCanAddress) {
  ModelScreen s(1, 2048, 2048);  // 256 x 256 would be exactly the limit
  EXPECT_EQ(s.model.cols * s.model.rows, 65536);
  ModelScreen wide(1, 4000, 2000);  // 500 x 250 is more than 16 bits can address
  EXPECT_EQ(wide.model.cols, 500);
  EXPECT_LE(wide.model.cols * wide.model.rows, 65536);
  wide.model.clear();
  wide.model.cursorRow = wide.model.rows - 1;
  wide.model.writeText("end of the grid\n");
  EXPECT_EQ(wide.model.cursorRow, wide.model.rows - 1);
  EXPECT_EQ(wide.row(wide.model.rows - 2).substr(0, 3), "end");
}

TEST(ConsoleText, WritingWithTheCursorOutsideTheGridStaysInsideIt) {
  ModelScreen s(2, 80, 64);  // 10 x 4
  s.model.clear();
  s.model.cursorCol = 200;
  s.model.cursorRow = 77;
  s.model.writeByte('q');  // last cell of the grid: written, then scrolled up
  EXPECT_EQ(s.cell(9, 2) & 0xFF, 'q');
  EXPECT_EQ(s.model.cursorRow, 3);
  s.model.cursorRow = 1000;
  s.model.writeByte('\n');
  EXPECT_EQ(s.model.cursorRow, 3);
}

TEST(ConsoleText, CursorShapeIsTakenModuloTheGlyphHeight) {
  ModelScreen s(1, 80, 64);
  EXPECT_EQ(s.model.setCursorShape(14, 15), 0);
  EXPECT_EQ(s.model.cursorFirst, 6);
  EXPECT_EQ(s.model.cursorLast, 7);
  s.model.freeze = kFreezeBySetFreeze;
  EXPECT_EQ(s.model.setCursorShape(1, 2), -1);
  EXPECT_EQ(s.model.cursorFirst, 6);
  ScreenModel noFont;
  EXPECT_EQ(noFont.setCursorShape(1, 2), -2);
}

TEST(ConsoleText, ColoursChangeTheirHalfOfTheAttribute) {
  ScreenModel m;
  m.attribute = 0x07;
  m.setBackColor(9);  // background 1 plus the blink bit
  EXPECT_EQ(m.attribute, 0x97);
  m.setTextColor(0x1C);
  EXPECT_EQ(m.attribute, 0x9C);
  m.setBackColor(2);
  EXPECT_EQ(m.attribute, 0x2C);
}

TEST(ConsoleText, PutCellChecksTheGridAndLeavesTheCursor) {
  ModelScreen s(2, 80, 64);
  EXPECT_TRUE(s.model.putCell(9, 3, 0x0E41));
  EXPECT_FALSE(s.model.putCell(10, 0, 0x0E41));
  EXPECT_FALSE(s.model.putCell(0, 4, 0x0E41));
  EXPECT_EQ(s.cell(9, 3), 0x0E41);
  EXPECT_EQ(s.model.cursorCol, 0);
  EXPECT_EQ(s.model.cellIndex(3, 2), 23);
  EXPECT_EQ(s.model.cellIndex(0, 7000), (7000 * 10) % 65536);
}

}  // namespace
