// Owners of the Windows handles the program opens: each closes its handle when it
// goes out of scope, so that no return path leaks one. Move-only; release() hands a
// handle over for good (to the clipboard, or to the life of the process).
#pragma once
#include <windows.h>

template <typename Handle, typename Traits>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  ~UniqueHandle() { close(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return Traits::valid(handle_); }

  // Closes the handle held, if any, and holds `handle` instead.
  void reset(Handle handle = Traits::none()) {
    close();
    handle_ = handle;
  }
  // Gives the handle up without closing it.
  Handle release() {
    Handle handle = handle_;
    handle_ = Traits::none();
    return handle;
  }
  // Closes the handle now; false when the system reported a failure (a delayed write
  // error shows up when a written file is closed).
  bool close() {
    if (!Traits::valid(handle_)) return true;
    const bool closed = Traits::close(handle_);
    handle_ = Traits::none();
    return closed;
  }

 private:
  Handle handle_ = Traits::none();
};

// Kernel objects: files, threads, events, mutexes, processes. CreateFile reports a
// failure as INVALID_HANDLE_VALUE and the others as null; neither is ever closed.
struct KernelHandleTraits {
  static HANDLE none() { return nullptr; }
  static bool valid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
  static bool close(HANDLE handle) { return CloseHandle(handle) != 0; }
};
using KernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;

// Directory searches (FindFirstFileA).
struct FindHandleTraits {
  static HANDLE none() { return INVALID_HANDLE_VALUE; }
  static bool valid(HANDLE handle) { return handle != INVALID_HANDLE_VALUE && handle != nullptr; }
  static bool close(HANDLE handle) { return FindClose(handle) != 0; }
};
using FindHandle = UniqueHandle<HANDLE, FindHandleTraits>;

// Loaded libraries (LoadLibraryA).
struct ModuleTraits {
  static HMODULE none() { return nullptr; }
  static bool valid(HMODULE module) { return module != nullptr; }
  static bool close(HMODULE module) { return FreeLibrary(module) != 0; }
};
using LoadedModule = UniqueHandle<HMODULE, ModuleTraits>;

// GDI objects: pens, brushes, bitmaps.
template <typename Object>
struct GdiObjectTraits {
  static Object none() { return nullptr; }
  static bool valid(Object object) { return object != nullptr; }
  static bool close(Object object) { return DeleteObject(object) != 0; }
};
template <typename Object>
using GdiObject = UniqueHandle<Object, GdiObjectTraits<Object>>;

// Memory device contexts (CreateCompatibleDC).
struct MemoryDcTraits {
  static HDC none() { return nullptr; }
  static bool valid(HDC dc) { return dc != nullptr; }
  static bool close(HDC dc) { return DeleteDC(dc) != 0; }
};
using MemoryDc = UniqueHandle<HDC, MemoryDcTraits>;

// Registry keys (RegOpenKeyExA, RegCreateKeyExA).
struct RegistryKeyTraits {
  static HKEY none() { return nullptr; }
  static bool valid(HKEY key) { return key != nullptr; }
  static bool close(HKEY key) { return RegCloseKey(key) == ERROR_SUCCESS; }
};
using RegistryKey = UniqueHandle<HKEY, RegistryKeyTraits>;

// Menus that no window owns (CreatePopupMenu).
struct MenuTraits {
  static HMENU none() { return nullptr; }
  static bool valid(HMENU menu) { return menu != nullptr; }
  static bool close(HMENU menu) { return DestroyMenu(menu) != 0; }
};
using MenuHandle = UniqueHandle<HMENU, MenuTraits>;

// Global memory blocks (GlobalAlloc), until the clipboard takes one over.
struct GlobalMemoryTraits {
  static HGLOBAL none() { return nullptr; }
  static bool valid(HGLOBAL block) { return block != nullptr; }
  static bool close(HGLOBAL block) { return GlobalFree(block) == nullptr; }
};
using GlobalMemory = UniqueHandle<HGLOBAL, GlobalMemoryTraits>;

// A window's device context (GetDC), given back to its window.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// An object selected into a device context for a scope; the one it replaced goes
// back in at the end, so the object can then be deleted. Declare it after the owner
// of the object it selects.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectedObject() { SelectObject(dc_, previous_); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};
