#include "framework/window.h"

namespace {
// The object behind a window; a property, because our classes carry no extra bytes.
const char kObjectProperty[] = "velmorin.window";
}  // namespace

Window::~Window() {
  if (hwnd_ && IsWindow(hwnd_)) detach();
}

void Window::registerControlClass(const char* className) {
  WNDCLASSA wc = {};
  wc.style = 0;
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = className;
  RegisterClassA(&wc);  // fails harmlessly when the class exists
}

bool Window::create(const char* className, const char* title, DWORD style, const RECT& rect,
                    HWND parent, int id) {
  CREATESTRUCTA cs = {};
  cs.lpszClass = className;
  cs.lpszName = title;
  cs.style = parent ? (style | WS_CHILD) : style;
  cs.x = rect.left;
  cs.y = rect.top;
  cs.cx = rect.right - rect.left;
  cs.cy = rect.bottom - rect.top;
  cs.hwndParent = parent;
  cs.hMenu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
  cs.hInstance = GetModuleHandleA(nullptr);
  if (!preCreateWindow(cs)) return false;
  HWND hwnd = CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y,
                              cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, nullptr);
  return hwnd && attach(hwnd);
}

bool Window::attach(HWND hwnd) {
  if (!hwnd || hwnd_) return false;
  hwnd_ = hwnd;
  SetPropA(hwnd, kObjectProperty, this);
  previous_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::routeMessage)));
  return true;
}

void Window::detach() {
  SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
  RemovePropA(hwnd_, kObjectProperty);
  hwnd_ = nullptr;
}

void Window::redrawNow() const {
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

bool Window::preCreateWindow(CREATESTRUCTA&) { return true; }

LRESULT Window::windowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return defaultProc(message, wParam, lParam);
}

LRESULT Window::defaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(previous_, hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::routeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<Window*>(GetPropA(hwnd, kObjectProperty));
  if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // The window goes: hand it back to its own procedure and forget it.
    WNDPROC previous = self->previous_;
    self->detach();
    return CallWindowProcA(previous, hwnd, message, wParam, lParam);
  }
  return self->windowProc(message, wParam, lParam);
}
