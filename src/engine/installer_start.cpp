#include "engine/installer_start.h"

#include <cstdio>
#include <string>

#include "engine/engine_console.h"
#include "engine/engine_state.h"
#include "engine/engine_texts.h"
#include "engine/engine_utilities.h"
#include "engine/installer_arguments.h"
#include "engine/installer_fault.h"
#include "engine/library_check.h"
#include "engine/main_window_controls.h"
#include "engine/package_signature.h"
#include "framework/app_name.h"
#include "services/install_log.h"
#include "services/message_box.h"
#include "services/process_exit.h"
#include "win32/guarded_call.h"
#include "win32/handles.h"

namespace {

// What the installer thread needs; allocated on the main thread and kept until the
// process ends, like the library itself.
struct InstallerThreadRecord {
  QuorvaneInstallArgs args;
  QuorvaneInstallEntry entry;
  HWND mainWindow;
  InstallerFinish finish;
  HANDLE thread;  // the installer thread, for its watcher
};

// An error on the console in red and in a box owned by the main window.
void reportLaunchError(HWND mainWindow, const std::string& text) {
  consolePrintError(text.c_str());
  showError(mainWindow, applicationName(), text.c_str());
}

LoadedModule loadInstallerLibrary(HWND mainWindow, const char* path) {
  LoadedModule library(LoadLibraryA(path));
  if (library) return library;
  const DWORD error = GetLastError();
  char text[1024];
  std::snprintf(text, sizeof text, "Can't load file %s with error %d (%s)", path,
                static_cast<int>(error), windowsErrorText(error, path).c_str());
  reportLaunchError(mainWindow, text);
  return library;
}

// An exception that escapes the entry point ends the run as a failed installation,
// with what stopped the library in the report.
DWORD WINAPI runInstaller(LPVOID parameter) {
  auto* record = static_cast<InstallerThreadRecord*>(parameter);
  record->args.mainWindow = record->mainWindow;
  unsigned char result = 0;
  EscapedException escaped;
  if (callGuarded(reinterpret_cast<const void*>(record->entry), &record->args, result, escaped))
    record->finish(result != 0, nullptr);
  else
    record->finish(false, escapedExceptionText(escaped).c_str());
  return 0;  // not reached: the finish ends the process
}

// The installer thread ends only with the process, unless something ended it with no
// exception to catch: the end of the run then falls to this thread. When the process
// is ending (the window closed and ended the thread), there is nothing to report.
DWORD WINAPI watchInstaller(LPVOID parameter) {
  auto* record = static_cast<InstallerThreadRecord*>(parameter);
  WaitForSingleObject(record->thread, INFINITE);
  if (!processEnding()) record->finish(false, kInstallerThreadEnded);
  return 0;
}

}  // namespace

bool startInstallerLibrary(HWND mainWindow, const char* path, InstallerFinish finish) {
  // In a signed program the file stays open, unchangeable, from its check until it
  // is loaded.
  KernelHandle checked;
  if (g_packageSignature.required) {
    std::string reason;
    checked = holdSignedLibrary(path, &reason);
    if (!checked) {
      reportLaunchError(mainWindow, packageRefusalText(reason, logFilePath()));
      return false;
    }
  }
  LoadedModule library = loadInstallerLibrary(mainWindow, path);
  checked.close();
  if (!library) return false;
  QuorvaneInstallEntry entry = findInstallerEntry(library.get());
  if (!entry) {
    // Reported rather than left silent, so the window never stays stuck; the library
    // is let go so that a later download can replace its file.
    reportLaunchError(mainWindow, std::string("Can't find function ") + QUORVANE_ENTRY_NAME +
                                      " in file " + path);
    return false;
  }

  auto* record = new InstallerThreadRecord{};
  fillInstallerArguments(record->args, g_productName, g_downloadRoot);
  record->entry = entry;
  record->mainWindow = mainWindow;
  record->finish = finish;
  setStatusLine("Installation ...");
  HANDLE thread = CreateThread(nullptr, 0, &runInstaller, record, 0, nullptr);
  if (!thread) {
    reportLaunchError(mainWindow, "Can't start the installation: " + windowsErrorText(GetLastError()));
    return false;
  }
  // The library's code runs on that thread until the process ends: it stays loaded,
  // and the thread's handle is kept for closing the window and for the watcher.
  library.release();
  g_installerThread = thread;
  record->thread = thread;
  KernelHandle watcher(CreateThread(nullptr, 0, &watchInstaller, record, 0, nullptr));
  return true;
}
