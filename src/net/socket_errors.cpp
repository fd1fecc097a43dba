#include <cstdio>

#include "app/message_box.h"
#include "net/socket.h"

void showError(HWND owner, const char* caption, const char* text) {
  showMessageBox(owner, text, caption, MB_SYSTEMMODAL | MB_ICONERROR | MB_OK);
}

void showSocketError(HWND owner, const char* caption, int code) {
  char* systemText = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                     FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                 reinterpret_cast<LPSTR>(&systemText), 0, nullptr);
  char text[512];
  std::snprintf(text, sizeof(text), "Error Socket %d %.8x\n%s", code, static_cast<unsigned>(code),
                systemText ? systemText : "");
  if (systemText) LocalFree(systemText);
  showError(owner, caption, text);
}
