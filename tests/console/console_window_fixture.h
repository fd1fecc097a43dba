// A real console window for the Windows tests: a visible top-level host window with
// one console control as its child, as the main installer window holds it.
#pragma once
#include <windows.h>

#include <cstring>
#include <string>

#include "console/console.h"
#include "console/console_state.h"

class ConsoleWindow {
 public:
  explicit ConsoleWindow(int width = 1132, int height = 457) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    registerConsoleClasses(instance);
    WNDCLASSA host{};
    host.lpfnWndProc = DefWindowProcA;
    host.hInstance = instance;
    host.lpszClassName = "velmorin.console.test.host";
    RegisterClassA(&host);  // fails harmlessly from the second window on
    host_ = CreateWindowExA(0, host.lpszClassName, "console test", WS_OVERLAPPEDWINDOW, 0, 0,
                            width + 64, height + 96, nullptr, nullptr, instance, nullptr);
    console_ = CreateWindowExA(0, "quorvane.console", "Cconsole",
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, width, height, host_,
                               reinterpret_cast<HMENU>(1008), instance, nullptr);
    ShowWindow(host_, SW_SHOWNOACTIVATE);
  }
  ~ConsoleWindow() {
    if (IsWindow(host_)) DestroyWindow(host_);
    pump();
  }
  ConsoleWindow(const ConsoleWindow&) = delete;
  ConsoleWindow& operator=(const ConsoleWindow&) = delete;

  HWND hwnd() const { return console_; }
  HWND host() const { return host_; }
  ConsoleState* state() const { return findConsole(console_); }
  ConsoleScreen* screen(int n) const { return state()->screens[n]; }

  // Screen 0 as the main installer window prepares it.
  void prepareInstallerScreen() { ::prepareInstallerScreen(console_, 0); }

  // One refresh tick, as the 100 ms timer gives it.
  void tick() const {
    SendMessageA(console_, WM_TIMER, static_cast<WPARAM>(state()->timerId), 0);
  }

  static void pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }

  // The characters of one row of the live cells.
  std::string row(int screenNumber, int r) const {
    const ConsoleScreen& s = *screen(screenNumber);
    std::string text;
    for (int c = 0; c < s.cols; ++c)
      text += static_cast<char>(s.cells[static_cast<std::size_t>(r) * s.cols + c] & 0xFF);
    return text;
  }

 private:
  HWND host_ = nullptr;
  HWND console_ = nullptr;
};

// What the window shows: its client area read back through its device context.
class WindowCapture {
 public:
  explicit WindowCapture(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    width_ = client.right;
    height_ = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;  // top-down, so y counts from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC windowDc = GetDC(window);
    HDC memory = CreateCompatibleDC(windowDc);
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap_);
    BitBlt(memory, 0, 0, width_, height_, windowDc, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(window, windowDc);
    bits_ = static_cast<const std::uint8_t*>(bits);
  }
  ~WindowCapture() { DeleteObject(bitmap_); }
  WindowCapture(const WindowCapture&) = delete;
  WindowCapture& operator=(const WindowCapture&) = delete;

  // Blue, green, red at (x, y).
  const std::uint8_t* pixel(int x, int y) const {
    return bits_ + (static_cast<std::size_t>(y) * width_ + x) * 4;
  }

 private:
  HBITMAP bitmap_ = nullptr;
  const std::uint8_t* bits_ = nullptr;
  int width_ = 0, height_ = 0;
};

// Blue, green, red at (x, y) of a screen's surface 1 or 2, y counted from the top.
inline const std::uint8_t* surfacePixel(const ConsoleScreen& s, int surface, int x, int y) {
  const std::uint8_t* bits = surface == 1 ? s.bits1 : s.bits2;
  std::size_t row = static_cast<std::size_t>(s.surfaceHeight - 1 - y);
  return bits + (row * s.surfaceWidth + x) * 3;
}

inline bool isColour(const std::uint8_t* pixel, int blue, int green, int red) {
  return pixel[0] == blue && pixel[1] == green && pixel[2] == red;
}
