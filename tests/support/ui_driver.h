// Drives the real velmorin.exe as a person would: starts it, waits for its windows
// by title, reads control texts, clicks buttons, presses keys, answers its message
// boxes by their text and reads its exit code.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

std::string windowText(HWND hwnd);
std::string itemText(HWND dialog, int id);

class SetupProcess {
 public:
  // Starts the program (a Windows path) in the current directory.
  explicit SetupProcess(const std::string& program);
  ~SetupProcess();  // ends the program if it still runs
  SetupProcess(const SetupProcess&) = delete;
  SetupProcess& operator=(const SetupProcess&) = delete;

  bool started() const { return process_ != nullptr; }
  // A visible dialog window (class #32770) of the program whose title starts with
  // the prefix; null after the time limit.
  HWND waitDialog(const std::string& titlePrefix, int milliseconds = 15000) const;
  // A message box of the program showing exactly this text.
  HWND waitMessageBox(const std::string& text, int milliseconds = 15000) const;
  // A message box of the program whose text starts with the prefix.
  HWND waitMessageBoxStarting(const std::string& prefix, int milliseconds = 15000) const;
  // An open pop-up menu of the program (class #32768); null after the time limit.
  HWND waitPopupMenu(int milliseconds = 5000) const;
  // Exit code, or STILL_ACTIVE after the time limit.
  DWORD waitExit(int milliseconds = 15000) const;
  // Titles and texts of the program's windows, for failure messages.
  std::string describeWindows() const;

  DWORD id() const { return id_; }
  // Visible top-level windows of the program and of the programs it started (a
  // folder window opened through the shell, for instance).
  std::vector<HWND> shownWindows() const;
  // Processes the program started, running or not, that are still known to the system.
  std::vector<DWORD> startedProcesses() const;
  // Ends the programs it started that still run (a folder window, a text viewer).
  void endStartedProcesses() const;
  // Selects a folder in the folder browser the program shows: the path is written
  // into the program's memory, since the browser reads it from there.
  bool selectFolder(HWND browser, const std::string& path) const;

 private:
  HWND waitWindow(const std::function<bool(HWND)>& match, int milliseconds,
                  const char* windowClass = "#32770") const;
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// Posted, so the driver never waits on a handler that opens a box of its own.
void clickButton(HWND dialog, int id);
// A key pressed and released in the control that has the focus in that window.
void pressKey(HWND window, WORD key);
// Ends a message box with the given button.
void answerBox(HWND box, int button);
bool isChecked(HWND dialog, int id);
// Waits until the condition holds (a posted click takes effect a moment later).
bool eventually(const std::function<bool()>& condition, int milliseconds = 5000);

// A visible message box (class #32770 with the static text 0xFFFF) or not.
bool isMessageBox(HWND window);
std::string messageBoxText(HWND box);

// How a multi-line edit or rich edit control shows its text to the reader: "" when it
// opens at its first line and every line ends inside the control's client area, else
// what is wrong (the first line shown, or the first line that runs past the edge).
std::string textLayoutFault(HWND control);

// A path of the build tree as Windows sees it (through drive Z:).
std::string windowsPath(const std::string& buildPath);
// The path of velmorin.exe as Windows sees it.
std::string velmorinProgram();
