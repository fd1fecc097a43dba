#include "ui/cidle.h"

#include "ui/activity_block.h"
#include "win32/handles.h"

cidle::cidle() { registerControlClass("GPR_INSTALL"); }

int cidle::blockLeft() const {
  RECT client;
  GetClientRect(hwnd(), &client);
  return activityBlockLeft(steps_, client.right);
}

LRESULT cidle::windowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:  // whichever timer: every tick moves the block
      steps_ += kActivityStep;
      redrawNow();
      return 0;
    case WM_PAINT:
      paint();
      return 0;
  }
  return defaultProc(message, wParam, lParam);
}

void cidle::paint() {
  GdiObject<HPEN> pen(CreatePen(PS_SOLID, 3, RGB(147, 250, 96)));
  GdiObject<HBRUSH> brush(CreateSolidBrush(RGB(36, 176, 4)));
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd(), &ps);
  RECT client;
  GetClientRect(hwnd(), &client);
  Rectangle(dc, 0, 0, client.right, client.bottom);  // default pen and brush: white box
  int left = activityBlockLeft(steps_, client.right);
  {
    SelectedObject selectedPen(dc, pen.get());
    SelectedObject selectedBrush(dc, brush.get());
    Rectangle(dc, left, 4, left + kActivityBlockWidth, client.bottom - 4);
  }
  EndPaint(hwnd(), &ps);
}
