// A stand-in main window for engine tests of one flow: status line (1012), file-count
// bar (1006), "Download ..." (1000), Exit (1) and the console (1008), recorded as the
// engine's main window and console, with the log opened in the temporary directory.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "console/console.h"
#include "engine/engine_state.h"
#include "support/test_files.h"
#include "services/install_log.h"

class EngineWindow {
 public:
  EngineWindow() {
    registerConsoleClasses(GetModuleHandleA(nullptr));
    hwnd_ = CreateWindowExA(0, "STATIC", "main", WS_POPUP, 0, 0, 1000, 1100, nullptr, nullptr, nullptr, nullptr);
    for (int id : {kStatusLine, kDownloadButton, kExitButton}) child(id == kStatusLine ? "STATIC" : "BUTTON", id);
    child(PROGRESS_CLASSA, kFileCountBar);
    g_consoleWindow = child("quorvane.console", 1008);
    MoveWindow(g_consoleWindow, 0, 100, 1000, 1000, FALSE);  // room for many long lines
    prepareInstallerScreen(g_consoleWindow, 0);
    g_mainWindow = hwnd_;
    openLog(hwnd_);
  }
  ~EngineWindow() {
    closeLog();
    DestroyWindow(hwnd_);
    g_mainWindow = g_consoleWindow = nullptr;
  }
  EngineWindow(const EngineWindow&) = delete;
  EngineWindow& operator=(const EngineWindow&) = delete;

  HWND hwnd() const { return hwnd_; }
  std::string statusLine() const {
    char text[512] = "";
    GetDlgItemTextA(hwnd_, kStatusLine, text, sizeof text);
    return text;
  }
  bool runButtonsEnabled() const {
    return IsWindowEnabled(GetDlgItem(hwnd_, kDownloadButton)) && IsWindowEnabled(GetDlgItem(hwnd_, kExitButton));
  }
  void disableRunButtons() const {
    EnableWindow(GetDlgItem(hwnd_, kDownloadButton), FALSE);
    EnableWindow(GetDlgItem(hwnd_, kExitButton), FALSE);
  }
  // The text colour (0..15) of the first cell showing `text` on screen 0, -1 if absent.
  int colourOf(const std::string& text) const {
    int size[2] = {0, 0};
    getScreenSize(g_consoleWindow, 0, size);
    const std::uint16_t* cells = getCellBuffer(g_consoleWindow, 0);
    std::string shown;
    for (int i = 0; cells && i < size[0] * size[1]; ++i) shown += static_cast<char>(cells[i] & 0xFF);
    const size_t at = shown.find(text);
    return at == std::string::npos ? -1 : (cells[at] >> 8) & 0x0F;
  }

 private:
  HWND child(const char* cls, int id) {
    return CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, hwnd_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  }
  HWND hwnd_ = nullptr;
};

// The installation log in the temporary directory: one line per printed text, each
// after its time stamp and followed by CR LF.
inline std::string installLog() {
  char directory[MAX_PATH + 1] = "";
  GetTempPathA(sizeof directory, directory);
  return readWholeFile(std::string(directory) + "\\velmorin.log");
}
