#include "ui/chinstall.h"

#include <windowsx.h>

#include <string>

#include "ui/progress_layout.h"

namespace {
const char kClassName[] = "GINSTALL";

ScrollRequest scrollRequestOf(int code) {
  switch (code) {
    case SB_LINEUP: return ScrollRequest::LineUp;
    case SB_LINEDOWN: return ScrollRequest::LineDown;
    case SB_PAGEUP: return ScrollRequest::PageUp;
    case SB_PAGEDOWN: return ScrollRequest::PageDown;
    case SB_THUMBPOSITION: return ScrollRequest::Position;
    case SB_THUMBTRACK: return ScrollRequest::Track;
    case SB_TOP: return ScrollRequest::Top;
    case SB_BOTTOM: return ScrollRequest::Bottom;
    default: return ScrollRequest::Other;
  }
}
}  // namespace

chinstall::chinstall() { registerControlClass(kClassName); }

void chinstall::loadStateBitmaps(HINSTANCE module, int state1, int state2, int state3,
                                 int state4, int state5, int state6) {
  const int ids[6] = {state1, state2, state3, state4, state5, state6};
  for (int i = 0; i < 6; ++i) bitmaps_[i].reset(LoadBitmapA(module, MAKEINTRESOURCEA(ids[i])));
}

bool chinstall::create(DWORD style, const RECT& rect, HWND parent, int id) {
  return Window::create(kClassName, "", style | WS_CHILD, rect, parent, id);
}

void chinstall::setRowCount(int count) {
  rows_.setCount(count);
  if (hwnd()) SetScrollRange(hwnd(), SB_VERT, 0, count, TRUE);
}

void chinstall::setRow(int index, const char* name, const char* path, int64_t maximum, void* key) {
  rows_.set(index, name, path, maximum, key);
}

void chinstall::scrollToRow(int index) {
  if (index < 0 || index >= rows_.count()) return;
  firstVisible_.store(index);
  if (!hwnd()) return;
  SetScrollPos(hwnd(), SB_VERT, index, TRUE);
  redrawNow();
}

int64_t chinstall::rowValue(int index) const {
  const ProgressRowSet* set = rows_.current();
  if (index < 0 || index >= set->count) return 0;
  return set->rows[index].value.load();
}

LRESULT chinstall::windowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      paint();
      return 0;
    case WM_VSCROLL:
      onVerticalScroll(LOWORD(wParam), HIWORD(wParam));
      break;
    case WM_RBUTTONDOWN:
      onRightButton(lParam);
      break;
  }
  return defaultProc(message, wParam, lParam);
}

void chinstall::onRightButton(LPARAM point) {
  RightClickCallback callback = callback_.load();
  if (!callback) return;
  int x = GET_X_LPARAM(point), y = GET_Y_LPARAM(point);
  const ProgressRowSet* set = rows_.current();
  int row = progressHitTest(firstVisible_.load(), set->count, y);
  void* key = row >= 0 ? set->rows[row].key.load() : nullptr;
  callback(this, row, key, y, x);
}

void chinstall::onVerticalScroll(int request, int position) {
  int row = GetScrollPos(hwnd(), SB_VERT);
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_PAGE;
  GetScrollInfo(hwnd(), SB_VERT, &info);
  row = progressScrollTarget(scrollRequestOf(request), row, static_cast<int>(info.nPage), position);
  firstVisible_.store(row);
  SetScrollPos(hwnd(), SB_VERT, row, TRUE);
  redrawNow();
}

void chinstall::paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd(), &ps);
  RECT client;
  GetClientRect(hwnd(), &client);
  const int width = client.right, height = client.bottom;
  const ProgressColumns columns = progressColumns(width);
  const int lastSlot = progressLastSlot(height);
  // One snapshot for the whole paint: a worker may replace the rows meanwhile.
  const ProgressRowSet* set = rows_.current();
  const int first = firstVisible_.load();

  for (int slot = 0; slot <= lastSlot; ++slot) {
    int index = first + slot;
    if (index < 0 || index >= set->count) continue;
    const ProgressRow& row = set->rows[index];
    if (row.state.load(std::memory_order_acquire) == 0) continue;
    paintRow(dc, row, slot * kProgressRowHeight, width);
  }

  const int edges[4] = {columns.x0, columns.x1, columns.x2, columns.x3};
  for (int x : edges) {
    MoveToEx(dc, x, 0, nullptr);
    LineTo(dc, x, height);
  }
  for (int slot = 0; slot <= lastSlot; ++slot) {
    MoveToEx(dc, 0, slot * kProgressRowHeight, nullptr);
    LineTo(dc, width, slot * kProgressRowHeight);
  }
  EndPaint(hwnd(), &ps);
}

void chinstall::paintRow(HDC dc, const ProgressRow& row, int y, int clientWidth) {
  const ProgressColumns columns = progressColumns(clientWidth);
  int oldMode = SetBkMode(dc, TRANSPARENT);
  HGDIOBJ oldFont = SelectObject(dc, GetStockObject(ANSI_FIXED_FONT));

  // A name or path wider than its column keeps its start and its file name around an
  // ellipsis instead of being cut at both edges; "&" is shown as it is.
  const UINT textFormat = DT_CENTER | DT_PATH_ELLIPSIS | DT_NOPREFIX;
  RECT nameRect = {4, y, columns.x0 - 4, y + kProgressRowHeight};
  DrawTextA(dc, row.name, -1, &nameRect, textFormat);
  RECT pathRect = {columns.x0 + 4, y, columns.x1 - 4, y + kProgressRowHeight};
  DrawTextA(dc, row.path, -1, &pathRect, textFormat);

  RECT bar = {columns.x1 + 4, y + 2, columns.x2 - 4, y + 30};
  const double fraction = progressFraction(row.value.load(), row.maximum.load());
  {
    GdiObject<HBRUSH> blue(CreateSolidBrush(RGB(0, 0, 255)));
    GdiObject<HBRUSH> yellow(CreateSolidBrush(RGB(255, 255, 0)));
    SelectedObject selected(dc, blue.get());
    Rectangle(dc, bar.left, bar.top, bar.right, bar.bottom);
    SelectObject(dc, yellow.get());
    Rectangle(dc, bar.left, bar.top, bar.left + progressFillWidth(bar.left, bar.right, fraction),
              bar.bottom);
  }

  std::string percent = progressPercentText(fraction);
  COLORREF oldColour = SetTextColor(dc, RGB(0, 255, 0));
  DrawTextA(dc, percent.c_str(), -1, &bar, DT_CENTER);
  SetTextColor(dc, oldColour);
  SelectObject(dc, oldFont);
  SetBkMode(dc, oldMode);

  int state = row.state.load();
  HBITMAP picture = state >= 1 && state <= 6 ? bitmaps_[state - 1].get() : nullptr;
  if (picture) {
    MemoryDc memory(CreateCompatibleDC(dc));
    SelectedObject selected(memory.get(), picture);
    BitBlt(dc, columns.x2, y, columns.x3 - columns.x2, kProgressRowHeight, memory.get(), 0, 0, SRCCOPY);
  }
}
