// Base of the program's modal dialogs: runs a dialog template of the program's
// module, calls onInitDialog when it opens, and routes WM_COMMAND by control id to
// the handlers a subclass registers. Ids 1 (OK / Enter) and 2 (Cancel / Escape /
// close box) without a handler of their own go to onOK and onCancel.
#pragma once
#include <windows.h>

#include <functional>
#include <map>

class Window;

class Dialog {
 public:
  Dialog(int templateId, HWND parent);
  virtual ~Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog until endDialog; -1 when the template cannot be created.
  INT_PTR doModal();
  HWND hwnd() const { return hwnd_; }
  HWND item(int id) const { return GetDlgItem(hwnd_, id); }
  int templateId() const { return templateId_; }

 protected:
  // Default: nothing to do, let the dialog set the focus.
  virtual BOOL onInitDialog();
  virtual void onOK();      // ends the dialog with IDOK
  virtual void onCancel();  // ends the dialog with IDCANCEL
  // Messages other than WM_INITDIALOG and WM_COMMAND; return true when handled
  // (result then holds the dialog procedure's result).
  virtual bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

  void endDialog(INT_PTR result);
  void onCommand(int id, std::function<void()> handler);
  // Attaches a control object to the template's control with this id.
  bool attachItem(Window& control, int id);

 private:
  static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void dispatchCommand(int id);

  int templateId_;
  HWND parent_;
  HWND hwnd_ = nullptr;
  std::map<int, std::function<void()>> handlers_;
};
