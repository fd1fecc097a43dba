#include "services/shell_open.h"

#include <shellapi.h>

#include <atomic>

namespace {
std::atomic<ShellOpener> g_opener{nullptr};
}

bool openWithShell(HWND owner, const char* verb, const char* path) {
  ShellOpener opener = g_opener.load();
  if (opener) return opener(owner, verb, path);
  HINSTANCE result = ShellExecuteA(owner, verb, path, nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

void setShellOpener(ShellOpener opener) { g_opener.store(opener); }
