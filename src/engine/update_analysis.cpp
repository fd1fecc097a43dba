// The update analysis thread: what is already in the download root is compared with
// the manifest (its files digested ahead on a thread of their own), the user is asked about an update where one is found, and the
// download thread is started and waited for. In mode 2 the user points at an
// earlier download instead, which a program with a publisher key checks whole first.
#include "engine/update_analysis.h"

#include <shlobj.h>

#include <string>

#include "download/text_field.h"
#include "engine/download_loop.h"
#include "engine/download_root.h"
#include "engine/engine_console.h"
#include "engine/engine_state.h"
#include "engine/engine_utilities.h"
#include "engine/local_file_digests.h"
#include "engine/main_window_controls.h"
#include "engine/package_folder_check.h"
#include "engine/package_signature.h"
#include "engine/stale_partials.h"
#include "framework/app_name.h"
#include "services/folder_browser.h"
#include "services/message_box.h"
#include "services/process_exit.h"
#include "ui/chinstall.h"

namespace {

constexpr unsigned char kFromDirectory = 2;

struct Findings {
  bool allCurrent = true;   // no file missing or changed
  bool someChanged = false; // an existing file's digest differs
};

// The download root is built again level by level under the temporary directory,
// as the main window built it, each level created (and reported) on the way.
void prepareDownloadRoot() {
  const DownloadRootLevels levels = downloadRootLevels();
  createDirectoryLogged(levels.company);
  createDirectoryLogged(levels.downloaded);
  createDirectoryLogged(levels.product);
  copyCut(g_downloadRoot, sizeof g_downloadRoot, levels.product);
}

// One level per entry, so the manifest lists a parent before its children.
void createManifestDirectories() {
  for (RecordNode* node = g_directoryList; node; node = node->next) {
    std::string path = std::string(g_downloadRoot) + "\\" + static_cast<const char*>(node->item);
    createDirectoryLogged(path.c_str());
  }
}

void showAnalysisProgress(int fileCount) {
  g_progressControl->setRowCount(fileCount);
  consolePrint("\n");
  setStatusLine("Analysis being the previous installation ...");
  showFileCountBar(fileCount);
}

// One record: is its file there, and is it the manifest's?
void examineLocalFile(FileRecord* record, Findings& findings, LocalFileDigests& local) {
  record->updateNeeded = 0;
  g_progressControl->setRow(record->index, record->name, record->localPath, record->size, record);
  consoleReport("Scan file ", record->localPath, false, true);
  const LocalFileDigests::File file = local.next();
  if (!file.opened) {
    consolePrint("File not found or error opening file\n");
    findings.allCurrent = false;
    record->missing = 1;
    return;
  }
  consolePrint("already exists ,loading file ...");
  consolePrint("checking CRC ...");
  if (file.read && digestsMatchRecord(*record, file.digests)) {
    consolePrint("no update needed\n");
    record->missing = 0;
    g_progressControl->setRowState(record->index, kRowPresent);
  } else {  // a file that cannot be read cannot be the manifest's either
    consolePrint(" update needed\n");
    findings.allCurrent = false;
    findings.someChanged = true;
    record->updateNeeded = 1;
  }
}

Findings compareLocalFiles() {
  Findings findings;
  const int last = listCount(g_fileList) - 1;
  LocalFileDigests local(g_fileList, g_packageSignature.required);
  int position = 0;
  for (RecordNode* node = g_fileList; node; node = node->next, ++position) {
    stepFileCountBar(position, last);
    examineLocalFile(static_cast<FileRecord*>(node->item), findings, local);
  }
  return findings;
}

void repaintFileList() {
  RedrawWindow(g_progressControl->hwnd(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// The update question; declining it ends the process with nothing written.
void confirmUpdateOrExit(HWND mainWindow) {
  if (showMessageBox(mainWindow, "A update installation is probably detected,\nconfirme update ?",
                     applicationName(), MB_ICONWARNING | MB_YESNO | MB_SYSTEMMODAL) == IDNO)
    endProcess(kExitStopped);
}

// The download thread's handle is kept for Exit and close; it is waited for here
// without a time limit.
void runDownloadThreadAndWait(HWND mainWindow) {
  HANDLE thread = CreateThread(nullptr, 0, &runDownloadLoop, mainWindow, 0, nullptr);
  g_downloadThread = thread;
  if (thread) WaitForSingleObject(thread, INFINITE);
}

// Mode 2: a directory chosen by the user holds the package, either in a folder named
// after the product or directly.
bool holdsPackage(const std::string& candidate) {
  std::string library = candidate + g_libraryName;
  if (candidate.size() >= sizeof g_downloadRoot || library.size() >= MAX_PATH) return false;
  copyCut(g_downloadRoot, sizeof g_downloadRoot, candidate.c_str());
  DWORD attributes = GetFileAttributesA(library.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void chooseEarlierDownload(HWND mainWindow) {
  const char kBadDirectory[] = "Bad directory installation , try select parent directory\n";
  for (;;) {
    char folder[MAX_PATH];
    if (!browseForFolder(mainWindow, "Select directory containing a installation",
                         BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE, folder)) {
      enableDownloadButton(true);
      enableExitButton(true);
      return;
    }
    const std::string candidates[] = {std::string(folder) + "\\" + g_productName + "\\",
                                      std::string(folder) + "\\"};
    for (const std::string& candidate : candidates) {
      if (holdsPackage(candidate)) {
        if (g_packageSignature.required) requireVerifiedPackageFolder(candidate);
        SendMessageA(mainWindow, kPackageComplete, 0, 0);
        return;
      }
      consolePrintError(kBadDirectory);
      showError(mainWindow, applicationName(), kBadDirectory);
    }
  }
}

}  // namespace

DWORD WINAPI runUpdateAnalysis(LPVOID parameter) {
  HWND mainWindow = static_cast<HWND>(parameter);
  if (g_installMode == kFromDirectory) {
    chooseEarlierDownload(mainWindow);
    return 0;
  }
  prepareDownloadRoot();
  createManifestDirectories();
  showAnalysisProgress(listCount(g_fileList));
  Findings findings = compareLocalFiles();
  repaintFileList();

  if (findings.allCurrent) {
    removeStalePartials();
    showError(mainWindow, applicationName(), "Sorry,no update needed");
    SendMessageA(mainWindow, kPackageComplete, 0, 0);
    return 0;
  }
  if (findings.someChanged) confirmUpdateOrExit(mainWindow);
  runDownloadThreadAndWait(mainWindow);
  return 0;
}
