// Everything the main installer window shares with its worker threads (update
// analysis, download loop, single-file download, installer thread), in one place.
// There is no lock: each value has one writer at a time, and the main window's
// button states keep the workers from working on the file list together.
//
//   value                         written by                         read by
//   g_mainWindow                  main window, when it opens         every flow (box owner,
//                                                                    message target)
//   g_consoleWindow               main window, when it opens         every flow that prints
//   g_progressControl             main window, when it opens         analysis, download loop
//   g_installMode                 main window, when it opens         analysis
//   descriptor values and
//     g_downloadRoot              main window; analysis (mode 2)     download loop, launch,
//                                                                    rescue package
//   g_fileList, g_directoryList   manifest at open; related files    analysis, download loop,
//                                 registered by the library          rescue package
//   g_downloadThread              analysis                           Exit, close
//   g_installerThread             launch                             close
//   g_singleFileThread            main window; cleared by the        main window
//                                 thread itself when it ends
//   g_packageSignature            main window (key, manifest's       analysis, download loop,
//                                 signature); analysis (mode 2)      launch, rescue package
//
// The descriptor values, the download root, the two lists and the package's
// signature are declared with the code that fills them; they are listed here so that
// a reader finds the whole shared state at once.
#pragma once
#include <windows.h>

#include <atomic>

#include "download/file_record.h"         // g_fileList, g_directoryList
#include "download/install_descriptor.h"  // g_productName, g_libraryName, g_baseUrl,
                                          // g_downloadRoot
#include "services/main_window.h"         // g_mainWindow

class chinstall;

extern HWND g_consoleWindow;
extern chinstall* g_progressControl;
// 0 single computer, 1 multiple computers (handled as 0), 2 from a directory.
extern unsigned char g_installMode;

extern std::atomic<HANDLE> g_downloadThread;
extern std::atomic<HANDLE> g_installerThread;
extern std::atomic<HANDLE> g_singleFileThread;

// Private messages of the main window.
constexpr UINT kPackageComplete = WM_USER + 1;  // offer the launch of the installer library
constexpr int kTryDownloadCommand = 5000;       // "Try Download" in the file list's menu

// Controls of the main window that the flows use.
constexpr int kStatusLine = 1012;
constexpr int kFileCountBar = 1006;
constexpr int kDownloadButton = 1000;
constexpr int kExitButton = IDOK;

// The support address named in the digest error report: compiled into each installer.
extern const char* g_supportAddress;
