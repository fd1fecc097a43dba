#include <gtest/gtest.h>

#include "console_window_fixture.h"
#include "services/install_log.h"
#include "support/test_files.h"

namespace {

TEST(ConsoleTextWindow, FontSizesTheGridFromTheClientArea) {
  ConsoleWindow w(1132, 457);
  createScreen(w.hwnd(), 4);
  EXPECT_EQ(setFont(w.hwnd(), 4, 2), 1);
  int size[2] = {};
  ASSERT_TRUE(getScreenSize(w.hwnd(), 4, size));
  EXPECT_EQ(size[0], 141);
  EXPECT_EQ(size[1], 28);
  // A width that is no multiple of 4 gets slightly wider surfaces.
  ConsoleWindow odd(1130, 100);
  createScreen(odd.hwnd(), 0);
  EXPECT_EQ(odd.screen(0)->surfaceWidth, 1132);
}

TEST(ConsoleTextWindow, CarriageReturnIsIgnoredAndLineFeedMovesToTheNextRow) {
  ConsoleWindow w;
  w.prepareInstallerScreen();
  EXPECT_EQ(printText(w.hwnd(), 0, "ab\rcd\n"), 0);
  EXPECT_EQ(w.row(0, 0).substr(0, 5), "abcd ");
  EXPECT_EQ(w.screen(0)->cursorCol, 0);
  EXPECT_EQ(w.screen(0)->cursorRow, 1);
  EXPECT_EQ(getCellBuffer(w.hwnd(), 0)[0], 0x0761);
}

TEST(ConsoleTextWindow, TextIsConvertedToTheOemCodePage) {
  ConsoleWindow w;
  w.prepareInstallerScreen();
  printText(w.hwnd(), 0, "\xE9\xB0\x80");
  char expected[4] = "\xE9\xB0\x80";
  CharToOemBuffA(expected, expected, 3);
  const std::uint16_t* cells = getCellBuffer(w.hwnd(), 0);
  EXPECT_EQ(cells[0] & 0xFF, 0x82);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(cells[i] & 0xFF, static_cast<unsigned char>(expected[i])) << i;
  printWideText(w.hwnd(), 0, L"A\x0142");
  EXPECT_EQ(cells[3] & 0xFF, 'A');
  EXPECT_EQ(cells[4] & 0xFF, 'B');  // only the low byte of each unit is kept
}

TEST(ConsoleTextWindow, LastColumnWrapsAndTheLastCellScrolls) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  w.prepareInstallerScreen();
  setCursor(c, 0, 140, 3);
  putChar(c, 0, 'w');
  EXPECT_EQ(w.screen(0)->cursorCol, 0);
  EXPECT_EQ(w.screen(0)->cursorRow, 4);
  printText(c, 0, "top line");
  setCursor(c, 0, 140, 27);
  putChar(c, 0, 'z');
  EXPECT_EQ(w.screen(0)->cursorCol, 0);
  EXPECT_EQ(w.screen(0)->cursorRow, 27);
  EXPECT_EQ(w.row(0, 26)[140], 'z');
  EXPECT_EQ(w.row(0, 3).substr(0, 8), "top line");
  EXPECT_EQ(w.row(0, 2)[140], 'w');
}

TEST(ConsoleTextWindow, ScrollingGivesABlankRowInTheBottomRightAttribute) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  w.prepareInstallerScreen();
  // A red line that ends in the last cell of the screen scrolls it...
  setTextColor(c, 0, 4);
  setCursor(c, 0, 131, 27);
  printText(c, 0, "error line");
  setTextColor(c, 0, 7);
  const std::uint16_t* cells = getCellBuffer(c, 0);
  EXPECT_EQ(cells[26 * 141 + 140], 0x0465);
  for (int col = 0; col < 141; ++col) ASSERT_EQ(cells[27 * 141 + col], 0x0420) << col;
  // ...and so does a line feed on the last row.
  putCharAt(c, 0, 140, 27, '!', 0x1C);
  setCursor(c, 0, 0, 27);
  printText(c, 0, "grey\n");
  EXPECT_EQ(cells[26 * 141], 0x0767);
  for (int col = 0; col < 141; ++col) ASSERT_EQ(cells[27 * 141 + col], 0x1C20) << col;
}

TEST(ConsoleTextWindow, ScrollRegionUnpacksItsBox) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  w.prepareInstallerScreen();
  printText(c, 0, "0123\nabcd\nwxyz\n");
  // Columns 1..2, rows 0..2.
  EXPECT_EQ(SendMessageA(c, kScrollRegion, 0, 1 | 2 << 8 | 0 << 16 | 2 << 24), 0);
  EXPECT_EQ(w.row(0, 0).substr(0, 4), "0bc3");
  EXPECT_EQ(w.row(0, 1).substr(0, 4), "axyd");
  EXPECT_EQ(w.row(0, 2).substr(0, 4), "w  z");
}

TEST(ConsoleTextWindow, ClearAndPutCharAt) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  w.prepareInstallerScreen();
  setBackColor(c, 0, 9);
  EXPECT_EQ(getAttribute(c, 0), 0x97);
  clearScreen(c, 0);
  EXPECT_EQ(getCellBuffer(c, 0)[141 * 28 - 1], 0x9720);
  EXPECT_EQ(putCharAt(c, 0, 5, 1, 'Q', 0x2E), 0);
  EXPECT_EQ(getCellBuffer(c, 0)[141 + 5], 0x2E51);
}

TEST(ConsoleTextWindow, PrintTextWritesTheLogLineFirst) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string logPath = std::string(temp) + "\\velmorin.log";
  openLog(nullptr);
  ConsoleWindow w;
  w.prepareInstallerScreen();
  printText(w.hwnd(), 0, "console line for the log\n");
  closeLog();
  std::string text = readWholeFile(logPath, "");
  const std::string tail = ") console line for the log\n\r\n";
  ASSERT_GE(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST(ConsolePixels, RedCharacterForegroundBytes) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  w.prepareInstallerScreen();
  setTextColor(c, 0, 4);
  printText(c, 0, "M");
  w.tick();
  const ConsoleScreen& s = *w.screen(0);
  // Glyph M of the 8x16 set: row 2 is 0xC3, so pixels 0, 1, 6 and 7 are lit.
  EXPECT_TRUE(isColour(surfacePixel(s, 1, 0, 2), 0x00, 0x00, 0x80));
  EXPECT_TRUE(isColour(surfacePixel(s, 1, 6, 2), 0x00, 0x00, 0x80));
  EXPECT_TRUE(isColour(surfacePixel(s, 1, 3, 2), 0x00, 0x00, 0x00));
  EXPECT_TRUE(isColour(surfacePixel(s, 2, 0, 2), 0x00, 0x00, 0x80));
}

TEST(ConsolePixels, GreyModeDrawsEntryTwelveAs0x55) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  w.prepareInstallerScreen();
  putCharAt(c, 0, 0, 0, 219, 0x0C);  // a full block in bright red
  w.tick();
  EXPECT_TRUE(isColour(surfacePixel(*w.screen(0), 1, 4, 4), 0x00, 0x00, 0xFF));
  EXPECT_TRUE(setColorMode(c, 0, 0));
  w.tick();
  EXPECT_TRUE(isColour(surfacePixel(*w.screen(0), 1, 4, 4), 0x55, 0x55, 0x55));
  EXPECT_TRUE(isColour(surfacePixel(*w.screen(0), 2, 4, 4), 0x55, 0x55, 0x55));
}

TEST(ConsolePixels, BlinkingCellDiffersBetweenTheSurfacesAndTheWindowAlternates) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  w.prepareInstallerScreen();
  w.tick();
  putCharAt(c, 0, 2, 1, 219, 0x87);  // grey block, blinking
  w.tick();
  const ConsoleScreen& s = *w.screen(0);
  EXPECT_TRUE(isColour(surfacePixel(s, 1, 20, 20), 0x80, 0x80, 0x80));
  EXPECT_TRUE(isColour(surfacePixel(s, 2, 20, 20), 0x00, 0x00, 0x00));
  // Over four ticks the window shows the block for two and the blank for two.
  int lit = 0, dark = 0;
  for (int i = 0; i < 4; ++i) {
    w.tick();
    WindowCapture shot(c);
    bool visible = isColour(shot.pixel(20, 20), 0x80, 0x80, 0x80);
    EXPECT_EQ(visible, s.visibleSurface() == 1) << i;
    (visible ? lit : dark)++;
  }
  EXPECT_EQ(lit, 2);
  EXPECT_EQ(dark, 2);
}

TEST(ConsolePixels, CursorIsDrawnOnTheWindowNotIntoTheSurface) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  w.prepareInstallerScreen();
  setTextColor(c, 0, 14);
  clearScreen(c, 0);
  printText(c, 0, "ab");
  w.tick();
  if (w.screen(0)->cursorPhase != 0) w.tick();
  ASSERT_EQ(w.screen(0)->cursorPhase, 0);
  WindowCapture shot(c);
  // Scan lines 14 and 15 of cell (2, 0) in the cell's yellow, line 13 not.
  EXPECT_TRUE(isColour(shot.pixel(17, 14), 0x00, 0xFF, 0xFF));
  EXPECT_TRUE(isColour(shot.pixel(22, 15), 0x00, 0xFF, 0xFF));
  EXPECT_TRUE(isColour(shot.pixel(17, 13), 0x00, 0x00, 0x00));
  EXPECT_TRUE(isColour(surfacePixel(*w.screen(0), 1, 17, 14), 0x00, 0x00, 0x00));
  w.tick();  // the other phase hides it
  WindowCapture hidden(c);
  EXPECT_TRUE(isColour(hidden.pixel(17, 14), 0x00, 0x00, 0x00));
}

TEST(ConsolePixels, ScrollLockFreezesTheDisplayUntilPressedAgain) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  w.prepareInstallerScreen();
  printText(c, 0, "before");
  w.tick();
  PostMessageA(c, WM_KEYDOWN, VK_SCROLL, 0);
  ConsoleWindow::pump();
  EXPECT_EQ(w.screen(0)->freeze, kFreezeByScrollLock);
  printText(c, 0, " during");
  w.tick();
  const ConsoleScreen& s = *w.screen(0);
  EXPECT_EQ(s.shown[6] & 0xFF, ' ');
  EXPECT_EQ(s.cells[7] & 0xFF, 'd');
  PostMessageA(c, WM_KEYDOWN, VK_SCROLL, 0);
  ConsoleWindow::pump();
  EXPECT_EQ(w.screen(0)->freeze, 0);
  w.tick();  // one refresh shows all of it
  EXPECT_EQ(s.shown[7] & 0xFF, 'd');
  EXPECT_EQ(s.shown, s.cells);
}

}  // namespace
