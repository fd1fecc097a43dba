// A person at an installer: waits for what the program shows next, checks that it is
// what the scenario expects, lets an observer see it (the demo's screenshots), and
// answers it. Every message box the program shows must be expected: an unexpected
// one ends the step at once with its text in error().
#pragma once
#include <windows.h>

#include <functional>
#include <set>
#include <string>

#include "support/ui_driver.h"

// Radio buttons of the mode dialog.
constexpr int kSingleComputerMode = 1002;
constexpr int kFromDirectoryMode = 1004;

class UserSession {
 public:
  // Called with a short name of each step and the window showing it, before the
  // user answers.
  using Observer = std::function<void(const std::string& step, HWND shown)>;

  explicit UserSession(const std::string& program, Observer observer = nullptr);
  // Ends the program if it still runs, and what it started (a folder window).
  ~UserSession();
  SetupProcess& process() { return process_; }
  // What went wrong in the last step that failed, with the windows shown then.
  const std::string& error() const { return error_; }

  // The next message box shows exactly `text`: it is answered with `button`.
  bool answer(const std::string& text, int button, const std::string& step);
  // The same for a box whose text starts with `prefix`; its whole text in `shown`.
  bool answerStarting(const std::string& prefix, int button, const std::string& step,
                      std::string* shown = nullptr);
  // The next message box, whatever it shows (null on failure); not answered yet.
  HWND nextMessageBox(int milliseconds = 30000);

  // Yes to the network question, the notice, the licence ticked, the mode chosen by
  // its radio button and confirmed.
  bool chooseMode(int modeButton);
  // The same, then the main installer window, or null.
  HWND openMainWindow(int modeButton);
  // The notice, then the licence ticked and accepted (the installer's and the rescue
  // setup's licence page).
  bool acceptLicence();
  // The folder browser with this title is open: `folder` is chosen and confirmed.
  bool chooseFolder(const std::string& title, const std::string& folder, const std::string& step);
  // The user accepts the rescue package: an empty `folder` is chosen for it.
  bool saveRescuePackage(const std::string& folder);
  // "View Log install": No; the last notice; the process's exit code.
  DWORD finishRun();

 private:
  bool fail(const std::string& what);
  void show(const std::string& step, HWND shown);

  SetupProcess process_;
  Observer observer_;
  std::set<HWND> answered_;
  std::string error_;
};
