#include "support/screen_capture.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "win32/handles.h"

namespace {
std::vector<uint8_t> grab(const RECT& area, BITMAPINFO& info) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
  std::vector<uint8_t> pixels(stride * static_cast<size_t>(height));
  const WindowDc screen(nullptr);
  const MemoryDc memory(CreateCompatibleDC(screen.get()));
  const GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.get(), width, height));
  {
    const SelectedObject selected(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY);
  }
  GetDIBits(memory.get(), bitmap.get(), 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
  return pixels;
}
}  // namespace

RECT areaOf(const std::vector<HWND>& windows, int margin) {
  RECT area = {0, 0, 0, 0};
  bool first = true;
  for (HWND window : windows) {
    RECT rect;
    if (!GetWindowRect(window, &rect)) continue;
    if (first) {
      area = rect;
      first = false;
    } else {
      UnionRect(&area, &area, &rect);
    }
  }
  InflateRect(&area, margin, margin);
  area.left = std::max<LONG>(area.left, 0);
  area.top = std::max<LONG>(area.top, 0);
  area.right = std::min<LONG>(area.right, GetSystemMetrics(SM_CXSCREEN));
  area.bottom = std::min<LONG>(area.bottom, GetSystemMetrics(SM_CYSCREEN));
  return area;
}

bool saveScreenArea(const RECT& area, const std::string& path, int settleMs) {
  if (area.right <= area.left || area.bottom <= area.top) return false;
  BITMAPINFO info;
  std::vector<uint8_t> pixels = grab(area, info);
  for (DWORD start = GetTickCount(); GetTickCount() - start < static_cast<DWORD>(settleMs);) {
    Sleep(100);
    std::vector<uint8_t> again = grab(area, info);
    if (again == pixels) break;
    pixels.swap(again);
  }
  BITMAPFILEHEADER header = {};
  header.bfType = 0x4D42;  // "BM"
  header.bfOffBits = sizeof header + sizeof info.bmiHeader;
  header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());
  info.bmiHeader.biSizeImage = static_cast<DWORD>(pixels.size());
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool written = std::fwrite(&header, sizeof header, 1, file) == 1 &&
                 std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, file) == 1 &&
                 std::fwrite(pixels.data(), 1, pixels.size(), file) == pixels.size();
  return std::fclose(file) == 0 && written;
}
