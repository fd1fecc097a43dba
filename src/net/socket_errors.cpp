#include <cstdio>

#include "net/socket.h"
#include "services/message_box.h"
#include "win32/system_error_text.h"

void showSocketError(HWND owner, const char* caption, int code) {
  char text[512];
  std::snprintf(text, sizeof(text), "Error Socket %d %.8x\n%s", code, static_cast<unsigned>(code),
                systemErrorText(static_cast<DWORD>(code)).c_str());
  showError(owner, caption, text);
}
