// A stand-in for the main installer window in engine tests that exercise one flow:
// a window with the status line (1012), the file-count bar (1006), the buttons
// "Download ..." (1000) and Exit (1) and the console (1008), recorded as the engine's
// main window and console; the log goes to the test's temporary directory.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/install_log.h"
#include "console/console.h"
#include "engine/engine_state.h"

class EngineWindow {
 public:
  EngineWindow() {
    registerConsoleClasses(GetModuleHandleA(nullptr));
    hwnd_ = CreateWindowExA(0, "STATIC", "main", WS_POPUP, 0, 0, 1000, 1100, nullptr, nullptr,
                            nullptr, nullptr);
    child("STATIC", kStatusLine, 0);
    child(PROGRESS_CLASSA, kFileCountBar, 0);
    child("BUTTON", kDownloadButton, BS_PUSHBUTTON);
    child("BUTTON", kExitButton, BS_PUSHBUTTON);
    HWND console = child("quorvane.console", 1008, 0);
    MoveWindow(console, 0, 100, 1000, 1000, FALSE);  // room for many long lines
    createScreen(console, 0);
    showScreen(console, 0);
    setFont(console, 0, 2);
    setTextColor(console, 0, 7);
    clearScreen(console, 0);
    g_mainWindow = hwnd_;
    g_consoleWindow = console;
    openLog(hwnd_);
  }
  ~EngineWindow() {
    closeLog();
    DestroyWindow(hwnd_);
    g_mainWindow = nullptr;
    g_consoleWindow = nullptr;
  }
  EngineWindow(const EngineWindow&) = delete;
  EngineWindow& operator=(const EngineWindow&) = delete;

  HWND hwnd() const { return hwnd_; }
  std::string statusLine() const {
    char text[512] = "";
    GetDlgItemTextA(hwnd_, kStatusLine, text, sizeof text);
    return text;
  }
  bool enabled(int id) const { return IsWindowEnabled(GetDlgItem(hwnd_, id)) != FALSE; }
  void disableRunButtons() const {
    EnableWindow(GetDlgItem(hwnd_, kDownloadButton), FALSE);
    EnableWindow(GetDlgItem(hwnd_, kExitButton), FALSE);
  }
  // The text colour (0..15) of the first cell showing `text` on screen 0, -1 if absent.
  int colourOf(const std::string& text) const {
    int size[2] = {0, 0};
    getScreenSize(g_consoleWindow, 0, size);
    const std::uint16_t* cells = getCellBuffer(g_consoleWindow, 0);
    if (!cells) return -1;
    std::string shown;
    for (int i = 0; i < size[0] * size[1]; ++i) shown += static_cast<char>(cells[i] & 0xFF);
    const size_t at = shown.find(text);
    return at == std::string::npos ? -1 : (cells[at] >> 8) & 0x0F;
  }

 private:
  HWND child(const char* cls, int id, DWORD style) {
    return CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 100, 20, hwnd_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  }
  HWND hwnd_ = nullptr;
};

// The whole installation log of this run (the log file in the temporary directory).
inline std::string readInstallLog() {
  char directory[MAX_PATH + 1] = "";
  GetTempPathA(sizeof directory, directory);
  std::string path = std::string(directory) + "\\velmorin.log";
  std::string bytes;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

// What the console received during this run, as one text: the log's lines without
// their time stamps and line ends, joined.
inline std::string loggedConsoleText() {
  const std::string log = readInstallLog();
  const size_t kPrefix = 22;  // "(dd/mm/yyyy hh:mm:ss) "
  auto startsLine = [&](size_t at) {
    return at + kPrefix <= log.size() && log[at] == '(' && log[at + 3] == '/' && log[at + 6] == '/';
  };
  std::string text;
  size_t at = 0;
  while (startsLine(at)) {
    size_t end = log.find("\r\n", at + kPrefix);
    while (end != std::string::npos && end + 2 < log.size() && !startsLine(end + 2))
      end = log.find("\r\n", end + 2);
    if (end == std::string::npos) end = log.size();
    text += log.substr(at + kPrefix, end - at - kPrefix);
    at = end + 2;
  }
  return text;
}
