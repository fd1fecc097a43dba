// The screens' drawing surfaces, the refresh tick and the painting of the window.
#include "console/console_state.h"

namespace {

HBITMAP createSurface(HDC dc, int width, int height, std::uint8_t*& bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: bottom-up rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  bits = bitmap ? static_cast<std::uint8_t*>(pixels) : nullptr;
  return bitmap;
}

}  // namespace

void releaseSurfaces(ConsoleScreen& screen) {
  screen.surface1.reset();
  screen.surface2.reset();
  screen.bits1 = screen.bits2 = nullptr;
}

void buildSurfaces(HWND window, ConsoleScreen& screen) {
  releaseSurfaces(screen);
  RECT client{};
  GetClientRect(window, &client);
  // Each 24-bit pixel row must be a multiple of 4 bytes long.
  int width = (client.right - client.left + 3) / 4 * 4;
  int height = client.bottom - client.top;
  {
    WindowDc dc(window);
    screen.surface1.reset(createSurface(dc.get(), width, height, screen.bits1));
    screen.surface2.reset(createSurface(dc.get(), width, height, screen.bits2));
  }
  screen.surfaceWidth = width;
  screen.surfaceHeight = height;
  screen.clearSurfaces();
  // New surfaces are black: whatever the grid holds has to be drawn again.
  screen.markAllForRedraw();
}

void refreshTick(HWND window, ConsoleState& state) {
  {
    ConsoleLockGuard guard(state.lock);
    if (!state.active) return;
    state.active->refresh();
  }
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void paintConsole(HWND window, ConsoleState& state) {
  ConsoleLockGuard guard(state.lock);
  ConsoleScreen& screen = *state.active;
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  HBITMAP surface = (screen.visibleSurface() == 1 ? screen.surface1 : screen.surface2).get();
  if (surface) {
    RECT client{};
    GetClientRect(window, &client);
    MemoryDc memory(CreateCompatibleDC(dc));
    SelectedObject selected(memory.get(), surface);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
  }
  // The cursor goes onto the window over the surface, never into it.
  CursorMark mark{};
  if (screen.cursorMark(mark) && mark.firstLine <= mark.lastLine) {
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, RGB(mark.colour.red, mark.colour.green, mark.colour.blue)));
    SelectedObject selected(dc, pen.get());
    for (int line = mark.firstLine; line <= mark.lastLine; ++line) {
      MoveToEx(dc, mark.x, mark.y + line, nullptr);
      LineTo(dc, mark.x + mark.width, mark.y + line);
    }
  }
  EndPaint(window, &paint);
}
