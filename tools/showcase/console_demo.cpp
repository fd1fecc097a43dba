// A window with one console, shown the way the installer uses it: a long run of
// progress lines printed from a worker thread, then the 16 colours, the background
// colours, blinking text, an error line and code page 437 glyphs.
//   console_demo.exe [seconds]   ends by itself after that many seconds (default: on close)
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "console/console.h"
#include "win32/handles.h"

namespace {

const char* const kColourNames[16] = {"black", "blue", "green", "cyan", "red", "magenta",
                                      "brown", "grey", "dark grey", "bright blue",
                                      "bright green", "bright cyan", "bright red",
                                      "bright magenta", "yellow", "white"};
constexpr UINT kScrollDone = WM_APP + 1;
constexpr UINT_PTR kQuitTimer = 1;
constexpr UINT_PTR kBlinkLater = 2;
const char kBlinkingText[] = "  This line blinks: it is drawn only into the first surface.  ";

HWND g_console = nullptr;

void say(int attribute, const char* text) {
  setAttribute(g_console, 0, static_cast<unsigned char>(attribute));
  printText(g_console, 0, text);
}

// The long scroll: what an installation prints while it fetches its files.
DWORD WINAPI printProgress(LPVOID owner) {
  char line[160];
  for (int i = 1; i <= 400; ++i) {
    std::snprintf(line, sizeof line,
                  "Downloading Data\\Maps\\scenario_%04d.map ... %6d bytes received, CRC verified\n",
                  i, 40960 + i * 37);
    printText(g_console, 0, line);
  }
  PostMessageA(static_cast<HWND>(owner), kScrollDone, 0, 0);
  return 0;
}

void showColours() {
  say(0x1F, " velmorin console: 16 colours, blinking, code page 437 glyphs                    \n");
  for (int colour = 0; colour < 16; ++colour) {
    char cell[32];
    std::snprintf(cell, sizeof cell, " %-15s", kColourNames[colour]);
    say(colour == 0 ? 0x70 : colour, cell);
    if (colour == 7 || colour == 15) say(0x07, "\n");
  }
  for (int back = 0; back < 8; ++back) {
    char cell[32];
    std::snprintf(cell, sizeof cell, " on %-12s", kColourNames[back]);
    say(back << 4 | (back == 7 ? 0 : 15), cell);
  }
  say(0x07, "\n");
  // The blinking line is written over blanks once they are drawn (kBlinkLater):
  // its dark phase shows what the second surface held there before.
  say(0x07, "\n");
  say(0x04, "Error: File Data\\Maps\\scenario_0042.map CRC is not valid, it will be downloaded again\n");
  say(0x07, "Glyphs: ");
  int size[2] = {};
  getScreenSize(g_console, 0, size);
  int row = size[1] - 1;
  // Code page 437 line drawing and symbols, stored as glyph codes directly.
  const unsigned char glyphs[] = {0xC9, 0xCD, 0xCB, 0xCD, 0xBB, ' ', 0xDA, 0xC4, 0xC2, 0xC4, 0xBF,
                                  ' ', 0xB0, 0xB1, 0xB2, 0xDB, ' ', 0x01, 0x02, 0x03, 0x04, 0x05,
                                  0x06, 0x0E, 0x0F, ' ', 0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6,
                                  0xEA, 0xF4, 0xF5, 0xF7, 0xFB, 0xFD};
  for (unsigned i = 0; i < sizeof glyphs; ++i)
    putCharAt(g_console, 0, 8 + static_cast<int>(i), row, glyphs[i], 0x0B);
  setCursor(g_console, 0, 8 + static_cast<int>(sizeof glyphs) + 1, row);
}

void writeBlinkingLine() {
  int size[2] = {};
  getScreenSize(g_console, 0, size);
  for (int i = 0; kBlinkingText[i] != '\0'; ++i)
    putCharAt(g_console, 0, i, size[1] - 3, static_cast<unsigned char>(kBlinkingText[i]), 0x8E);
}

LRESULT CALLBACK demoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kScrollDone:
      showColours();
      SetTimer(window, kBlinkLater, 300, nullptr);
      return 0;
    case WM_TIMER:
      if (wParam == kQuitTimer) DestroyWindow(window);
      if (wParam == kBlinkLater) {
        KillTimer(window, kBlinkLater);
        writeBlinkingLine();
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  registerConsoleClasses(instance);
  WNDCLASSA demoClass{};
  demoClass.lpfnWndProc = demoProc;
  demoClass.hInstance = instance;
  demoClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  demoClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  demoClass.lpszClassName = "velmorin.console.demo";
  RegisterClassA(&demoClass);
  RECT frame = {0, 0, 1132 + 16, 457 + 16};
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  AdjustWindowRect(&frame, style, FALSE);
  HWND window = CreateWindowExA(0, demoClass.lpszClassName, "velmorin console", style, 0, 0,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, instance, nullptr);
  g_console = CreateWindowExA(0, "quorvane.console", "Cconsole", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                              8, 8, 1132, 457, window, reinterpret_cast<HMENU>(1008), instance,
                              nullptr);
  ShowWindow(window, SW_SHOW);
  // The installer's own start-up sequence for screen 0.
  prepareInstallerScreen(g_console, 0);
  printText(g_console, 0, "Welcome in installation program\n");
  int seconds = std::atoi(commandLine);
  if (seconds > 0) SetTimer(window, kQuitTimer, static_cast<UINT>(seconds) * 1000, nullptr);
  KernelHandle worker(CreateThread(nullptr, 0, printProgress, window, 0, nullptr));
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  WaitForSingleObject(worker.get(), 5000);
  return 0;
}
