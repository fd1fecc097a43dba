// The licence page and the mode dialog run modally on the test thread while a
// second thread works them as a user would; the boxes they show are scripted.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "download/install_descriptor.h"
#include "support/modal_run.h"
#include "support/scripted_message_box.h"
#include "ui/cbegin.h"
#include "ui/cdialmode.h"

namespace {
std::string textOf(HWND hwnd) {
  std::string text(static_cast<size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
  GetWindowTextA(hwnd, &text[0], static_cast<int>(text.size()));
  text.resize(text.size() - 1);
  return text;
}

void press(HWND dialog, int id) { SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

// Start-up loads the rich edit library before the page's template can be created.
class LicencePage : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(LoadLibraryA("riched20.dll"), nullptr); }
};

TEST_F(LicencePage, StepsThroughNoticeAndLicenceAndAcceptsWithTheTick) {
  ScriptedMessageBoxes boxes;
  boxes.answer({IDOK});
  cbegin page;
  INT_PTR result = runWith(page, [&](HWND dialog) {
    HWND box = GetDlgItem(dialog, 1010), edit = GetDlgItem(dialog, 1005);
    std::string title = textOf(dialog);
    EXPECT_EQ(title.rfind("Installation of program Moor-Z2 Build ", 0), 0u) << title;
    EXPECT_EQ(title.size(), std::string("Installation of program Moor-Z2 Build Dec 22 2014 17:59:51").size());
    EXPECT_EQ(page.pageIndex(), 0);
    EXPECT_NE(textOf(edit).find("A LIRE IMPERATIVEMENT"), std::string::npos);
    EXPECT_FALSE(IsWindowVisible(box));

    press(dialog, IDOK);  // Next: the licence, box shown and unchecked
    EXPECT_EQ(page.pageIndex(), 1);
    std::string licence = textOf(edit);
    EXPECT_NE(licence.find("CONVENTION DE LICENCE"), std::string::npos);
    EXPECT_NE(licence.find("13.3."), std::string::npos);  // the last section arrived
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    press(dialog, 1000);  // Prec: back to the notice
    EXPECT_EQ(page.pageIndex(), 0);
    EXPECT_FALSE(IsWindowVisible(box));
    press(dialog, 1000);  // Prec on the notice: nothing
    EXPECT_EQ(page.pageIndex(), 0);

    press(dialog, IDOK);
    press(dialog, IDOK);  // Next on the licence without the tick
    EXPECT_EQ(boxes.count(), 1u);
    EXPECT_EQ(page.pageIndex(), 0);
    EXPECT_NE(textOf(edit).find("A LIRE IMPERATIVEMENT"), std::string::npos);

    press(dialog, IDOK);
    SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    press(dialog, 1000);  // going back clears the tick
    press(dialog, IDOK);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    SendMessageA(box, BM_CLICK, 0, 0);
    press(dialog, IDOK);  // accepted
  });
  EXPECT_EQ(result, IDOK);
  ASSERT_EQ(boxes.count(), 1u);
  RecordedBox refusal = boxes.boxes()[0];
  EXPECT_EQ(refusal.text, "Vous devez accepter la convention de licence");
  EXPECT_EQ(refusal.caption, "SETUP");
  EXPECT_EQ(refusal.flags, UINT(MB_ICONERROR | MB_SYSTEMMODAL));
  EXPECT_NE(refusal.owner, nullptr);
  EXPECT_STREQ(g_productName, "Moor-Z2");  // the page loaded the descriptor
}

TEST_F(LicencePage, OnlyClicksReachTheHandlers) {
  // Command 2 ends the process; a notification with that id that is not a click
  // must not reach the handler.
  ScriptedMessageBoxes boxes;
  cbegin page;
  INT_PTR result = runWith(page, [&](HWND dialog) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0x300), 0);
    EXPECT_TRUE(IsWindow(dialog));
    press(dialog, IDOK);
    SendMessageA(GetDlgItem(dialog, 1010), BM_CLICK, 0, 0);
    press(dialog, IDOK);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(boxes.count(), 0u);
}

TEST(ModeDialog, RefusesOkWithoutAChoiceAndReturnsTheLastChoice) {
  ScriptedMessageBoxes boxes;
  boxes.answer({IDOK});
  cdialmode modes;
  INT_PTR result = runWith(modes, [&](HWND dialog) {
    EXPECT_EQ(textOf(dialog), "Installation Mode");
    for (int id : {1002, 1003, 1004}) {
      EXPECT_EQ(SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0), BST_UNCHECKED) << id;
    }
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1003)));
    press(dialog, IDOK);
    EXPECT_EQ(boxes.count(), 1u);
    EXPECT_TRUE(IsWindowVisible(dialog));
    SendMessageA(GetDlgItem(dialog, 1004), BM_CLICK, 0, 0);
    EXPECT_EQ(modes.fromDirectory, 1);
    SendMessageA(GetDlgItem(dialog, 1002), BM_CLICK, 0, 0);
    EXPECT_EQ(modes.fromDirectory, 0);
    EXPECT_EQ(modes.singleComputer, 1);
    press(dialog, IDOK);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(modes.singleComputer, 1);
  EXPECT_EQ(modes.multipleComputers, 0);
  EXPECT_EQ(modes.fromDirectory, 0);
  ASSERT_EQ(boxes.count(), 1u);
  RecordedBox refusal = boxes.boxes()[0];
  EXPECT_EQ(refusal.text, "Please select the toggle installation mode");
  EXPECT_EQ(refusal.caption, "velmorin");
  EXPECT_EQ(refusal.flags, UINT(MB_ICONERROR | MB_SYSTEMMODAL));
}

TEST(ModeDialog, EachChoiceClearsTheOthers) {
  ScriptedMessageBoxes boxes;
  cdialmode modes;
  INT_PTR result = runWith(modes, [&](HWND dialog) {
    press(dialog, 1003);  // as if the disabled button could send its command
    EXPECT_EQ(modes.multipleComputers, 1);
    press(dialog, 1004);
    EXPECT_EQ(modes.multipleComputers, 0);
    EXPECT_EQ(modes.fromDirectory, 1);
    press(dialog, IDOK);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(modes.fromDirectory, 1);
  EXPECT_EQ(modes.singleComputer + modes.multipleComputers, 0);
}
}  // namespace
