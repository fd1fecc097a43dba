// velmorin.exe from start to the main window, worked through its windows: the
// single-instance refusal, the network question, the licence page, the mode dialog
// and the exit codes of every way out.
#include <gtest/gtest.h>

#include "support/ui_driver.h"

namespace {
const char kNetworkQuestion[] =
    "Installation setup require a internet connexion for downloading this product\n"
    "Do you have internet connexion ?";
const char kLicenceTitle[] = "Installation of program Moor-Z2 Build ";
const char kModeTitle[] = "Installation Mode";
const DWORD kLeft = 0xFFFFFFFF;  // exit code -1

class Startup : public testing::Test {
 protected:
  // Answers Yes to the network question and returns the licence page.
  HWND openLicencePage(SetupProcess& setup) {
    HWND question = setup.waitMessageBox(kNetworkQuestion);
    if (!question) return nullptr;
    answerBox(question, IDYES);
    return setup.waitDialog(kLicenceTitle);
  }
  // Goes through the licence page (accepting it) to the mode dialog.
  HWND openModeDialog(SetupProcess& setup) {
    HWND page = openLicencePage(setup);
    if (!page) return nullptr;
    clickButton(page, IDOK);
    if (!eventually([&] { return IsWindowVisible(GetDlgItem(page, 1010)); })) return nullptr;
    clickButton(page, 1010);
    if (!eventually([&] { return isChecked(page, 1010); })) return nullptr;
    clickButton(page, IDOK);
    return setup.waitDialog(kModeTitle);
  }
};

TEST_F(Startup, SecondCopyIsRefusedWhileTheFirstAsks) {
  SetupProcess first(velmorinProgram());
  ASSERT_TRUE(first.started()) << velmorinProgram();
  HWND question = first.waitMessageBox(kNetworkQuestion);
  ASSERT_NE(question, nullptr) << first.describeWindows();
  EXPECT_EQ(windowText(question), "Installer Confirmation");

  SetupProcess second(velmorinProgram());
  HWND refusal = second.waitMessageBox("Setup Internet Install is already runned\nInstallation aborted");
  ASSERT_NE(refusal, nullptr) << second.describeWindows();
  EXPECT_EQ(windowText(refusal), "Downloading Utility");
  answerBox(refusal, IDOK);
  EXPECT_EQ(second.waitExit(), 0u);
  EXPECT_TRUE(IsWindow(question));  // the first copy goes on asking

  answerBox(question, IDYES);
  ASSERT_NE(first.waitDialog(kLicenceTitle), nullptr) << first.describeWindows();
  SetupProcess third(velmorinProgram());  // and while it shows the licence page
  refusal = third.waitMessageBox("Setup Internet Install is already runned\nInstallation aborted");
  ASSERT_NE(refusal, nullptr) << third.describeWindows();
  answerBox(refusal, IDOK);
  EXPECT_EQ(third.waitExit(), 0u);
  EXPECT_EQ(first.waitExit(0), STILL_ACTIVE);
}

TEST_F(Startup, NoToTheNetworkQuestionEndsWithCodeZero) {
  SetupProcess setup(velmorinProgram());
  HWND question = setup.waitMessageBox(kNetworkQuestion);
  ASSERT_NE(question, nullptr) << setup.describeWindows();
  answerBox(question, IDNO);
  HWND aborted = setup.waitMessageBox("Installation aborted");
  ASSERT_NE(aborted, nullptr) << setup.describeWindows();
  EXPECT_EQ(windowText(aborted), "Downloading Utility");
  answerBox(aborted, IDOK);
  EXPECT_EQ(setup.waitExit(), 0u);
}

TEST_F(Startup, LicencePageWantsTheTickBeforeTheModeDialog) {
  SetupProcess setup(velmorinProgram());
  HWND page = openLicencePage(setup);
  ASSERT_NE(page, nullptr) << setup.describeWindows();
  EXPECT_EQ(itemText(page, IDOK), "Next >>");
  EXPECT_EQ(itemText(page, IDCANCEL), "Exit");
  EXPECT_EQ(itemText(page, 1000), "Prec <<");
  EXPECT_EQ(itemText(page, 1010), "J'ai lut la convention de licence");
  EXPECT_EQ(itemText(page, 1011), "Je ne suis pas d'accord");
  EXPECT_EQ(itemText(page, -1),
            "Welcome in installation utility\nBienvenue \xe0 l'utilitaire d'installation");
  EXPECT_NE(itemText(page, 1005).find("A LIRE IMPERATIVEMENT"), std::string::npos);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, 1010)));
  // Both documents open at their top and wrap inside the control.
  EXPECT_EQ("", textLayoutFault(GetDlgItem(page, 1005))) << "notice";

  pressKey(page, VK_RETURN);  // Enter on the notice: the licence, box shown, unticked
  ASSERT_TRUE(eventually([&] { return IsWindowVisible(GetDlgItem(page, 1010)); }));
  EXPECT_FALSE(isChecked(page, 1010));
  EXPECT_NE(itemText(page, 1005).find("CONVENTION DE LICENCE"), std::string::npos);
  EXPECT_EQ("", textLayoutFault(GetDlgItem(page, 1005))) << "licence";

  clickButton(page, 1000);  // Prec: the notice again
  ASSERT_TRUE(eventually([&] { return !IsWindowVisible(GetDlgItem(page, 1010)); }));
  EXPECT_NE(itemText(page, 1005).find("A LIRE IMPERATIVEMENT"), std::string::npos);
  EXPECT_EQ("", textLayoutFault(GetDlgItem(page, 1005))) << "notice after the licence";

  clickButton(page, IDOK);
  ASSERT_TRUE(eventually([&] { return IsWindowVisible(GetDlgItem(page, 1010)); }));
  clickButton(page, IDOK);  // no tick
  HWND refusal = setup.waitMessageBox("Vous devez accepter la convention de licence");
  ASSERT_NE(refusal, nullptr) << setup.describeWindows();
  EXPECT_EQ(windowText(refusal), "SETUP");
  answerBox(refusal, IDOK);
  ASSERT_TRUE(eventually([&] { return !IsWindowVisible(GetDlgItem(page, 1010)); }));
  EXPECT_NE(itemText(page, 1005).find("A LIRE IMPERATIVEMENT"), std::string::npos);

  clickButton(page, IDOK);
  ASSERT_TRUE(eventually([&] { return IsWindowVisible(GetDlgItem(page, 1010)); }));
  clickButton(page, 1010);
  ASSERT_TRUE(eventually([&] { return isChecked(page, 1010); }));
  clickButton(page, IDOK);
  HWND modes = setup.waitDialog(kModeTitle);
  ASSERT_NE(modes, nullptr) << setup.describeWindows();
  EXPECT_FALSE(IsWindow(page));
}

TEST_F(Startup, DecliningTheLicenceEndsWithMinusOne) {
  SetupProcess setup(velmorinProgram());
  HWND page = openLicencePage(setup);
  ASSERT_NE(page, nullptr) << setup.describeWindows();
  clickButton(page, 1011);
  HWND box = setup.waitMessageBox("L'installation ne peux pas aboutir");
  ASSERT_NE(box, nullptr) << setup.describeWindows();
  EXPECT_EQ(windowText(box), "SETUP");
  answerBox(box, IDOK);
  EXPECT_EQ(setup.waitExit(), kLeft);
}

TEST_F(Startup, ExitEscapeAndCloseBoxLeaveTheLicencePageWithMinusOne) {
  {
    SetupProcess setup(velmorinProgram());
    HWND page = openLicencePage(setup);
    ASSERT_NE(page, nullptr) << setup.describeWindows();
    clickButton(page, IDCANCEL);
    EXPECT_EQ(setup.waitExit(), kLeft);
  }
  {
    SetupProcess setup(velmorinProgram());
    HWND page = openLicencePage(setup);
    ASSERT_NE(page, nullptr) << setup.describeWindows();
    clickButton(page, IDOK);  // on the licence page this time
    ASSERT_TRUE(eventually([&] { return IsWindowVisible(GetDlgItem(page, 1010)); }));
    pressKey(page, VK_ESCAPE);
    EXPECT_EQ(setup.waitExit(), kLeft);
  }
  {
    SetupProcess setup(velmorinProgram());
    HWND page = openLicencePage(setup);
    ASSERT_NE(page, nullptr) << setup.describeWindows();
    PostMessageA(page, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(setup.waitExit(), kLeft);
  }
}

TEST_F(Startup, ModeDialogRefusesNoChoiceSkipsTheDisabledModeAndLeavesOnEscape) {
  SetupProcess setup(velmorinProgram());
  HWND modes = openModeDialog(setup);
  ASSERT_NE(modes, nullptr) << setup.describeWindows();
  EXPECT_EQ(itemText(modes, 1002), "Single Computer");
  EXPECT_EQ(itemText(modes, 1003), "Download installation for multiple computer");
  EXPECT_EQ(itemText(modes, 1004), "Since directory download installation");
  for (int id : {1002, 1003, 1004}) EXPECT_FALSE(isChecked(modes, id)) << id;
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(modes, 1003)));

  pressKey(modes, VK_RETURN);  // Enter at once
  HWND refusal = setup.waitMessageBox("Please select the toggle installation mode");
  ASSERT_NE(refusal, nullptr) << setup.describeWindows();
  EXPECT_EQ(windowText(refusal), "velmorin");
  answerBox(refusal, IDOK);
  ASSERT_TRUE(eventually([&] { return !IsWindow(refusal); }));
  EXPECT_TRUE(IsWindowVisible(modes));

  clickButton(modes, 1004);
  ASSERT_TRUE(eventually([&] { return isChecked(modes, 1004); }));
  clickButton(modes, 1002);
  ASSERT_TRUE(eventually([&] { return isChecked(modes, 1002); }));
  EXPECT_FALSE(isChecked(modes, 1004));
  pressKey(modes, VK_DOWN);  // the arrow passes over the disabled choice
  ASSERT_TRUE(eventually([&] { return isChecked(modes, 1004); })) << setup.describeWindows();
  EXPECT_FALSE(isChecked(modes, 1003));
  EXPECT_FALSE(isChecked(modes, 1002));

  pressKey(modes, VK_ESCAPE);
  EXPECT_EQ(setup.waitExit(), kLeft);
}

TEST_F(Startup, MainWindowEndsWithOneOnExitAndZeroWhenClosed) {
  for (bool useExit : {true, false}) {
    SetupProcess setup(velmorinProgram());
    HWND modes = openModeDialog(setup);
    ASSERT_NE(modes, nullptr) << setup.describeWindows();
    clickButton(modes, 1004);  // from a directory: nothing is fetched at the start
    ASSERT_TRUE(eventually([&] { return isChecked(modes, 1004); }));
    clickButton(modes, IDOK);
    HWND main = setup.waitDialog("Install Moor-Z2 by Internet. ");
    ASSERT_NE(main, nullptr) << setup.describeWindows();
    if (useExit) {
      clickButton(main, IDOK);
      EXPECT_EQ(setup.waitExit(), 1u);
    } else {
      PostMessageA(main, WM_CLOSE, 0, 0);
      EXPECT_EQ(setup.waitExit(), 0u);
    }
  }
}
}  // namespace
