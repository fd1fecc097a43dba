// Reads back what a window of this process has painted: its client area copied
// into a 24-bit top-down DIB.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

struct Capture {
  int width = 0, height = 0;
  std::vector<uint8_t> bgr;  // rows of width * 3 bytes, padded to 4

  COLORREF at(int x, int y) const {
    size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
    const uint8_t* p = &bgr[static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3];
    return RGB(p[2], p[1], p[0]);
  }
  int count(COLORREF colour, int left, int top, int right, int bottom) const {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += at(x, y) == colour;
    return n;
  }
};

// Paints pending updates first, then copies the client area.
inline Capture captureClient(HWND hwnd) {
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT client;
  GetClientRect(hwnd, &client);
  Capture shot;
  shot.width = client.right;
  shot.height = client.bottom;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = shot.width;
  info.bmiHeader.biHeight = -shot.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HDC window = GetDC(hwnd);
  HDC memory = CreateCompatibleDC(window);
  HBITMAP dib = CreateDIBSection(window, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, shot.width, shot.height, window, 0, 0, SRCCOPY);
  GdiFlush();
  size_t stride = (static_cast<size_t>(shot.width) * 3 + 3) & ~size_t(3);
  const uint8_t* start = static_cast<const uint8_t*>(bits);
  shot.bgr.assign(start, start + stride * static_cast<size_t>(shot.height));
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(hwnd, window);
  return shot;
}

// The pixels of a bitmap resource of this module, in the same layout.
inline Capture loadBitmapPixels(int id) {
  HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  Capture picture;
  if (!bitmap) return picture;
  BITMAP desc;
  GetObjectA(bitmap, sizeof desc, &desc);
  picture.width = desc.bmWidth;
  picture.height = desc.bmHeight;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  size_t stride = (static_cast<size_t>(picture.width) * 3 + 3) & ~size_t(3);
  picture.bgr.resize(stride * static_cast<size_t>(picture.height));
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, static_cast<UINT>(picture.height), picture.bgr.data(), &info,
            DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(bitmap);
  return picture;
}
