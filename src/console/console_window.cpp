// The console window class: registration, creation and destruction, and the
// dispatch of the console messages.
#include <cstdlib>
#include <cstring>

#include "console/console_state.h"

namespace {

const char kClassName[] = "quorvane.console";
HINSTANCE g_instance = nullptr;
std::uint8_t g_ansiToOem[256];

LRESULT CALLBACK consoleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void keepConsoleProc(HWND window) {
  // A framework that attaches itself to the control subclasses it; take it back.
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)) != consoleProc)
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(consoleProc));
}

LRESULT onCreate(HWND window, WPARAM wParam, LPARAM lParam) {
  ConsoleState* state = enterConsole(window);
  state->timerId = std::rand() % 8000;
  SetTimer(window, static_cast<UINT_PTR>(state->timerId), 100, nullptr);
  state->menu.reset(buildContextMenu());
  state->keyEvent.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  keepConsoleProc(window);
  state->notifyEvent.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  startNotifyThread(*state);
  return DefWindowProcA(window, WM_CREATE, wParam, lParam);
}

void deleteScreenRecord(ConsoleScreen* screen) {
  releaseSurfaces(*screen);
  delete screen;
}

void onDestroy(HWND window, ConsoleState* state) {
  InterlockedExchange(&state->closing, 1);
  stopNotifyThread(*state);
  SetEvent(state->keyEvent.get());
  {
    ConsoleLockGuard guard(state->lock);
    for (ConsoleScreen*& screen : state->screens) {
      if (screen) deleteScreenRecord(screen);
      screen = nullptr;
    }
    state->active = nullptr;
    state->window = nullptr;
  }
  KillTimer(window, static_cast<UINT_PTR>(state->timerId));
  state->menu.close();
  state->keyEvent.close();
  forgetConsole(window);  // the state object waits there for the next console
  // A key wait of this thread may sit in GetMessage: wake it so it sees the end.
  PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
}

LRESULT createScreenIn(HWND window, ConsoleState& state, int slot) {
  if (state.screens[slot]) return -1;
  auto* screen = new ConsoleScreen();
  screen->index = slot;
  screen->colorMode = 0;
  std::memcpy(screen->palette, kDefaultPalette, kPaletteBytes);
  screen->oemTable = g_ansiToOem;
  state.screens[slot] = screen;
  SendMessageA(window, kResizeSurface, static_cast<WPARAM>(slot), 0);
  return slot;
}

LRESULT setFontOf(HWND window, ConsoleScreen& screen, int font) {
  RECT client{};
  GetClientRect(window, &client);
  return screen.selectFont(font, client.right - client.left, client.bottom - client.top);
}

LRESULT redrawAll(ConsoleScreen& screen, LRESULT result) {
  screen.markAllForRedraw();
  return result;
}

// Palette transfers name entries first..last (4 bits each) in wParam.
LRESULT paletteTransfer(ConsoleScreen& screen, WPARAM wParam, LPARAM lParam, bool set) {
  int first = static_cast<int>((wParam >> 8) & 0x0F);
  int last = static_cast<int>((wParam >> 16) & 0x0F);
  if (last < first || lParam == 0) return -1;
  if (set && screen.frozen()) return -1;
  std::size_t bytes = static_cast<std::size_t>(last - first + 1) * 3;
  auto* external = reinterpret_cast<std::uint8_t*>(lParam);
  if (set) {
    std::memcpy(screen.palette + first * 3, external, bytes);
    screen.markAllForRedraw();
  } else {
    std::memcpy(external, screen.palette + first * 3, bytes);
  }
  return static_cast<LRESULT>(bytes);
}

// Messages that name no screen.
bool consoleWideMessage(HWND window, ConsoleState& state, UINT message, WPARAM wParam,
                        LPARAM lParam, LRESULT& result) {
  switch (message) {
    case kReadKey:
      result = readKeyOn(window);
      return true;
    case kPollKey:
      result = pollKeyFor(state);
      return true;
    case kReadLine:
      result = readLineOn(window, wParam, reinterpret_cast<char*>(lParam));
      return true;
    case kSetNotifyCallback:
      state.notifyCallback = reinterpret_cast<ConsoleNotifyCallback>(lParam);
      result = DefWindowProcA(window, message, wParam, lParam);
      return true;
    case kPostNotify:
      result = postNotifyTo(state, lParam);
      return true;
    case kGetActiveScreen:
      result = state.active ? state.active->index : -1;
      return true;
    default:
      return false;
  }
}

LRESULT screenMessage(HWND window, ConsoleState& state, UINT message, WPARAM wParam,
                      LPARAM lParam) {
  const int slot = static_cast<int>(wParam & 0xFF);
  if (message == kCreateScreen) return createScreenIn(window, state, slot);
  ConsoleScreen* screen = state.screens[slot];
  if (screen == nullptr) return message == kGetCellBuffer ? 0 : -1;
  ConsoleScreen& s = *screen;
  switch (message) {
    case kDeleteScreen:
      if (state.active == screen) state.active = nullptr;
      state.screens[slot] = nullptr;
      deleteScreenRecord(screen);
      return slot;
    case kSetFont:
      return setFontOf(window, s, static_cast<int>((wParam >> 8) & 0xFF));
    case kResizeSurface:
      buildSurfaces(window, s);
      return slot;
    case kShowScreen:
      state.active = screen;
      RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      return slot;
    case kRefreshScreen:
      s.markAllForRedraw();
      return slot;
    case kGetCellBuffer:
      return reinterpret_cast<LRESULT>(s.cells.empty() ? nullptr : s.cells.data());
    case kSetCursor:
      s.cursorCol = static_cast<int>(lParam & 0xFF);
      s.cursorRow = static_cast<int>(lParam >> 8);
      return slot;
    case kSetCursorShape: {
      int result = s.setCursorShape(static_cast<int>((lParam >> 8) & 0xFF),
                                    static_cast<int>(lParam & 0xFF));
      return result == 0 ? slot : result;
    }
    case kPutCell:
      return s.putCell(static_cast<int>(lParam & 0xFF), static_cast<int>((lParam >> 8) & 0xFF),
                       static_cast<Cell>((lParam >> 16) & 0xFFFF))
                 ? slot
                 : -1;
    case kPutChar:
      s.writeByte(static_cast<std::uint8_t>(lParam & 0xFF));
      return 0;
    case kPrintText:
      s.writeText(reinterpret_cast<const char*>(lParam));
      return slot;
    case kScrollRegion:
      s.scroll(static_cast<int>(lParam & 0xFF), static_cast<int>((lParam >> 8) & 0xFF),
               static_cast<int>((lParam >> 16) & 0xFF), static_cast<int>((lParam >> 24) & 0xFF));
      return 0;
    case kClearScreen:
      s.clear();
      return slot;
    case kPointToCell:
      return s.pointToCell(LOWORD(lParam), HIWORD(lParam));
    case kSetFreeze: {
      int before = s.freeze;
      if ((wParam >> 8) & 0xFF)
        s.freeze |= kFreezeBySetFreeze;
      else
        s.freeze &= ~kFreezeBySetFreeze;
      if ((before ^ s.freeze) & kFreezeBySetFreeze) s.markAllForRedraw();
      return slot;
    }
    case kIsFrozen:
      return s.freeze & kFreezeBySetFreeze;
    case kSetBackColor:
      s.setBackColor(static_cast<int>(lParam));
      return DefWindowProcA(window, message, wParam, lParam);
    case kSetTextColor:
      s.setTextColor(static_cast<int>(lParam));
      return DefWindowProcA(window, message, wParam, lParam);
    case kGetScreenSize:
      return s.cols + s.rows * 65536;
    case kCellIndex:
      return s.cellIndex(static_cast<int>(lParam & 0xFFFF), static_cast<int>((lParam >> 16) & 0xFFFF));
    case kSetMouseTarget:
      if (lParam == 0) return -1;
      std::memcpy(s.mouseTarget, reinterpret_cast<const int*>(lParam), sizeof s.mouseTarget);
      return slot;
    case kSetAttribute:
      s.attribute = static_cast<std::uint8_t>(lParam);
      return DefWindowProcA(window, message, wParam, lParam);
    case kGetAttribute:
      return s.attribute;
    case kSetColorMode:
      if (s.frozen()) return -1;
      s.colorMode = static_cast<int>(lParam);
      return redrawAll(s, slot);
    case kGetColorMode:
      return s.colorMode;
    case kGetPalette:
      return paletteTransfer(s, wParam, lParam, false);
    case kSetPalette:
      return paletteTransfer(s, wParam, lParam, true);
    case kResetPalette:
      if (s.frozen()) return -1;
      std::memcpy(s.palette, kDefaultPalette, kPaletteBytes);
      return redrawAll(s, slot);
    case kGetFont:
      return s.font;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

LRESULT CALLBACK consoleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) return onCreate(window, wParam, lParam);
  ConsoleState* state = findConsole(window);
  if (state == nullptr) {
    // Before WM_CREATE and after WM_DESTROY: console messages are refused, the
    // window's own messages run normally so that creation and destruction complete.
    if (message >= kCreateScreen && message <= kGetFont) return -1;
    return DefWindowProcA(window, message, wParam, lParam);
  }
  keepConsoleProc(window);
  if (message >= kCreateScreen && message <= kGetFont) {
    LRESULT result = 0;
    if (consoleWideMessage(window, *state, message, wParam, lParam, result)) return result;
    ConsoleLockGuard guard(state->lock);
    return screenMessage(window, *state, message, wParam, lParam);
  }
  switch (message) {
    case WM_TIMER:
      if (wParam != static_cast<WPARAM>(state->timerId)) break;
      refreshTick(window, *state);
      return 0;
    case WM_PAINT:
      if (!state->active) break;
      paintConsole(window, *state);
      return 0;
    case WM_KEYDOWN:
      if (handleKeyDown(window, *state, wParam)) return 0;
      break;
    case WM_CHAR:
      handleChar(*state, wParam);
      break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      handleMouse(window, *state, message, lParam);
      break;
    case WM_RBUTTONDOWN:
      handleContextMenu(window, *state);
      break;
    case WM_DESTROY:
      onDestroy(window, state);
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

LRESULT printDirect(HWND window, int screen, const char* text) {
  ConsoleState* state = findConsole(window);
  if (state == nullptr) return SendMessageA(window, kPrintText, static_cast<WPARAM>(screen & 0xFF),
                                            reinterpret_cast<LPARAM>(text));
  ConsoleLockGuard guard(state->lock);
  if (state->window != window || state->closing) return 0;  // destroyed meanwhile
  ConsoleScreen* target = state->screens[screen & 0xFF];
  if (target == nullptr) return -1;
  target->writeText(text);
  return screen & 0xFF;
}

const std::uint8_t* ansiToOemTable() { return g_ansiToOem; }
HINSTANCE consoleInstance() { return g_instance; }

const char* registerConsoleClasses(HINSTANCE instance) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = consoleProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  windowClass.lpszClassName = kClassName;
  RegisterClassExA(&windowClass);
  g_instance = instance;
  initConsoleLock();
  // Text is converted byte by byte; one table keeps that off the printing path.
  for (int i = 0; i < 256; ++i) {
    char in = static_cast<char>(i), out = 0;
    CharToOemBuffA(&in, &out, 1);
    g_ansiToOem[i] = static_cast<std::uint8_t>(out);
  }
  return kClassName;
}
