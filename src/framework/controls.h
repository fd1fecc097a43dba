// The standard controls the dialogs talk to: a button with its check state and a
// rich edit control with the requests the licence page sends it.
#pragma once
#include <windows.h>
#include <richedit.h>

#include "framework/window.h"

class Button : public Window {
 public:
  void setCheck(int state) const { SendMessageA(hwnd(), BM_SETCHECK, state, 0); }
  int getCheck() const { return static_cast<int>(SendMessageA(hwnd(), BM_GETCHECK, 0, 0)); }
};

class RichEditCtrl : public Window {
 public:
  void clear() const { SendMessageA(hwnd(), WM_CLEAR, 0, 0); }
  // Replaces the content with the stream; returns the characters read.
  LRESULT streamIn(int format, EDITSTREAM& stream) const {
    return SendMessageA(hwnd(), EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream));
  }
  void lineScroll(int lines) const { SendMessageA(hwnd(), EM_LINESCROLL, 0, lines); }
  void setSel(LONG start, LONG end) const {
    CHARRANGE range{start, end};
    SendMessageA(hwnd(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  }
  int textLength() const { return GetWindowTextLengthA(hwnd()); }
  // Lines break at the window's width, whatever the control's style asks.
  void wrapToWindow() const { SendMessageA(hwnd(), EM_SETTARGETDEVICE, 0, 0); }
  void scrollToTop() const { SendMessageA(hwnd(), WM_VSCROLL, SB_TOP, 0); }
};
