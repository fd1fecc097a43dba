#include <gtest/gtest.h>

#include "console/vga_glyphs.h"
#include "screen_fixture.h"

namespace {

bool same(const std::uint8_t* pixel, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
  return pixel[0] == b && pixel[1] == g && pixel[2] == r;
}

TEST(ConsoleGlyphs, TablesAreTheVgaCodePage437Sets) {
  const std::uint8_t letterA16[16] = {0x00, 0x00, 0x10, 0x38, 0x6C, 0xC6, 0xC6, 0xFE,
                                      0xC6, 0xC6, 0xC6, 0xC6, 0x00, 0x00, 0x00, 0x00};
  const std::uint8_t letterA8[8] = {0x30, 0x78, 0xCC, 0xCC, 0xFC, 0xCC, 0xCC, 0x00};
  EXPECT_EQ(0, std::memcmp(kVgaGlyphs8x16 + 'A' * 16, letterA16, 16));
  EXPECT_EQ(0, std::memcmp(kVgaGlyphs8x8 + 'A' * 8, letterA8, 8));
  // Full block 219 and the blank glyphs 0 and 32 of code page 437.
  for (int i = 0; i < 16; ++i) EXPECT_EQ(kVgaGlyphs8x16[219 * 16 + i], 0xFF);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(kVgaGlyphs8x16[32 * 16 + i], 0x00);
}

TEST(ConsolePaint, RedCharacterIsDrawnInPaletteRedOnBlack) {
  ModelScreen s(2, 80, 64);
  s.model.colorMode = 1;
  s.model.attribute = 0x04;
  s.model.writeByte(219);  // full block: every pixel foreground
  s.model.writeByte(' ');  // blank: every pixel background
  s.model.refresh();
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 8; ++x) {
      ASSERT_TRUE(same(s.pixel(1, x, y), 0x00, 0x00, 0x80)) << x << "," << y;
      ASSERT_TRUE(same(s.pixel(1, 8 + x, y), 0, 0, 0)) << x << "," << y;
    }
  // Letter A, row 7 of the glyph is 0xFE: seven foreground pixels and one background.
  s.model.putCell(2, 0, 0x0C41);
  s.model.refresh();
  for (int x = 0; x < 7; ++x) EXPECT_TRUE(same(s.pixel(1, 16 + x, 7), 0x00, 0x00, 0xFF));
  EXPECT_TRUE(same(s.pixel(1, 23, 7), 0, 0, 0));
}

TEST(ConsolePaint, GreyModeDrawsTheMeanOfTheThreeBytes) {
  ModelScreen s(2, 80, 64);
  s.model.colorMode = 0;
  s.model.putCell(0, 0, 0x0CDB);  // bright red full block
  s.model.putCell(1, 0, 0x0ADB);  // bright green: (0x80 + 0xFF + 0) / 3 = 0x7F
  s.model.refresh();
  EXPECT_TRUE(same(s.pixel(1, 3, 3), 0x55, 0x55, 0x55));
  EXPECT_TRUE(same(s.pixel(2, 3, 3), 0x55, 0x55, 0x55));
  EXPECT_TRUE(same(s.pixel(1, 11, 3), 0x7F, 0x7F, 0x7F));
  PixelColour c = drawnColour(kDefaultPalette, 12, 1);
  EXPECT_EQ(c.red, 0xFF);
  EXPECT_EQ(c.blue, 0x00);
}

TEST(ConsolePaint, BlinkingCellIsDrawnOnlyIntoTheFirstSurface) {
  ModelScreen s(2, 80, 64);
  s.model.colorMode = 1;
  s.model.attribute = 0x07;
  s.model.clear();
  s.model.refresh();
  s.model.putCell(0, 0, 0x87DB);  // grey full block, blinking
  s.model.refresh();
  EXPECT_TRUE(same(s.pixel(1, 4, 8), 0x80, 0x80, 0x80));
  EXPECT_TRUE(same(s.pixel(2, 4, 8), 0, 0, 0));  // surface 2 keeps the blank cell
  // The window shows surface 1 for two ticks, then surface 2 for two.
  s.model.blinkCounter = 0;
  int seen[4];
  for (int& v : seen) {
    v = s.model.visibleSurface();
    s.model.refresh();
  }
  EXPECT_EQ(seen[0], 1);
  EXPECT_EQ(seen[1], 1);
  EXPECT_EQ(seen[2], 2);
  EXPECT_EQ(seen[3], 2);
}

TEST(ConsolePaint, RefreshDrawsOnlyChangedCellsAndEverythingAfterMarking) {
  ModelScreen s(2, 1132, 457);
  EXPECT_EQ(s.model.refresh(), 141 * 28);
  EXPECT_EQ(s.model.refresh(), 0);
  s.model.writeText("abc");
  EXPECT_EQ(s.model.refresh(), 3);
  s.model.markAllForRedraw();
  EXPECT_EQ(s.model.refresh(), 141 * 28);
  EXPECT_EQ(s.model.shown, s.model.cells);
}

TEST(ConsolePaint, FrozenScreenKeepsShowingItsSnapshotUntilThawed) {
  ModelScreen s(2, 160, 64);
  s.model.colorMode = 1;
  s.model.attribute = 0x07;
  s.model.clear();
  s.model.refresh();
  s.model.freeze = kFreezeByScrollLock;
  s.model.writeText("late");
  EXPECT_EQ(s.model.refresh(), 0);
  EXPECT_EQ(s.model.shown[0], 0x0720);
  s.model.freeze = 0;
  EXPECT_EQ(s.model.refresh(), 4);
  EXPECT_EQ(s.model.shown[0] & 0xFF, 'l');
  EXPECT_EQ(s.model.snapshot[3] & 0xFF, 'e');
}

TEST(ConsolePaint, CellsInTheSelectionBoxAreInvertedWhileDragging) {
  ModelScreen s(2, 80, 64);
  s.model.colorMode = 1;
  s.model.attribute = 0x07;
  s.model.clear();
  s.model.selStart = s.model.cellIndex(1, 0);
  s.model.selEnd = s.model.cellIndex(1, 1);
  s.model.dragging = true;
  s.model.markAllForRedraw();
  s.model.refresh();
  EXPECT_TRUE(same(s.pixel(1, 0, 0), 0, 0, 0));           // outside: black
  EXPECT_TRUE(same(s.pixel(1, 8, 0), 0xFF, 0xFF, 0xFF));  // inside: inverted black
  EXPECT_TRUE(same(s.pixel(1, 15, 31), 0xFF, 0xFF, 0xFF));
  EXPECT_TRUE(same(s.pixel(2, 8, 20), 0xFF, 0xFF, 0xFF));
  EXPECT_TRUE(same(s.pixel(1, 8, 32), 0, 0, 0));  // row 2 is outside
  s.model.dragging = false;
  s.model.markAllForRedraw();
  s.model.refresh();
  EXPECT_TRUE(same(s.pixel(1, 8, 0), 0, 0, 0));
}

TEST(ConsolePaint, CellsBeyondASmallerSurfaceAreNotDrawn) {
  ModelScreen s(2, 40, 32);
  // The window grew after the surfaces were built: the grid is larger than they are.
  s.model.selectFont(2, 400, 320);
  s.model.colorMode = 1;
  std::fill(s.model.cells.begin(), s.model.cells.end(), Cell{0x0FDB});
  EXPECT_EQ(s.model.refresh(), 50 * 20);  // all cells are brought up to date...
  EXPECT_TRUE(same(s.pixel(1, 39, 31), 0xFF, 0xFF, 0xFF));  // ...those inside drawn
}

TEST(ConsolePaint, SurfaceRowsAreBottomUpAndPaddedToAMultipleOfFour) {
  ModelScreen s(2, 18, 16);  // 2 columns; surfaces 20 pixels wide
  EXPECT_EQ(s.model.surfaceWidth, 20);
  EXPECT_EQ(s.model.cols, 2);
  s.model.colorMode = 1;
  s.model.putCell(1, 0, 0x0FDB);
  s.model.refresh();
  // Text row 0 is at the top of the image: the last rows of pixel memory.
  const std::uint8_t* last = s.pixels1.data() + (15 * 20 + 8) * 3;
  EXPECT_TRUE(same(last, 0xFF, 0xFF, 0xFF));
  EXPECT_TRUE(same(s.pixels1.data() + (15 * 20 + 16) * 3, 0, 0, 0));  // padding cleared
}

TEST(ConsolePaint, CursorFollowsUnlessFrozenAndTakesTheCellColour) {
  ModelScreen s(2, 80, 64);
  s.model.colorMode = 1;
  s.model.attribute = 0x0E;
  s.model.clear();
  s.model.writeText("ab");
  CursorMark mark{};
  s.model.cursorPhase = 1;
  EXPECT_FALSE(s.model.cursorMark(mark));
  s.model.cursorPhase = 0;
  ASSERT_TRUE(s.model.cursorMark(mark));
  EXPECT_EQ(mark.x, 16);
  EXPECT_EQ(mark.y, 0);
  EXPECT_EQ(mark.firstLine, 14);
  EXPECT_EQ(mark.colour.red, 0xFF);
  EXPECT_EQ(mark.colour.green, 0xFF);
  s.model.freeze = kFreezeBySetFreeze;
  s.model.writeText("cd");
  ASSERT_TRUE(s.model.cursorMark(mark));
  EXPECT_EQ(mark.x, 16);
  s.model.freeze = 0;
  ASSERT_TRUE(s.model.cursorMark(mark));
  EXPECT_EQ(mark.x, 32);
}

TEST(ConsoleSelection, OneColumnThreeRowsGivesThreeBytesEachWithCrLf) {
  ModelScreen s(2, 80, 64);
  s.model.clear();
  s.model.writeText("xa\nyb\nzc\n");
  s.model.refresh();
  s.model.selStart = s.model.cellIndex(0, 0);
  s.model.selEnd = s.model.cellIndex(0, 2);
  EXPECT_EQ(s.model.selectionText(), "x\r\ny\r\nz\r\n");
  CellBox box{};
  ASSERT_TRUE(s.model.selectionBox(box));
  EXPECT_EQ(selectionBlockBytes(box), 10);
  // Dragging the other way marks the same box.
  std::swap(s.model.selStart, s.model.selEnd);
  EXPECT_EQ(s.model.selectionText(), "x\r\ny\r\nz\r\n");
  s.model.selStart = s.model.cellIndex(1, 2);
  s.model.selEnd = s.model.cellIndex(0, 1);
  EXPECT_EQ(s.model.selectionText(), "yb\r\nzc\r\n");
}

TEST(ConsoleSelection, CopyReadsWhatIsShownNotWhatWasWritten) {
  ModelScreen s(2, 80, 64);
  s.model.clear();
  s.model.refresh();
  s.model.writeText("new");
  s.model.selStart = 0;
  s.model.selEnd = 2;
  EXPECT_EQ(s.model.selectionText(), "   \r\n");
  s.model.refresh();
  EXPECT_EQ(s.model.selectionText(), "new\r\n");
  // A full redraw that is asked for but not done yet changes nothing shown.
  s.model.markAllForRedraw();
  EXPECT_EQ(s.model.selectionText(), "new\r\n");
}

TEST(ConsoleSelection, FreshScreenCopiesJustALineEndAndAResetOneNothing) {
  ModelScreen s(2, 80, 64);
  s.model.refresh();
  EXPECT_EQ(s.model.selectionText(), "\r\n");  // cell 0,0 holds character 0
  s.model.resetSelection();
  CellBox box{};
  EXPECT_FALSE(s.model.selectionBox(box));
  EXPECT_EQ(s.model.selectionText(), "");
  s.model.selStart = 0;
  s.model.selEnd = 65535;  // a 16-bit index below the grid
  EXPECT_FALSE(s.model.selectionBox(box));
}

TEST(ConsoleSelection, PointsInTheMarginMapToTheLastColumnAndRow) {
  ModelScreen s(2, 85, 70);  // 10 x 4, a margin of 5 by 6 pixels
  EXPECT_EQ(s.model.pointToCell(0, 0), 0);
  EXPECT_EQ(s.model.pointToCell(17, 33), 2 + 2 * 65536);
  EXPECT_EQ(s.model.pointToCell(84, 69), 9 + 3 * 65536);
  EXPECT_EQ(s.model.pointToCell(65535, 65535), 9 + 3 * 65536);
}

}  // namespace
