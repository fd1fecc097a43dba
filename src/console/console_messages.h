// The console control's message numbers (WM_USER+1 to WM_USER+36). Programs drive
// the control through these messages or through the sink functions of console.h.
#pragma once
#include <windows.h>

enum ConsoleMessage : unsigned {
  kCreateScreen = WM_USER + 1,
  kDeleteScreen,
  kSetFont,
  kResizeSurface,
  kShowScreen,
  kRefreshScreen,
  kGetCellBuffer,
  kSetCursor,
  kSetCursorShape,
  kPutCell,
  kPutChar,
  kPrintText,
  kScrollRegion,
  kClearScreen,
  kReadKey,
  kPollKey,
  kReadLine,
  kPointToCell,
  kSetFreeze,
  kIsFrozen,
  kSetBackColor,
  kSetTextColor,
  kGetScreenSize,
  kCellIndex,
  kSetNotifyCallback,
  kPostNotify,
  kSetMouseTarget,
  kSetAttribute,
  kGetAttribute,
  kGetActiveScreen,
  kSetColorMode,
  kGetColorMode,
  kGetPalette,
  kSetPalette,
  kResetPalette,
  kGetFont,
};
static_assert(kGetFont == WM_USER + 36, "the console messages end at WM_USER+36");

// Mouse reports go to the target window under the same number as kSetMouseTarget.
constexpr unsigned kMouseReport = kSetMouseTarget;
enum MouseEvent : unsigned { kMouseMoved = 0, kMouseLeftDown = 2, kMouseLeftUp = 4 };

// Context menu commands.
enum ConsoleMenuCommand : unsigned { kMenuCopy = 8000, kMenuSelect = 8001, kMenuCancel = 8002 };
