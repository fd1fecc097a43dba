// The state behind one console window and the window-to-state map. Used by the
// console's own window code (and by its tests, which read the surfaces).
#pragma once
#include <windows.h>

#include "console/console.h"
#include "console/screen_model.h"

constexpr int kScreenSlots = 256;

// A screen: the cell model plus the bitmaps that hold its pixel memory.
struct ConsoleScreen : ScreenModel {
  HBITMAP surface1 = nullptr;
  HBITMAP surface2 = nullptr;
  // Mouse report record: target window, user value, last position.
  int mouseTarget[3] = {};
};

struct ConsoleState {
  ConsoleScreen* screens[kScreenSlots] = {};
  ConsoleScreen* active = nullptr;
  HMENU menu = nullptr;
  volatile LONG closing = 0;
  HANDLE keyEvent = nullptr;
  HANDLE notifyThread = nullptr;
  HANDLE notifyEvent = nullptr;
  volatile LPARAM notifyArgument = 0;
  int timerId = 0;
  volatile ConsoleNotifyCallback notifyCallback = nullptr;
};

// The window-to-state map, one process-wide list guarded by the console lock.
void initConsoleLock();
ConsoleState* findConsole(HWND window);
void enterConsole(HWND window, ConsoleState* state);
// Keeps the entry for reuse by a later console window, with no state.
void forgetConsole(HWND window);

// The process's ANSI to OEM byte map, built at registration.
const std::uint8_t* ansiToOemTable();
HINSTANCE consoleInstance();

// Screen drawing (console_paint.cpp).
void buildSurfaces(HWND window, ConsoleScreen& screen);
void releaseSurfaces(ConsoleScreen& screen);
void refreshTick(HWND window, ConsoleState& state);
void paintConsole(HWND window, ConsoleState& state);

// Keyboard and notification (console_keys.cpp).
bool handleKeyDown(HWND window, ConsoleState& state, WPARAM key);
void handleChar(ConsoleState& state, WPARAM character);
LRESULT pollKeyFor(ConsoleState& state);
LRESULT readKeyOn(HWND window);
LRESULT readLineOn(HWND window, WPARAM widthAndFilter, char* buffer);
void startNotifyThread(ConsoleState& state);
void stopNotifyThread(ConsoleState& state);
LRESULT postNotifyTo(ConsoleState& state, LPARAM argument);

// Mouse, menu and clipboard (console_mouse.cpp).
void handleMouse(HWND window, ConsoleState& state, UINT message, LPARAM position);
void handleContextMenu(HWND window, ConsoleState& state);
HMENU buildContextMenu();
