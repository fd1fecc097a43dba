// The user of scripts/demo when there is no person: runs the installer and answers it
// as a user accepting every default (the licence ticked, single computer, the launch,
// the library's own question, the rescue package into a fresh empty folder, no log),
// saving a screenshot of every step.
//
//   demo_driver.exe INSTALLER RESCUE_FOLDER DESTINATION SCREENSHOT_FOLDER
//       the whole run without a person; reports each step and "exit code: N" on
//       stderr; exits 0 when the run went as expected and ended with 512
//   demo_driver.exe --person INSTALLER
//       starts the installer for a person, waits for it and reports its exit code (the
//       full 32-bit code, which wine64's own status cannot carry)
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "support/user_session.h"
#include "support/screen_capture.h"

namespace {
const char kProduct[] = "Kestrel-Bay";
const int kStatusLine = 1012, kConsoleArea = 1010, kFileListArea = 1007;

int watchPerson(const std::string& installer) {
  SetupProcess setup(installer);
  if (!setup.started()) {
    std::fprintf(stderr, "cannot start %s\n", installer.c_str());
    return 2;
  }
  DWORD code = setup.waitExit(static_cast<int>(INFINITE));
  std::fprintf(stderr, "exit code: %d\n", static_cast<int>(code));
  return 0;
}

// Numbered screenshots of what the user sees at each step: a question alone, with
// the main window behind it when the result shows there; the installer's other
// windows whole.
class Screenshots {
 public:
  explicit Screenshots(const std::string& folder) : folder_(folder) {}
  void watch(const SetupProcess* installer, HWND main) {
    installer_ = installer;
    main_ = main;
  }
  void operator()(const std::string& step, HWND shown) {
    std::vector<HWND> windows = {shown};
    if (step == "installation-finished" || step == "end") windows.push_back(main_);
    save(step, windows, 2000);
    // The shell opens the rescue package's folder meanwhile.
    if (step == "rescue-saved" && installer_) {
      std::vector<HWND> opened;
      eventually([&] { return !(opened = otherWindows()).empty(); }, 3000);
      // Widened as a reader would, so that the details view shows its columns whole.
      for (HWND window : opened)
        SetWindowPos(window, nullptr, 0, 0, 900, 480, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      if (!opened.empty()) save("rescue-folder-opened", opened, 2000);
    }
  }
  // A picture of something that moves: taken at once.
  void now(const std::string& step, HWND shown) { save(step, {shown}, 0); }

 private:
  void save(const std::string& step, const std::vector<HWND>& windows, int settleMs) {
    char number[8];
    std::snprintf(number, sizeof number, "%02d-", ++count_);
    const std::string path = folder_ + "\\" + number + step + ".bmp";
    std::fprintf(stderr, "step %s\n", (number + step).c_str());
    if (!saveScreenArea(areaOf(windows, 0), path, settleMs))
      std::fprintf(stderr, "  screenshot %s not saved\n", path.c_str());
  }
  // Windows of the programs the installer started.
  std::vector<HWND> otherWindows() const {
    std::vector<HWND> others;
    for (HWND window : installer_->shownWindows()) {
      DWORD owner = 0;
      GetWindowThreadProcessId(window, &owner);
      if (owner != installer_->id()) others.push_back(window);
    }
    return others;
  }

  std::string folder_;
  const SetupProcess* installer_ = nullptr;
  HWND main_ = nullptr;
  int count_ = 0;
};

bool failed(const UserSession& user) {
  std::fprintf(stderr, "the run did not go as expected: %s\n", user.error().c_str());
  return false;
}

// The main window opens small; the user opens its console and its file list to watch
// the run, which starts by itself a few seconds later.
bool watchDownload(HWND main, Screenshots& shot) {
  shot("main-window", main);
  clickButton(main, kConsoleArea);
  clickButton(main, kFileListArea);
  if (!eventually([&] { return itemText(main, kStatusLine) == "Downloading recent installation ..."; }, 20000)) {
    std::fprintf(stderr, "the download did not start: status \"%s\"\n", itemText(main, kStatusLine).c_str());
    return false;
  }
  Sleep(1500);  // well into the large file, for the picture
  shot.now("downloading", main);
  return true;
}

bool acceptEveryDefault(UserSession& user, const std::string& rescue, const std::string& destination,
                        Screenshots& shot) {
  HWND main = user.openMainWindow(kSingleComputerMode);
  if (!main) return failed(user);
  shot.watch(&user.process(), main);
  if (!watchDownload(main, shot)) return false;
  const std::string library = std::string("Install ") + kProduct + " (5 files) into\n" + destination + " ?";
  if (!user.answer("Base Download finished,\nNEVER DISCONNECT INTERNET NOW !!!\nConfirme launch install", IDYES,
                   "launch") ||
      !user.answer(library, IDYES, "library-question"))
    return failed(user);
  if (!user.answer("Installation finished.", IDOK, "installation-finished") || !user.saveRescuePackage(rescue))
    return failed(user);
  DWORD code = user.finishRun();
  std::fprintf(stderr, "exit code: %d\n", static_cast<int>(code));
  return code == 512 || failed(user);  // the error names the step that went wrong
}
}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--person") return watchPerson(argv[2]);
  if (argc != 5) {
    std::fprintf(stderr,
                 "usage: demo_driver INSTALLER RESCUE_FOLDER DESTINATION SCREENSHOT_FOLDER\n"
                 "       demo_driver --person INSTALLER\n");
    return 2;
  }
  Screenshots shot(argv[4]);
  UserSession user(argv[1], std::ref(shot));
  return acceptEveryDefault(user, argv[2], argv[3], shot) ? 0 : 1;
}
