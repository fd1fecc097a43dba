#include "services/message_box.h"

#include <atomic>

namespace {
std::atomic<MessageBoxAnswerer> g_answerer{nullptr};
}

int showMessageBox(HWND owner, const char* text, const char* caption, UINT flags) {
  MessageBoxAnswerer answerer = g_answerer.load();
  if (answerer) return answerer(owner, text, caption, flags);
  return MessageBoxA(owner, text, caption, flags);
}

void setMessageBoxAnswerer(MessageBoxAnswerer answerer) { g_answerer.store(answerer); }

void showError(HWND owner, const char* caption, const char* text) {
  showMessageBox(owner, text, caption, MB_SYSTEMMODAL | MB_ICONERROR | MB_OK);
}

bool askConfirmation(HWND owner, const char* text) {
  return showMessageBox(owner, text, "Installer Confirmation",
                        MB_SYSTEMMODAL | MB_ICONINFORMATION | MB_YESNO) == IDYES;
}
