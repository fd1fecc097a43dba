#include "engine/library_launch.h"

#include <cstdio>
#include <string>

#include "app/message_box.h"
#include "engine/engine_console.h"
#include "engine/engine_state.h"
#include "engine/engine_utilities.h"
#include "engine/installer_arguments.h"
#include "engine/main_window_controls.h"
#include "engine/rescue_package.h"
#include "framework/app_name.h"

namespace {

// What the installer thread needs; allocated on the main thread and kept until the
// process ends, like the library itself.
struct InstallerThreadRecord {
  QuorvaneInstallArgs args;
  QuorvaneInstallEntry entry;
  HWND mainWindow;
};

// An error on the console in red and in a box owned by the main window.
void reportLaunchError(HWND mainWindow, const std::string& text) {
  consolePrintError(text.c_str());
  showMessageBox(mainWindow, text.c_str(), applicationName(), MB_ICONERROR | MB_SYSTEMMODAL);
}

void enableRunButtons() {
  enableDownloadButton(true);
  enableExitButton(true);
}

bool confirmLaunch(HWND mainWindow) {
  return showMessageBox(mainWindow,
                        "Base Download finished,\nNEVER DISCONNECT INTERNET NOW !!!\nConfirme launch install",
                        applicationName(), MB_ICONWARNING | MB_YESNO | MB_SYSTEMMODAL) == IDYES;
}

HMODULE loadInstallerLibrary(HWND mainWindow, const char* path) {
  HMODULE library = LoadLibraryA(path);
  if (library) return library;
  const DWORD error = GetLastError();
  char text[1024];
  std::snprintf(text, sizeof text, "Can't load file %s with error %d (%s)", path,
                static_cast<int>(error), windowsErrorText(error).c_str());
  reportLaunchError(mainWindow, text);
  return nullptr;
}

// Runs on the installer thread and never returns: the end of the run ends the process.
DWORD WINAPI runInstaller(LPVOID parameter) {
  auto* record = static_cast<InstallerThreadRecord*>(parameter);
  record->args.mainWindow = record->mainWindow;
  const bool succeeded = record->entry(&record->args) != 0;
  finishInstallation(succeeded);
}

void startInstallerThread(HWND mainWindow, QuorvaneInstallEntry entry) {
  auto* record = new InstallerThreadRecord{};
  fillInstallerArguments(record->args, g_productName, g_downloadRoot);
  record->entry = entry;
  record->mainWindow = mainWindow;
  setStatusLine("Installation ...");
  HANDLE thread = CreateThread(nullptr, 0, &runInstaller, record, 0, nullptr);
  if (!thread) {
    reportLaunchError(mainWindow, "Can't start installation thread: " + windowsErrorText(GetLastError()));
    enableRunButtons();
    return;
  }
  g_installerThread = thread;
}

}  // namespace

void offerInstallerLaunch(HWND mainWindow) {
  setStatusLine("Downloading recent installation finished !");
  if (!confirmLaunch(mainWindow)) {
    enableRunButtons();
    return;
  }

  char path[512];  // root and name hold at most 255 characters each
  std::snprintf(path, sizeof path, "%s\\%s", g_downloadRoot, g_libraryName);
  HMODULE library = loadInstallerLibrary(mainWindow, path);
  if (!library) {
    enableRunButtons();
    return;
  }

  QuorvaneInstallEntry entry = findInstallerEntry(library);
  if (!entry) {
    // Reported rather than left silent, so the window never stays stuck; the library
    // is let go so that a later download can replace the file.
    reportLaunchError(mainWindow, std::string("Can't find function ") + QUORVANE_ENTRY_NAME +
                                      " in file " + path);
    FreeLibrary(library);
    enableRunButtons();
    return;
  }
  startInstallerThread(mainWindow, entry);
}
