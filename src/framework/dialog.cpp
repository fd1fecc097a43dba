#include "framework/dialog.h"

#include "framework/window.h"

Dialog::Dialog(int templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

INT_PTR Dialog::doModal() {
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), parent_,
                         &Dialog::dialogProc, reinterpret_cast<LPARAM>(this));
}

BOOL Dialog::onInitDialog() { return TRUE; }

void Dialog::onOK() { endDialog(IDOK); }

void Dialog::onCancel() { endDialog(IDCANCEL); }

bool Dialog::onMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

void Dialog::endDialog(INT_PTR result) { EndDialog(hwnd_, result); }

void Dialog::onCommand(int id, std::function<void()> handler) { handlers_[id] = std::move(handler); }

bool Dialog::attachItem(Window& control, int id) { return control.attach(item(id)); }

void Dialog::dispatchCommand(int id) {
  auto handler = handlers_.find(id);
  if (handler != handlers_.end()) {
    handler->second();
  } else if (id == IDOK) {
    onOK();
  } else if (id == IDCANCEL) {
    onCancel();
  }
}

INT_PTR CALLBACK Dialog::dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<Dialog*>(lParam);
    SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    self->hwnd_ = hwnd;
    return self->onInitDialog();
  }
  auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
  if (!self) return FALSE;
  // Clicks (and keyboard equivalents) only; other notifications go on.
  if (message == WM_COMMAND && HIWORD(wParam) <= 1) {
    self->dispatchCommand(LOWORD(wParam));
    return TRUE;
  }
  INT_PTR result = FALSE;
  bool handled = self->onMessage(message, wParam, lParam, result);
  if (message == WM_NCDESTROY) self->hwnd_ = nullptr;  // whoever handled it, the window is gone
  return handled ? result : FALSE;
}
