#include "engine/main_window_controls.h"

#include <windows.h>
#include <commctrl.h>

#include <atomic>

#include "engine/engine_state.h"

namespace {
HWND control(int id) { return GetDlgItem(g_mainWindow, id); }
}  // namespace

void setStatusLine(const char* text) { SetDlgItemTextA(g_mainWindow, kStatusLine, text); }

void showFileCountBar(int count) {
  HWND bar = control(kFileCountBar);
  ShowWindow(bar, SW_SHOW);
  SendMessageA(bar, PBM_SETRANGE32, 0, count);
}

void setFileCountPosition(int position) {
  SendMessageA(control(kFileCountBar), PBM_SETPOS, position, 0);
}

void stepFileCountBar(int position, int last) {
  constexpr DWORD kPaceMs = 50;
  static std::atomic<DWORD> lastMove{0};
  const DWORD now = GetTickCount();
  if (position != last && position != 0 && now - lastMove.load() < kPaceMs) return;
  lastMove = now;
  setFileCountPosition(position);
}

void enableDownloadButton(bool enable) { EnableWindow(control(kDownloadButton), enable); }

void enableExitButton(bool enable) { EnableWindow(control(kExitButton), enable); }
