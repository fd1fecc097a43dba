// Base of the program's own windows and of the template controls it talks to: an
// object either creates its window or is attached to one that a dialog template
// made, and then receives that window's messages through windowProc.
#pragma once
#include <windows.h>

class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Registers a plain child-control class: no class styles, the default window
  // procedure, no extra bytes, no icon or cursor, button-face background. Registering
  // a class that exists already is harmless.
  static void registerControlClass(const char* className);

  // Creates the window (the child style is added when a parent is given) and
  // attaches this object to it. Runs preCreateWindow first.
  bool create(const char* className, const char* title, DWORD style, const RECT& rect,
              HWND parent, int id);
  // Routes the messages of an existing window to this object.
  bool attach(HWND hwnd);

  HWND hwnd() const { return hwnd_; }
  void show(int command) const { ShowWindow(hwnd_, command); }
  // Invalidate with erase, then paint at once.
  void redrawNow() const;

 protected:
  // Hook that runs before the object creates its own window; false cancels.
  virtual bool preCreateWindow(CREATESTRUCTA& cs);
  // The object's message handler; the default passes the message on.
  virtual LRESULT windowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The window's own handling (the procedure it had before it was attached).
  LRESULT defaultProc(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK routeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void detach();

  HWND hwnd_ = nullptr;
  WNDPROC previous_ = nullptr;
};
