// Console speed under Wine: printText from a worker thread into a live console
// (without and with the installation log, which flushes every line to disk), beside
// the bare cost of one cross-thread SendMessageA per line; and one full redraw of a
// 141 x 28 screen after refreshScreen, beside GDI drawing the same text with
// ExtTextOutA. Prints lines per second and microseconds per full redraw.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "services/install_log.h"
#include "console/console.h"
#include "console/console_state.h"

namespace {

constexpr int kLines = 20000;
constexpr int kRedraws = 300;

std::vector<std::string> makeLines() {
  std::vector<std::string> lines;
  for (int i = 0; i < kLines; ++i) {
    char head[32];
    std::snprintf(head, sizeof head, "line %05d ", i);
    std::string line(head);
    while (line.size() < 80) line += static_cast<char>('a' + line.size() % 26);
    lines.push_back(line + "\n");
  }
  return lines;
}

struct WorkerRun {
  HWND console;
  const std::vector<std::string>* lines;
  bool bareSend;
  double seconds;
};

DWORD WINAPI printLines(LPVOID parameter) {
  auto* run = static_cast<WorkerRun*>(parameter);
  double start = now();
  for (const std::string& line : *run->lines) {
    if (run->bareSend)
      SendMessageA(run->console, WM_NULL, 0, reinterpret_cast<LPARAM>(line.c_str()));
    else
      printText(run->console, 0, line.c_str());
  }
  run->seconds = now() - start;
  return 0;
}

// Runs the worker while this (the console's) thread serves its messages.
double linesPerSecond(HWND console, const std::vector<std::string>& lines, bool bareSend) {
  WorkerRun run{console, &lines, bareSend, 0};
  HANDLE worker = CreateThread(nullptr, 0, printLines, &run, 0, nullptr);
  while (MsgWaitForMultipleObjects(1, &worker, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  CloseHandle(worker);
  return lines.size() / run.seconds;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void fillScreen(HWND console) {
  for (int row = 0; row < 28; ++row)
    for (int column = 0; column < 141; ++column)
      putCharAt(console, 0, column, row, static_cast<unsigned char>('!' + (row * 7 + column) % 90),
                static_cast<unsigned char>(1 + (row + column) % 15));
}

double redrawMicroseconds(HWND console, ConsoleState& state) {
  std::vector<double> times;
  for (int i = 0; i < kRedraws; ++i) {
    SendMessageA(console, kRefreshScreen, 0, 0);
    double start = now();
    SendMessageA(console, WM_TIMER, static_cast<WPARAM>(state.timerId), 0);
    times.push_back((now() - start) * 1e6);
  }
  return median(times);
}

double drawingOnlyMicroseconds(ConsoleScreen& screen) {
  std::vector<double> times;
  for (int i = 0; i < kRedraws; ++i) {
    screen.markAllForRedraw();
    double start = now();
    screen.refresh();
    times.push_back((now() - start) * 1e6);
  }
  return median(times);
}

// The peer: GDI draws the same 28 rows of 141 characters with a fixed font.
double gdiTextMicroseconds(HWND console, const ConsoleScreen& screen) {
  HDC dc = GetDC(console);
  HGDIOBJ font = SelectObject(dc, GetStockObject(OEM_FIXED_FONT));
  std::vector<std::string> rows;
  for (int row = 0; row < screen.rows; ++row) {
    std::string text;
    for (int column = 0; column < screen.cols; ++column)
      text += static_cast<char>(screen.cells[static_cast<std::size_t>(row) * screen.cols + column]);
    rows.push_back(text);
  }
  std::vector<double> times;
  for (int i = 0; i < kRedraws; ++i) {
    double start = now();
    for (int row = 0; row < screen.rows; ++row) {
      SetTextColor(dc, RGB(0x80 + row * 4, 0x80, 0x80));
      SetBkColor(dc, RGB(0, 0, row * 4));
      RECT line = {0, row * 16, screen.cols * 8, row * 16 + 16};
      ExtTextOutA(dc, 0, row * 16, ETO_OPAQUE, &line, rows[row].data(),
                  static_cast<UINT>(rows[row].size()), nullptr);
    }
    GdiFlush();
    times.push_back((now() - start) * 1e6);
  }
  SelectObject(dc, font);
  ReleaseDC(console, dc);
  return median(times);
}

}  // namespace

int main() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  registerConsoleClasses(instance);
  WNDCLASSA host{};
  host.lpfnWndProc = DefWindowProcA;
  host.hInstance = instance;
  host.lpszClassName = "velmorin.console.bench";
  RegisterClassA(&host);
  HWND window = CreateWindowExA(0, host.lpszClassName, "console bench", WS_OVERLAPPEDWINDOW, 0, 0,
                                1200, 560, nullptr, nullptr, instance, nullptr);
  HWND console = CreateWindowExA(0, "quorvane.console", "Cconsole", WS_CHILD | WS_VISIBLE, 0, 0,
                                 1132, 457, window, nullptr, instance, nullptr);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  prepareInstallerScreen(console, 0);

  const std::vector<std::string> lines = makeLines();
  std::printf("printText from a worker thread into a live console, %d lines of 80 characters\n",
              kLines);
  double bare = linesPerSecond(console, lines, true);
  double plain = linesPerSecond(console, lines, false);
  std::printf("  velmorin printText, no log open     %9.0f lines/s\n", plain);
  std::printf("  peer: bare SendMessageA per line    %9.0f lines/s\n", bare);
  openLog(nullptr);
  double logged = linesPerSecond(console, lines, false);
  closeLog();
  std::printf("  velmorin printText, log open        %9.0f lines/s (every line flushed to disk)\n",
              logged);

  fillScreen(console);
  ConsoleState& state = *findConsole(console);
  ConsoleScreen& screen = *state.screens[0];
  std::printf("full redraw of a %d x %d screen after refreshScreen (median of %d)\n", screen.cols,
              screen.rows, kRedraws);
  std::printf("  velmorin refresh tick (draw + paint) %8.1f us\n", redrawMicroseconds(console, state));
  std::printf("  velmorin drawing into the surfaces   %8.1f us\n", drawingOnlyMicroseconds(screen));
  std::printf("  peer: GDI ExtTextOutA of the rows    %8.1f us\n", gdiTextMicroseconds(console, screen));
  DestroyWindow(window);
  return 0;
}
