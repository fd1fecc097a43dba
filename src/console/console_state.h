// The state behind one console window and the window-to-state map. Used by the
// console's own window code (and by its tests, which read the surfaces).
#pragma once
#include <windows.h>

#include "console/console.h"
#include "console/console_lock.h"
#include "console/screen_model.h"
#include "win32/handles.h"

constexpr int kScreenSlots = 256;

// A screen: the cell model plus the bitmaps that hold its pixel memory.
struct ConsoleScreen : ScreenModel {
  GdiObject<HBITMAP> surface1;
  GdiObject<HBITMAP> surface2;
  // Mouse report record: target window, user value, last position.
  int mouseTarget[3] = {};
};

struct ConsoleFields {
  HWND window = nullptr;  // the console this state serves, none once destroyed
  ConsoleScreen* screens[kScreenSlots] = {};
  ConsoleScreen* active = nullptr;
  MenuHandle menu;
  volatile LONG closing = 0;
  KernelHandle keyEvent;
  KernelHandle notifyThread;
  KernelHandle notifyEvent;
  volatile LPARAM notifyArgument = 0;
  int timerId = 0;
  volatile ConsoleNotifyCallback notifyCallback = nullptr;
};

// States are kept for the next console window instead of being freed, so that a
// thread printing directly never holds a pointer to freed memory. The window's
// destruction closes the handles; a reset for the next window finds none open.
struct ConsoleState : ConsoleFields {
  ConsoleLock lock;  // guards the screens against threads that print directly
  void reset() { static_cast<ConsoleFields&>(*this) = ConsoleFields{}; }
};

// The window-to-state map, one process-wide list guarded by a lock that a terminated
// holder cannot keep.
void initConsoleLock();
ConsoleState* findConsole(HWND window);
// Enters the window with a fresh state: the window's own entry or the first free
// one is reused before the list grows.
ConsoleState* enterConsole(HWND window);
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

// printText from a thread other than the console's: writes under the lock.
LRESULT printDirect(HWND window, int screen, const char* text);

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
