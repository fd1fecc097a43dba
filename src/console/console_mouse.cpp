// Mouse reports, the context menu, the selection box and the copy to the clipboard.
#include <cstring>

#include "console/console_state.h"

namespace {

void reportMouse(ConsoleScreen& screen, unsigned event, int position) {
  if (screen.mouseTarget[0] == 0) return;
  screen.mouseTarget[2] = position;
  int record[3];
  std::memcpy(record, screen.mouseTarget, sizeof record);
  HWND target = static_cast<HWND>(LongToHandle(record[0]));
  SendMessageA(target, kMouseReport, event, reinterpret_cast<LPARAM>(record));
}

int cellIndexOf(const ConsoleScreen& screen, int position) {
  return screen.cellIndex(position & 0xFFFF, (position >> 16) & 0xFFFF);
}

// Places the displayed characters of the box on the clipboard as CF_TEXT.
void copySelection(HWND window, const ConsoleScreen& screen) {
  CellBox box{};
  if (!screen.selectionBox(box)) return;  // no box inside the grid: nothing to copy
  std::string text = screen.selectionText();
  GlobalMemory block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE,
                                 static_cast<SIZE_T>(selectionBlockBytes(box))));
  if (!block) return;
  if (char* bytes = static_cast<char*>(GlobalLock(block.get()))) {
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(block.get());
  }
  // The console owns the clipboard while it fills it: with no owner, EmptyClipboard
  // leaves none and SetClipboardData may refuse the data.
  if (!OpenClipboard(window)) return;
  EmptyClipboard();
  if (SetClipboardData(CF_TEXT, block.get())) block.release();  // the clipboard's now
  CloseClipboard();
}

}  // namespace

HMENU buildContextMenu() {
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, kMenuCancel, "&Cancel");
  AppendMenuA(menu, MF_STRING, kMenuCopy, "&Copy");
  AppendMenuA(menu, MF_STRING, kMenuSelect, "&Select");
  return menu;
}

void handleMouse(HWND window, ConsoleState& state, UINT message, LPARAM point) {
  if (ConsoleScreen* screen = state.active) {
    ConsoleScreen& s = *screen;
    int position = s.pointToCell(LOWORD(point), HIWORD(point));
    // Without a grid there are no cells to report or select.
    if (position >= 0) {
      // The report goes out first and without the lock: its target may be a
      // thread that is printing into this console.
      unsigned event = message == WM_MOUSEMOVE     ? kMouseMoved
                       : message == WM_LBUTTONDOWN ? kMouseLeftDown
                                                   : kMouseLeftUp;
      reportMouse(s, event, position);
      ConsoleLockGuard guard(state.lock);
      if (state.active != screen) return;  // the report's receiver changed the console
      if (message == WM_MOUSEMOVE && s.dragging && s.selectMode) {
        s.selEnd = cellIndexOf(s, position);
        s.markAllForRedraw();
      } else if (message == WM_LBUTTONDOWN && s.selectMode) {
        s.selStart = s.selEnd = cellIndexOf(s, position);
        s.dragging = true;
        s.markAllForRedraw();
      } else if (message == WM_LBUTTONUP && s.dragging && s.selectMode) {
        s.dragging = false;
      }
    }
  }
  if (message == WM_LBUTTONDOWN) SetFocus(window);
}

void handleContextMenu(HWND window, ConsoleState& state) {
  POINT at{};
  GetCursorPos(&at);
  UINT command = static_cast<UINT>(
      TrackPopupMenuEx(state.menu.get(), TPM_RETURNCMD | TPM_CENTERALIGN, at.x, at.y, window, nullptr));
  // The menu ran a message loop: look the console and its screen up again.
  ConsoleState* now = findConsole(window);
  if (now == nullptr) return;
  ConsoleLockGuard guard(now->lock);
  if (now->active == nullptr) return;
  ConsoleScreen& s = *now->active;
  switch (command) {
    case kMenuSelect:
      s.selectMode = true;
      s.dragging = false;
      break;
    case kMenuCopy:
      copySelection(window, s);
      s.resetSelection();
      s.markAllForRedraw();
      break;
    case kMenuCancel:
      s.resetSelection();
      s.markAllForRedraw();
      break;
    default:
      break;
  }
}
