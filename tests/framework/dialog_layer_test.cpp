// The dialog layer: modal runs from the program's templates, command routing by
// control id, overridable OK and Cancel steps, and window objects attached to
// existing windows or creating their own.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "framework/dialog.h"
#include "framework/window.h"
#include "resources/resource_ids.h"
#include "support/modal_run.h"

namespace {
void send(HWND dialog, int id, int code = BN_CLICKED) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), 0);
}

class CountingDialog : public Dialog {
 public:
  CountingDialog() : Dialog(IDD_MODE, nullptr) {
    onCommand(1002, [this] { ++clicks; });
  }
  int clicks = 0;
  int inits = 0;
  HWND seenAtInit = nullptr;
  bool itemAtInit = false;

 protected:
  BOOL onInitDialog() override {
    ++inits;
    seenAtInit = hwnd();
    itemAtInit = item(1004) != nullptr;
    return Dialog::onInitDialog();
  }
};

TEST(DialogLayer, RoutesClicksByIdAndEndsWithCancelByDefault) {
  CountingDialog dialog;
  INT_PTR result = runWith(dialog, [&](HWND hwnd) {
    send(hwnd, 1002);
    send(hwnd, 1002, 1);             // a keyboard accelerator counts too
    send(hwnd, 1002, BN_SETFOCUS);   // other notifications do not
    EXPECT_EQ(dialog.clicks, 2);
    send(hwnd, 4321);  // no handler: nothing happens
    EXPECT_TRUE(IsWindow(hwnd));
    send(hwnd, IDCANCEL);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(dialog.inits, 1);
  EXPECT_NE(dialog.seenAtInit, nullptr);
  EXPECT_TRUE(dialog.itemAtInit);
  EXPECT_EQ(dialog.hwnd(), nullptr);  // the window is gone after the run
}

class OwnSteps : public Dialog {
 public:
  OwnSteps() : Dialog(IDD_MODE, nullptr) {}
  std::atomic<int> cancels{0};

 protected:
  void onOK() override { endDialog(77); }
  void onCancel() override { ++cancels; }  // like the wizard pages: stays open
};

TEST(DialogLayer, SubclassesDecideWhatOkAndCancelDo) {
  OwnSteps dialog;
  INT_PTR result = runWith(dialog, [&](HWND hwnd) {
    send(hwnd, IDCANCEL);
    SendMessageA(hwnd, WM_CLOSE, 0, 0);  // the close box asks for Cancel as well (posted)
    for (int i = 0; i < 200 && dialog.cancels < 2; ++i) Sleep(10);
    EXPECT_EQ(dialog.cancels, 2);
    EXPECT_TRUE(IsWindow(hwnd));
    send(hwnd, IDOK);
  });
  EXPECT_EQ(result, 77);
}

TEST(DialogLayer, AMissingTemplateCannotRun) {
  class Missing : public Dialog {
   public:
    Missing() : Dialog(9999, nullptr) {}
  } dialog;
  EXPECT_EQ(dialog.doModal(), -1);
}

class Recorder : public Window {
 public:
  int custom = 0;
  bool refuseCreation = false;

 protected:
  bool preCreateWindow(CREATESTRUCTA& cs) override {
    if (refuseCreation) return false;
    cs.style |= WS_DISABLED;  // the hook may change what is created
    return true;
  }
  LRESULT windowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_USER + 5) {
      ++custom;
      return 1234;
    }
    return defaultProc(message, wParam, lParam);
  }
};

TEST(WindowLayer, AttachedObjectGetsTheMessagesUntilTheWindowGoes) {
  HWND label = CreateWindowExA(0, "STATIC", "text", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(label, nullptr);
  Recorder recorder;
  ASSERT_TRUE(recorder.attach(label));
  EXPECT_FALSE(recorder.attach(label));  // one window per object
  EXPECT_EQ(SendMessageA(label, WM_USER + 5, 0, 0), 1234);
  EXPECT_EQ(recorder.custom, 1);
  char text[16] = {};
  GetWindowTextA(label, text, sizeof text);  // everything else: the window's own handling
  EXPECT_STREQ(text, "text");
  DestroyWindow(label);
  EXPECT_EQ(recorder.hwnd(), nullptr);
}

TEST(WindowLayer, CreatesItsOwnWindowThroughThePreCreationHook) {
  Window::registerControlClass("VelmorinTestControl");
  Window::registerControlClass("VelmorinTestControl");  // again: harmless
  WNDCLASSA wc = {};
  ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "VelmorinTestControl", &wc));
  EXPECT_EQ(wc.style, 0u);
  EXPECT_EQ(wc.cbWndExtra, 0);
  EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  EXPECT_EQ(wc.hCursor, nullptr);

  HWND parent = CreateWindowExA(0, "STATIC", "parent", WS_POPUP, 0, 0, 200, 200, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  Recorder refused;
  refused.refuseCreation = true;
  RECT rect = {1, 2, 31, 22};
  EXPECT_FALSE(refused.create("VelmorinTestControl", "", 0, rect, parent, 7));
  EXPECT_EQ(GetDlgItem(parent, 7), nullptr);

  Recorder made;
  ASSERT_TRUE(made.create("VelmorinTestControl", "", WS_VISIBLE, rect, parent, 7));
  EXPECT_EQ(GetDlgItem(parent, 7), made.hwnd());
  EXPECT_TRUE(GetWindowLongA(made.hwnd(), GWL_STYLE) & WS_CHILD);  // added for a parent
  EXPECT_FALSE(IsWindowEnabled(made.hwnd()));                      // the hook's change
  RECT placed;
  GetWindowRect(made.hwnd(), &placed);
  EXPECT_EQ(placed.right - placed.left, 30);
  EXPECT_EQ(SendMessageA(made.hwnd(), WM_USER + 5, 0, 0), 1234);
  DestroyWindow(parent);
  EXPECT_EQ(made.hwnd(), nullptr);
}
}  // namespace
