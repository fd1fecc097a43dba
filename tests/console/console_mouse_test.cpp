#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "console_window_fixture.h"

namespace {

LPARAM at(int x, int y) { return MAKELPARAM(x, y); }

enum MenuEntry { kCancel = 1, kCopy = 2, kSelect = 3 };

// Right click, then Down to the entry and Enter in the open menu.
void chooseFromMenu(HWND console, MenuEntry entry) {
  PostMessageA(console, WM_RBUTTONDOWN, MK_RBUTTON, at(10, 10));
  for (int i = 0; i < entry; ++i) PostMessageA(console, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageA(console, WM_KEYDOWN, VK_RETURN, 0);
  ConsoleWindow::pump();
}

void drag(HWND console, LPARAM from, LPARAM to) {
  PostMessageA(console, WM_LBUTTONDOWN, MK_LBUTTON, from);
  PostMessageA(console, WM_MOUSEMOVE, MK_LBUTTON, to);
  ConsoleWindow::pump();
}

void release(HWND console, LPARAM where) {
  PostMessageA(console, WM_LBUTTONUP, 0, where);
  ConsoleWindow::pump();
}

struct ClipboardText {
  std::string text;
  SIZE_T blockBytes = 0;
  bool present = false;
};

ClipboardText readClipboard() {
  ClipboardText result;
  if (!OpenClipboard(nullptr)) return result;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    result.present = true;
    result.blockBytes = GlobalSize(data);
    result.text = static_cast<const char*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return result;
}

void emptyClipboard() {
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
}

// Three rows whose first column reads x, y, z; drawn once.
void prepareThreeRows(ConsoleWindow& w) {
  w.prepareInstallerScreen();
  printText(w.hwnd(), 0, "xa\nyb\nzc\n");
  w.tick();
}

TEST(ConsoleSelection, MenuSelectThenDragMarksABoxDrawnInverted) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  prepareThreeRows(w);
  chooseFromMenu(c, kSelect);
  const ConsoleScreen& s = *w.screen(0);
  ASSERT_TRUE(s.selectMode);
  EXPECT_FALSE(s.dragging);
  drag(c, at(4, 8), at(5, 40));
  EXPECT_TRUE(s.dragging);
  EXPECT_EQ(s.selStart, 0);
  EXPECT_EQ(s.selEnd, 2 * 141);
  w.tick();
  // Inside the box the grey-on-black cells are drawn with every byte inverted.
  EXPECT_TRUE(isColour(surfacePixel(s, 1, 0, 20), 0xFF, 0xFF, 0xFF));      // y's background
  EXPECT_TRUE(isColour(surfacePixel(s, 1, 8, 20), 0x00, 0x00, 0x00));      // column 1: outside
  EXPECT_TRUE(isColour(surfacePixel(s, 1, 0, 3 * 16 + 1), 0x00, 0x00, 0x00));  // row 3: outside
  WindowCapture shot(c);
  EXPECT_TRUE(isColour(shot.pixel(0, 20), 0xFF, 0xFF, 0xFF));
  release(c, at(5, 40));
  EXPECT_FALSE(s.dragging);
  w.tick();  // releasing does not redraw: the box stays inverted
  EXPECT_TRUE(isColour(surfacePixel(s, 1, 0, 20), 0xFF, 0xFF, 0xFF));
}

TEST(ConsoleSelection, CopyPlacesTheShownCharactersOnTheClipboard) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  prepareThreeRows(w);
  emptyClipboard();
  chooseFromMenu(c, kSelect);
  drag(c, at(4, 8), at(5, 40));
  release(c, at(5, 40));
  chooseFromMenu(c, kCopy);
  ClipboardText clip = readClipboard();
  ASSERT_TRUE(clip.present);
  EXPECT_EQ(clip.text, "x\r\ny\r\nz\r\n");
  EXPECT_GE(clip.blockBytes, 10u);
  // The copy ends the selection and draws the box normally again.
  const ConsoleScreen& s = *w.screen(0);
  EXPECT_FALSE(s.selectMode);
  EXPECT_EQ(s.selStart, -1);
  EXPECT_EQ(s.selEnd, -1);
  w.tick();
  EXPECT_TRUE(isColour(surfacePixel(s, 1, 0, 20), 0x00, 0x00, 0x00));
}

TEST(ConsoleSelection, DraggingBackwardsCopiesTheSameText) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  prepareThreeRows(w);
  emptyClipboard();
  chooseFromMenu(c, kSelect);
  drag(c, at(12, 40), at(1, 1));
  release(c, at(1, 1));
  chooseFromMenu(c, kCopy);
  EXPECT_EQ(readClipboard().text, "xa\r\nyb\r\nzc\r\n");
}

TEST(ConsoleSelection, TextWrittenWhileFrozenIsCopiedOnlyOnceShown) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  prepareThreeRows(w);
  SendMessageA(c, WM_KEYDOWN, VK_SCROLL, 0);
  putCharAt(c, 0, 0, 0, 'N', 0x07);
  w.tick();
  chooseFromMenu(c, kSelect);
  drag(c, at(1, 1), at(1, 1));
  release(c, at(1, 1));
  chooseFromMenu(c, kCopy);
  EXPECT_EQ(readClipboard().text, "x\r\n");
}

TEST(ConsoleSelection, CopyOnAFreshScreenGivesJustALineEnd) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  createScreen(c, 0);
  setFont(c, 0, 2);
  showScreen(c, 0);
  w.tick();
  emptyClipboard();
  chooseFromMenu(c, kCopy);
  ClipboardText clip = readClipboard();
  ASSERT_TRUE(clip.present);
  EXPECT_EQ(clip.text, "\r\n");
  // After the reset the corners are -1: a second copy places nothing new.
  emptyClipboard();
  chooseFromMenu(c, kCopy);
  EXPECT_FALSE(readClipboard().present);
}

TEST(ConsoleSelection, CancelEndsTheSelectionWithoutCopying) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  prepareThreeRows(w);
  emptyClipboard();
  chooseFromMenu(c, kSelect);
  drag(c, at(4, 8), at(5, 40));
  chooseFromMenu(c, kCancel);
  EXPECT_FALSE(readClipboard().present);
  EXPECT_FALSE(w.screen(0)->selectMode);
  EXPECT_FALSE(w.screen(0)->dragging);
  EXPECT_EQ(w.screen(0)->selStart, -1);
}

TEST(ConsoleSelection, WithoutSelectModeADragMarksNothing) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  prepareThreeRows(w);
  drag(c, at(4, 8), at(5, 40));
  EXPECT_FALSE(w.screen(0)->dragging);
  EXPECT_EQ(w.screen(0)->selEnd, 0);
}

TEST(ConsoleSelection, RightClickWithoutAnActiveScreenDoesNothing) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  createScreen(c, 0);
  chooseFromMenu(c, kSelect);
  chooseFromMenu(c, kCopy);
  EXPECT_FALSE(w.screen(0)->selectMode);
  EXPECT_EQ(getActiveScreen(c), -1);
}

struct Report {
  WPARAM event;
  int record[3];
};
std::vector<Report> g_reports;

LRESULT CALLBACK reportTarget(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMouseReport) {
    Report report{wParam, {}};
    std::memcpy(report.record, reinterpret_cast<const int*>(lParam), sizeof report.record);
    g_reports.push_back(report);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST(ConsoleMouse, PositionsAreReportedInCellsToTheTargetWindow) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  w.prepareInstallerScreen();
  WNDCLASSA targetClass{};
  targetClass.lpfnWndProc = reportTarget;
  targetClass.hInstance = GetModuleHandleA(nullptr);
  targetClass.lpszClassName = "velmorin.console.test.target";
  RegisterClassA(&targetClass);
  HWND target = CreateWindowExA(0, targetClass.lpszClassName, "", 0, 0, 0, 10, 10, nullptr,
                                nullptr, targetClass.hInstance, nullptr);
  ASSERT_TRUE(setMouseTarget(c, 0, 4242, target));
  g_reports.clear();
  PostMessageA(c, WM_MOUSEMOVE, 0, at(17, 40));
  PostMessageA(c, WM_LBUTTONDOWN, MK_LBUTTON, at(1131, 456));
  PostMessageA(c, WM_LBUTTONUP, 0, at(0, 0));
  ConsoleWindow::pump();
  ASSERT_EQ(g_reports.size(), 3u);
  EXPECT_EQ(g_reports[0].event, 0u);
  EXPECT_EQ(g_reports[0].record[0], HandleToLong(target));
  EXPECT_EQ(g_reports[0].record[1], 4242);
  EXPECT_EQ(g_reports[0].record[2], 2 + 2 * 65536);
  EXPECT_EQ(g_reports[1].event, 2u);
  EXPECT_EQ(g_reports[1].record[2], 140 + 27 * 65536);  // the margin maps to the last cell
  EXPECT_EQ(g_reports[2].event, 4u);
  EXPECT_EQ(g_reports[2].record[2], 0);
  EXPECT_EQ(GetFocus(), c);
  DestroyWindow(target);
}

}  // namespace
