#include "support/user_session.h"

#include <chrono>
#include <thread>

namespace {
const char kNetworkQuestion[] =
    "Installation setup require a internet connexion for downloading this product\n"
    "Do you have internet connexion ?";
const int kAcceptBox = 1010;
const int kFolderEdit = 14149;

// A child window of `parent` showing exactly `text`.
bool showsText(HWND parent, const std::string& text) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (windowText(child) == text) return true;
  }
  return false;
}

std::string lastName(const std::string& path) {
  size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
}  // namespace

UserSession::UserSession(const std::string& program, Observer observer)
    : process_(program), observer_(std::move(observer)) {}

UserSession::~UserSession() { process_.endStartedProcesses(); }

bool UserSession::fail(const std::string& what) {
  error_ = what + "\nwindows of the program:\n" + process_.describeWindows();
  return false;
}

void UserSession::show(const std::string& step, HWND shown) {
  if (observer_) observer_(step, shown);
}

HWND UserSession::nextMessageBox(int milliseconds) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  do {
    for (auto it = answered_.begin(); it != answered_.end();) {
      it = IsWindow(*it) ? std::next(it) : answered_.erase(it);
    }
    for (HWND window : process_.shownWindows()) {
      if (isMessageBox(window) && !answered_.count(window)) return window;
    }
    DWORD code = process_.waitExit(0);
    if (code != STILL_ACTIVE) {
      fail("the program ended with exit code " + std::to_string(static_cast<int>(code)));
      return nullptr;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  } while (std::chrono::steady_clock::now() < deadline);
  fail("no message box came");
  return nullptr;
}

bool UserSession::answerStarting(const std::string& prefix, int button, const std::string& step,
                                 std::string* shown) {
  HWND box = nextMessageBox();
  if (!box) return false;
  std::string text = messageBoxText(box);
  if (shown) *shown = text;
  if (text.compare(0, prefix.size(), prefix) != 0)
    return fail("expected a box starting with \"" + prefix + "\", the program shows \"" + text + "\"");
  show(step, box);
  answered_.insert(box);
  answerBox(box, button);
  return true;
}

bool UserSession::answer(const std::string& text, int button, const std::string& step) {
  std::string shown;
  if (!answerStarting(text, button, step, &shown)) return false;
  if (shown != text) return fail("expected the box \"" + text + "\", the program showed \"" + shown + "\"");
  return true;
}

bool UserSession::acceptLicence() {
  HWND page = process_.waitDialog("Installation of program ");
  if (!page) return fail("no licence page");
  show("notice", page);
  clickButton(page, IDOK);
  if (!eventually([&] { return IsWindowVisible(GetDlgItem(page, kAcceptBox)) != FALSE; }))
    return fail("the licence page shows no acceptance box");
  clickButton(page, kAcceptBox);
  if (!eventually([&] { return isChecked(page, kAcceptBox); })) return fail("the box does not tick");
  show("licence", page);
  clickButton(page, IDOK);
  return true;
}

bool UserSession::chooseMode(int modeButton) {
  if (!answer(kNetworkQuestion, IDYES, "network-question") || !acceptLicence()) return false;
  HWND modes = process_.waitDialog("Installation Mode");
  if (!modes) return fail("no mode dialog");
  clickButton(modes, modeButton);
  if (!eventually([&] { return isChecked(modes, modeButton); })) return fail("the mode does not tick");
  show("mode", modes);
  clickButton(modes, IDOK);
  return true;
}

HWND UserSession::openMainWindow(int modeButton) {
  if (!chooseMode(modeButton)) return nullptr;
  HWND main = process_.waitDialog("Install ");
  if (!main) fail("no main window");
  return main;
}

bool UserSession::chooseFolder(const std::string& title, const std::string& folder,
                               const std::string& step) {
  HWND browser = process_.waitDialog("Browse for Folder");
  if (!browser) return fail("no folder browser");
  if (!showsText(browser, title)) return fail("the folder browser is not titled \"" + title + "\"");
  // The browser fills its tree after it shows: select until its edit box names the folder.
  if (!eventually([&] {
        return process_.selectFolder(browser, folder) && itemText(browser, kFolderEdit) == lastName(folder);
      }))
    return fail("the folder browser shows \"" + itemText(browser, kFolderEdit) + "\" for " + folder);
  show(step, browser);
  clickButton(browser, IDOK);
  return true;
}

bool UserSession::saveRescuePackage(const std::string& folder) {
  return answer("Want to save a installation into empty directory  ?", IDYES, "rescue-question") &&
         answer("You should choose a empty directory for future local mode installation ! IT'S "
                "REQUIRED !! \nImportant for future restore a failure update !!!",
                IDOK, "rescue-empty-folder") &&
         chooseFolder("Select directory for future local mode installation  !", folder, "rescue-folder") &&
         answer("Please Keep directory '" + folder +
                    "' for restore older installation if failure or bug future update\n"
                    "DON'T RUN SETUP.EXE BECAUSE SCENARIO IS ALREADY INSTALLED",
                IDOK, "rescue-keep") &&
         answer("DON'T RUN SETUP.EXE BECAUSE SCENARIO IS ALREADY INSTALLED !!\nThank you download this product",
                IDOK, "rescue-saved");
}

DWORD UserSession::finishRun() {
  if (!answer("View Log install", IDNO, "view-log") ||
      !answer("Processus should be exited,\n You can disconnect now !", IDOK, "end"))
    return STILL_ACTIVE;
  return process_.waitExit(15000);
}
