// Runs a dialog modally on the test thread while a second thread works it as a
// user would.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <thread>

#include "framework/dialog.h"

// The first visible dialog window (#32770) of the given thread, or nullptr after 5 s.
inline HWND waitForDialog(DWORD thread) {
  for (int i = 0; i < 500; ++i) {
    HWND found = nullptr;
    EnumThreadWindows(
        thread,
        [](HWND hwnd, LPARAM out) -> BOOL {
          char cls[32];
          GetClassNameA(hwnd, cls, sizeof cls);
          if (std::string(cls) != "#32770" || !IsWindowVisible(hwnd)) return TRUE;
          *reinterpret_cast<HWND*>(out) = hwnd;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    if (found) return found;
    Sleep(10);
  }
  return nullptr;
}

// Runs the dialog modally here while `user` works it from another thread.
inline INT_PTR runWith(Dialog& dialog, const std::function<void(HWND)>& user) {
  DWORD self = GetCurrentThreadId();
  std::thread worker([&] {
    HWND hwnd = waitForDialog(self);
    if (hwnd) user(hwnd);
    else ADD_FAILURE() << "dialog did not open";
  });
  INT_PTR result = dialog.doModal();
  worker.join();
  return result;
}
