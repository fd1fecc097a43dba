#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "console_window_fixture.h"

namespace {

// Serves the console's messages on this thread until the worker ends.
void serveUntilDone(HANDLE worker) {
  while (MsgWaitForMultipleObjects(1, &worker, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
    ConsoleWindow::pump();
}

struct PrintJob {
  HWND console;
  int lines;
};

DWORD WINAPI printNumberedLines(LPVOID parameter) {
  auto* job = static_cast<PrintJob*>(parameter);
  for (int i = 0; i < job->lines; ++i) {
    char line[64];
    std::snprintf(line, sizeof line, "line %04d\n", i);
    setTextColor(job->console, 0, i % 2 ? 4 : 7);  // a message between direct prints
    printText(job->console, 0, line);
  }
  return 0;
}

TEST(ConsoleThreads, AWorkerPrintsInOrderWithItsColourChanges) {
  ConsoleWindow w;
  w.prepareInstallerScreen();
  PrintJob job{w.hwnd(), 500};
  HANDLE worker = CreateThread(nullptr, 0, printNumberedLines, &job, 0, nullptr);
  serveUntilDone(worker);
  CloseHandle(worker);
  // The last 27 lines fill rows 0..26, the cursor waits on the blank row 27.
  for (int row = 0; row < 27; ++row) {
    int number = 500 - 27 + row;
    char expected[16];
    std::snprintf(expected, sizeof expected, "line %04d ", number);
    ASSERT_EQ(w.row(0, row).substr(0, 10), expected) << row;
    EXPECT_EQ(getCellBuffer(w.hwnd(), 0)[row * 141] >> 8, number % 2 ? 0x04 : 0x07) << row;
  }
  EXPECT_EQ(w.screen(0)->cursorRow, 27);
  EXPECT_EQ(w.screen(0)->cursorCol, 0);
  w.tick();
  EXPECT_EQ(w.screen(0)->shown, w.screen(0)->cells);
}

DWORD WINAPI printOnce(LPVOID parameter) {
  auto* job = static_cast<PrintJob*>(parameter);
  return static_cast<DWORD>(printText(job->console, 0, "late text"));
}

TEST(ConsoleThreads, AWorkerWaitingOnADestroyedConsoleWritesNothingIntoTheNext) {
  auto* first = new ConsoleWindow();
  first->prepareInstallerScreen();
  const HWND old = first->hwnd();
  ConsoleState* state = first->state();
  // The window thread is busy with the console when the worker comes to print.
  state->lock.lock();
  PrintJob job{old, 1};
  HANDLE worker = CreateThread(nullptr, 0, printOnce, &job, 0, nullptr);
  Sleep(200);  // the worker has found the state and waits for its lock
  delete first;
  ConsoleWindow fresh;  // takes over the freed state object
  if (fresh.hwnd() == old) GTEST_SKIP() << "the window handle itself was reused";
  ASSERT_EQ(fresh.state(), state);
  fresh.prepareInstallerScreen();
  state->lock.unlock();
  serveUntilDone(worker);
  DWORD result = 1;
  GetExitCodeThread(worker, &result);
  CloseHandle(worker);
  EXPECT_EQ(result, 0u);
  EXPECT_EQ(fresh.row(0, 0).substr(0, 9), "         ");
}

HANDLE g_lookingUp = nullptr;
DWORD WINAPI lookUpForEver(LPVOID window) {
  findConsole(static_cast<HWND>(window));
  SetEvent(g_lookingUp);
  for (;;) findConsole(static_cast<HWND>(window));
}

DWORD WINAPI lookUpOnce(LPVOID window) { return findConsole(static_cast<HWND>(window)) ? 0 : 1; }

TEST(ConsoleThreads, AThreadKilledWhileLookingUpAConsoleDoesNotStallTheWindowThread) {
  ConsoleWindow w;
  w.prepareInstallerScreen();
  g_lookingUp = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  for (int round = 0; round < 20; ++round) {
    HANDLE looker = CreateThread(nullptr, 0, lookUpForEver, w.hwnd(), 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(g_lookingUp, 5000), WAIT_OBJECT_0);
    Sleep(1 + round % 3);
    TerminateThread(looker, 1);  // as Exit and close do with the engine's workers
    WaitForSingleObject(looker, 5000);
    CloseHandle(looker);
    // Looked up from a second thread first, with a limit: a stalled map would hang
    // this thread, and the test with it.
    HANDLE probe = CreateThread(nullptr, 0, lookUpOnce, w.hwnd(), 0, nullptr);
    const DWORD waited = WaitForSingleObject(probe, 5000);
    CloseHandle(probe);
    if (waited != WAIT_OBJECT_0) {
      ADD_FAILURE() << "a lookup after the killed thread waited for ever (round " << round << ")";
      std::fflush(stdout);
      TerminateProcess(GetCurrentProcess(), 1);
    }
  }
  CloseHandle(g_lookingUp);
  printText(w.hwnd(), 0, "still served");  // a console message on the window thread
  EXPECT_EQ(w.row(0, 0).substr(0, 12), "still served");
}

HANDLE g_holding = nullptr;
DWORD WINAPI holdTheLockForEver(LPVOID parameter) {
  auto* state = static_cast<ConsoleState*>(parameter);
  state->lock.lock();
  SetEvent(g_holding);
  Sleep(INFINITE);
  return 0;
}

TEST(ConsoleThreads, AThreadKilledWhileHoldingTheLockDoesNotStallTheConsole) {
  ConsoleWindow w;
  w.prepareInstallerScreen();
  g_holding = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = CreateThread(nullptr, 0, holdTheLockForEver, w.state(), 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(g_holding, 5000), WAIT_OBJECT_0);
  TerminateThread(thread, 1);
  WaitForSingleObject(thread, 5000);
  CloseHandle(thread);
  CloseHandle(g_holding);
  printText(w.hwnd(), 0, "still alive");  // the window thread takes the lock over
  w.tick();
  EXPECT_EQ(w.row(0, 0).substr(0, 11), "still alive");
  EXPECT_EQ(w.screen(0)->shown[0] & 0xFF, 's');
}

}  // namespace
