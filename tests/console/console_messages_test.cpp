#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

#include "console_window_fixture.h"

namespace {

TEST(ConsoleMessages, EmptySlotsAnswerMinusOneAndTheCellBufferZero) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  for (UINT message = kDeleteScreen; message <= kGetFont; ++message) {
    if (message == kReadKey || message == kPollKey || message == kReadLine ||
        message == kSetNotifyCallback || message == kPostNotify || message == kGetActiveScreen)
      continue;
    LRESULT expected = message == kGetCellBuffer ? 0 : -1;
    EXPECT_EQ(SendMessageA(c, message, 5, 0), expected) << "WM_USER+" << message - WM_USER;
  }
  EXPECT_EQ(getActiveScreen(c), -1);
  EXPECT_EQ(pollKey(c), 255);
  EXPECT_EQ(SendMessageA(c, kReadKey, 0, 0), -1);
  char buffer[8] = "";
  EXPECT_EQ(SendMessageA(c, kReadLine, 5, reinterpret_cast<LPARAM>(buffer)), -1);
}

TEST(ConsoleMessages, NewScreenWithoutAFont) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  EXPECT_TRUE(createScreen(c, 3));
  EXPECT_EQ(SendMessageA(c, kCreateScreen, 3, 0), -1);
  EXPECT_EQ(getActiveScreen(c), -1);  // not shown until asked
  EXPECT_EQ(getFont(c, 3), 0);
  EXPECT_EQ(getColorMode(c, 3), 0);
  EXPECT_EQ(SendMessageA(c, kGetScreenSize, 3, 0), 0);
  EXPECT_EQ(getCellBuffer(c, 3), nullptr);
  EXPECT_EQ(putCell(c, 3, 0, 0, 0x0741), -1);
  EXPECT_EQ(printText(c, 3, "dropped"), 3);
  EXPECT_EQ(SendMessageA(c, kSetCursorShape, 3, 0x0E0F), -2);
  EXPECT_EQ(SendMessageA(c, kPointToCell, 3, MAKELPARAM(10, 10)), -1);
  EXPECT_EQ(SendMessageA(c, kSetFont, 3, 0), -1);  // font 0
  EXPECT_EQ(setCursor(c, 3, 4, 2), 3);
  EXPECT_EQ(clearScreen(c, 3), 3);  // only homes the cursor
  EXPECT_EQ(w.screen(3)->cursorCol, 0);
  EXPECT_EQ(w.screen(3)->index, 3);
  // The surfaces exist from creation, at the client size rounded up to 4 pixels.
  EXPECT_NE(w.screen(3)->bits1, nullptr);
  EXPECT_EQ(w.screen(3)->surfaceWidth, 1132);
  EXPECT_EQ(w.screen(3)->surfaceHeight, 457);
}

TEST(ConsoleMessages, ScreenWithAFontAnswersEveryMessage) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  ASSERT_TRUE(createScreen(c, 0));
  EXPECT_EQ(setFont(c, 0, 2), 1);
  EXPECT_EQ(getFont(c, 0), 2);
  int size[2] = {};
  ASSERT_TRUE(getScreenSize(c, 0, size));
  EXPECT_EQ(size[0], 141);
  EXPECT_EQ(size[1], 28);
  EXPECT_FALSE(getScreenSize(c, 0, nullptr));
  EXPECT_FALSE(getScreenSize(c, 9, size));
  EXPECT_TRUE(showScreen(c, 0));
  EXPECT_EQ(getActiveScreen(c), 0);
  EXPECT_EQ(getCellBuffer(c, 0), w.screen(0)->cells.data());
  EXPECT_EQ(SendMessageA(c, kRefreshScreen, 0, 0), 0);
  EXPECT_EQ(putCell(c, 0, 140, 27, 0x0441), 0);
  EXPECT_EQ(putCell(c, 0, 141, 0, 0x0441), -1);
  EXPECT_EQ(getCellBuffer(c, 0)[27 * 141 + 140], 0x0441);
  EXPECT_EQ(putChar(c, 0, 'x'), 0);
  EXPECT_EQ(SendMessageA(c, kScrollRegion, 0, 0x1B008C00), 0);
  EXPECT_EQ(setBackColor(c, 0, 1), 0);
  EXPECT_EQ(setTextColor(c, 0, 14), 0);
  EXPECT_EQ(getAttribute(c, 0), 0x1E);
  EXPECT_EQ(SendMessageA(c, kSetAttribute, 0, 0x4F), 0);
  EXPECT_TRUE(setAttribute(c, 0, 0x4F));
  EXPECT_FALSE(setAttribute(c, 7, 0x4F));
  EXPECT_EQ(getAttribute(c, 0), 0x4F);
  EXPECT_EQ(cellIndex(c, 0, 3, 2), 3 + 2 * 141);
  EXPECT_EQ(cellIndex(c, 0, 0, 500), (500 * 141) % 65536);
  EXPECT_EQ(SendMessageA(c, kPointToCell, 0, MAKELPARAM(17, 40)), 2 + 2 * 65536);
  EXPECT_EQ(SendMessageA(c, kSetCursorShape, 0, 14 * 256 + 15), 0);
  EXPECT_TRUE(setCursorShape(c, 0, 14, 15));
  EXPECT_FALSE(setCursorShape(c, 7, 14, 15));
  EXPECT_EQ(SendMessageA(c, kSetMouseTarget, 0, 0), -1);
  EXPECT_TRUE(setMouseTarget(c, 0, 77, w.host()));
  EXPECT_EQ(w.screen(0)->mouseTarget[1], 77);
  EXPECT_EQ(SendMessageA(c, kSetNotifyCallback, 0, 0), 0);
  EXPECT_EQ(SendMessageA(c, kPostNotify, 0, 55), 0);  // no callback: nothing posted
  EXPECT_EQ(SendMessageA(c, kDeleteScreen, 0, 0), 0);
  EXPECT_EQ(getActiveScreen(c), -1);
  EXPECT_EQ(pollKey(c), 255);
}

TEST(ConsoleMessages, CursorShapeOnTheSmallFontIsTakenModuloItsHeight) {
  ConsoleWindow w;
  createScreen(w.hwnd(), 1);
  setFont(w.hwnd(), 1, 1);
  EXPECT_EQ(w.screen(1)->cursorFirst, 6);
  EXPECT_TRUE(setCursorShape(w.hwnd(), 1, 14, 15));
  EXPECT_EQ(w.screen(1)->cursorFirst, 6);
  EXPECT_EQ(w.screen(1)->cursorLast, 7);
  EXPECT_EQ(w.screen(1)->rows, 57);
}

TEST(ConsoleMessages, FrozenScreenRefusesFontColourAndPaletteChanges) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  w.prepareInstallerScreen();
  EXPECT_EQ(setFreeze(c, 0, true), 0);
  EXPECT_TRUE(isFrozen(c, 0));
  EXPECT_EQ(SendMessageA(c, kIsFrozen, 0, 0), 1);
  EXPECT_EQ(setFont(c, 0, 1), 2);
  EXPECT_EQ(getFont(c, 0), 2);
  EXPECT_EQ(SendMessageA(c, kSetCursorShape, 0, 0x0102), -1);
  EXPECT_FALSE(setColorMode(c, 0, 0));
  EXPECT_EQ(getColorMode(c, 0), 1);
  unsigned char white[3] = {0xFF, 0xFF, 0xFF};
  EXPECT_FALSE(setPalette(c, 0, 1, 1, white));
  EXPECT_FALSE(resetPalette(c, 0));
  unsigned char out[3] = {};
  EXPECT_TRUE(getPalette(c, 0, 1, 1, out));
  EXPECT_EQ(out[0], 0xC0);
  // Scroll Lock freezes too, and isFrozen reports only the setFreeze bit.
  EXPECT_EQ(setFreeze(c, 0, false), 0);
  EXPECT_FALSE(isFrozen(c, 0));
  SendMessageA(c, WM_KEYDOWN, VK_SCROLL, 0);
  EXPECT_FALSE(isFrozen(c, 0));
  EXPECT_FALSE(setColorMode(c, 0, 0));
  EXPECT_FALSE(isFrozen(c, 9));
}

TEST(ConsoleMessages, SetFreezeRedrawsEverythingOnlyWhenItsBitChanges) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  w.prepareInstallerScreen();
  w.tick();
  const ConsoleScreen& s = *w.screen(0);
  EXPECT_EQ(s.shown, s.cells);
  setFreeze(c, 0, false);  // no change
  EXPECT_EQ(s.shown, s.cells);
  setFreeze(c, 0, true);
  EXPECT_NE(s.shown[0], s.cells[0]);
  w.tick();
  EXPECT_EQ(s.shown, s.cells);
  setFreeze(c, 0, true);  // already frozen
  EXPECT_EQ(s.shown, s.cells);
}

TEST(ConsoleMessages, PaletteMovesThreeBytesPerEntry) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  createScreen(c, 2);
  unsigned char out[48] = {};
  EXPECT_EQ(SendMessageA(c, kGetPalette, 2 + (0 << 8) + (15 << 16), reinterpret_cast<LPARAM>(out)), 48);
  EXPECT_EQ(0, std::memcmp(out, kDefaultPalette, 48));
  EXPECT_EQ(SendMessageA(c, kGetPalette, 2 + (5 << 8) + (4 << 16), reinterpret_cast<LPARAM>(out)), -1);
  EXPECT_EQ(SendMessageA(c, kGetPalette, 2 + (4 << 8) + (4 << 16), 0), -1);
  unsigned char mine[6] = {1, 2, 3, 4, 5, 6};
  EXPECT_EQ(SendMessageA(c, kSetPalette, 2 + (12 << 8) + (13 << 16), reinterpret_cast<LPARAM>(mine)), 6);
  EXPECT_EQ(SendMessageA(c, kSetPalette, 2 + (3 << 8) + (2 << 16), reinterpret_cast<LPARAM>(mine)), -1);
  EXPECT_EQ(SendMessageA(c, kSetPalette, 2 + (3 << 8) + (3 << 16), 0), -1);  // no input
  unsigned char back[6] = {};
  EXPECT_TRUE(getPalette(c, 2, 12, 13, back));
  EXPECT_EQ(0, std::memcmp(back, mine, 6));
  EXPECT_TRUE(resetPalette(c, 2));
  EXPECT_TRUE(getPalette(c, 2, 12, 12, back));
  EXPECT_EQ(back[2], 0xFF);
  EXPECT_TRUE(setColorMode(c, 2, 1));
  EXPECT_EQ(getColorMode(c, 2), 1);
}

TEST(ConsoleMessages, SecondCreateScreenIsRefusedAndKeepsTheText) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  w.prepareInstallerScreen();
  printText(c, 0, "kept");
  EXPECT_FALSE(createScreen(c, 0));
  EXPECT_EQ(w.row(0, 0).substr(0, 5), "kept ");
  EXPECT_EQ(getActiveScreen(c), 0);
}

TEST(ConsoleMessages, ScreensAreIndependent) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  createScreen(c, 0);
  createScreen(c, 255);
  setFont(c, 0, 2);
  setFont(c, 255, 1);
  setAttribute(c, 255, 0x1F);
  clearScreen(c, 255);
  printText(c, 255, "two hundred fifty-five");
  EXPECT_EQ(w.row(255, 0).substr(0, 3), "two");
  EXPECT_EQ(getCellBuffer(c, 0)[0], 0);
  EXPECT_TRUE(showScreen(c, 255));
  EXPECT_EQ(getActiveScreen(c), 255);
}

WNDPROC g_consoleProc = nullptr;
std::atomic<int> g_subclassCalls{0};
LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ++g_subclassCalls;
  return CallWindowProcA(g_consoleProc, window, message, wParam, lParam);
}

TEST(ConsoleMessages, TheNextMessageUndoesASubclass) {
  ConsoleWindow w;
  HWND c = w.hwnd();
  g_consoleProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(c, GWLP_WNDPROC));
  SetWindowLongPtrA(c, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassProc));
  g_subclassCalls = 0;
  EXPECT_EQ(getActiveScreen(c), -1);
  EXPECT_EQ(g_subclassCalls, 1);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(c, GWLP_WNDPROC)), g_consoleProc);
  getActiveScreen(c);
  EXPECT_EQ(g_subclassCalls, 1);
}

TEST(ConsoleMessages, AWindowWithoutAnEntryIsRefused) {
  ConsoleWindow w;
  WNDCLASSEXA info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "quorvane.console", &info));
  EXPECT_EQ(info.style, UINT(CS_HREDRAW | CS_VREDRAW));
  EXPECT_EQ(CallWindowProcA(info.lpfnWndProc, w.host(), kGetFont, 0, 0), -1);
  EXPECT_EQ(CallWindowProcA(info.lpfnWndProc, w.host(), kCreateScreen, 0, 0), -1);
  EXPECT_EQ(findConsole(w.host()), nullptr);
}

TEST(ConsoleMessages, DestroyedConsolesLeaveTheirEntryForTheNextWindow) {
  HWND first = nullptr;
  {
    ConsoleWindow w;
    first = w.hwnd();
    w.prepareInstallerScreen();
    ASSERT_NE(w.state(), nullptr);
  }
  EXPECT_EQ(findConsole(first), nullptr);
  ConsoleWindow again;
  ASSERT_NE(again.state(), nullptr);
  again.prepareInstallerScreen();
  EXPECT_EQ(getActiveScreen(again.hwnd()), 0);
}

std::atomic<LPARAM> g_notified{0};
std::atomic<DWORD> g_notifyThread{0};
std::atomic<int> g_notifyCalls{0};
HANDLE g_notifyDone = nullptr;
void recordNotification(LPARAM argument) {
  g_notified = argument;
  g_notifyThread = GetCurrentThreadId();
  ++g_notifyCalls;
  SetEvent(g_notifyDone);
}

TEST(ConsoleMessages, PostNotifyRunsTheCallbackOnTheNotificationThread) {
  g_notifyDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  ConsoleWindow w;
  HWND c = w.hwnd();
  EXPECT_EQ(setNotifyCallback(c, recordNotification), 0);
  EXPECT_EQ(SendMessageA(c, kPostNotify, 0, 1234), 1234);
  ASSERT_EQ(WaitForSingleObject(g_notifyDone, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(g_notified, 1234);
  EXPECT_NE(g_notifyThread, GetCurrentThreadId());
  // A zero argument calls nothing.
  g_notifyCalls = 0;
  SendMessageA(c, kPostNotify, 0, 0);
  EXPECT_EQ(WaitForSingleObject(g_notifyDone, 200), DWORD(WAIT_TIMEOUT));
  EXPECT_EQ(g_notifyCalls, 0);
  // Two posts in a row: at most two calls, and the last one sees the second value.
  g_notifyCalls = 0;
  SendMessageA(c, kPostNotify, 0, 11);
  SendMessageA(c, kPostNotify, 0, 22);
  ASSERT_EQ(WaitForSingleObject(g_notifyDone, 5000), WAIT_OBJECT_0);
  for (int i = 0; i < 100 && g_notified != 22; ++i) Sleep(10);
  EXPECT_EQ(g_notified, 22);
  EXPECT_LE(g_notifyCalls, 2);
  CloseHandle(g_notifyDone);
}

HWND g_busyConsole = nullptr;
std::atomic<LRESULT> g_answerDuringDestroy{0};
void sendBackToTheConsole(LPARAM) {
  Sleep(100);
  g_answerDuringDestroy = SendMessageA(g_busyConsole, kGetActiveScreen, 0, 0);
}

TEST(ConsoleMessages, DestroyWaitsForACallbackThatSendsToTheConsole) {
  ConsoleWindow w;
  g_busyConsole = w.hwnd();
  g_answerDuringDestroy = 99;
  setNotifyCallback(w.hwnd(), sendBackToTheConsole);
  SendMessageA(w.hwnd(), kPostNotify, 0, 1);
  Sleep(20);  // the callback is running
  DestroyWindow(w.hwnd());  // must not wait for ever on a thread that waits for it
  EXPECT_EQ(g_answerDuringDestroy, -1);
}

}  // namespace
