#include "engine/rescue_package.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "download/download_errors.h"
#include "engine/engine_console.h"
#include "engine/engine_state.h"
#include "engine/engine_utilities.h"
#include "engine/main_window_controls.h"
#include "engine/package_signature.h"
#include "framework/app_name.h"
#include "resources/resource_ids.h"
#include "services/folder_browser.h"
#include "services/install_log.h"
#include "services/message_box.h"
#include "services/process_exit.h"
#include "services/shell_open.h"
#include "win32/handles.h"
#include "win32/raw_resource.h"
#include "win32/whole_file.h"

namespace {

// File-system folders, an edit box, the new dialog style.
constexpr UINT kFolderChoiceFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;

// The directory chosen for the rescue package; only this file uses it.
char g_chosenDirectory[512];

enum class CopyResult { copied, skipped, cancelled };

// Drive and directory part of a path, with its trailing backslash.
std::string directoryPart(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// One copy; a path the file functions cannot take is refused like any failed copy.
DWORD copyOnce(const std::string& source, const std::string& destination) {
  if (source.size() >= MAX_PATH || destination.size() >= MAX_PATH) return ERROR_FILENAME_EXCED_RANGE;
  return CopyFileA(source.c_str(), destination.c_str(), FALSE) ? ERROR_SUCCESS : GetLastError();
}

// Copies one file, creating its directory once when it is missing; every other
// failure is put to the user: Cancel, Try Again or Continue.
CopyResult copyWithRetry(const std::string& source, const std::string& destination) {
  for (;;) {
    consolePrint("Copy file ");
    consolePrint(source.c_str());
    consolePrint(" --> ");
    consolePrint(destination.c_str());
    consolePrint("...");
    DWORD error = copyOnce(source, destination);
    if (error != ERROR_SUCCESS) {
      consolePrintError(" Failure copy ");
      if (error == ERROR_PATH_NOT_FOUND) {
        consolePrintError("because it's path not found ,retry");
        createDirectoryLogged(directoryPart(destination).c_str());
        error = copyOnce(source, destination);
      }
      consolePrint("\n");
    }
    if (error == ERROR_SUCCESS) {
      consolePrint("\n");
      return CopyResult::copied;
    }

    const std::string text = " Error during copyfile : (" + source + ")" + "-->(" + destination + ")" +
                             windowsErrorText(error, source);
    consolePrintError(text.c_str());
    consolePrintError("\n");
    const int answer = showMessageBox(nullptr, text.c_str(), nullptr,
                                      MB_ICONERROR | MB_SYSTEMMODAL | MB_CANCELTRYCONTINUE);
    if (answer == IDCANCEL) return CopyResult::cancelled;
    if (answer == IDCONTINUE) return CopyResult::skipped;
  }
}

// Empty when no entry's name starts with anything but a dot.
bool isEmptyDirectory(const char* directory) {
  const std::string pattern = std::string(directory) + "\\*.*";
  WIN32_FIND_DATAA entry;
  FindHandle search(FindFirstFileA(pattern.c_str(), &entry));
  if (!search) return true;
  bool empty = true;
  do {
    if (entry.cFileName[0] != '.') empty = false;
  } while (empty && FindNextFileA(search.get(), &entry));
  return empty;
}

// Asks until the user has chosen an empty directory; there is no way back once
// the user said Yes.
void chooseEmptyDirectory() {
  for (;;) {
    std::memset(g_chosenDirectory, 0, sizeof g_chosenDirectory);
    showError(g_mainWindow, applicationName(),
              "You should choose a empty directory for future local mode installation ! IT'S "
              "REQUIRED !! \nImportant for future restore a failure update !!!");
    char path[MAX_PATH] = "";
    if (!browseForFolder(g_mainWindow, "Select directory for future local mode installation  !",
                         kFolderChoiceFlags, path))
      continue;
    path[MAX_PATH - 1] = '\0';
    std::memcpy(g_chosenDirectory, path, std::strlen(path) + 1);
    if (isEmptyDirectory(g_chosenDirectory)) return;
    showError(g_mainWindow, applicationName(), "Directory not empty !");
  }
}

void createPackageDirectories(const std::string& package) {
  CreateDirectoryA(package.c_str(), nullptr);  // one level; a failure shows in the copies
  RecordNode* cursor = g_directoryList;
  while (const char* entry = static_cast<const char*>(listNext(&cursor, true)))
    createDirectoryLogged((package + "\\" + entry).c_str());
}

// Every file record, the related files registered by the installer library included.
bool copyPackageFiles(const std::string& package) {
  RecordNode* cursor = g_fileList;
  int number = 0;
  while (const FileRecord* record = static_cast<const FileRecord*>(listNext(&cursor, true))) {
    setFileCountPosition(number++);
    if (copyWithRetry(record->localPath, package + "\\" + record->name) == CopyResult::cancelled)
      return false;
  }
  return true;
}

// A signed package carries its checked manifest and signature, which its setup.exe
// verifies the package against before it restores anything.
bool copySignedManifest(const std::string& package) {
  for (const char* name : {"downloadgi.txt", "downloadgi.sig"}) {
    if (copyWithRetry(std::string(g_downloadRoot) + "\\" + name, package + "\\" + name) == CopyResult::cancelled)
      return false;
  }
  return true;
}

// Creates or replaces the file; one that cannot be created or written is skipped silently.
void writeWholeFile(const std::string& path, const void* bytes, size_t size) {
  if (path.size() >= MAX_PATH) return;
  KernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) writeAll(file.get(), bytes, size);
}

// setup.exe from raw data 458 and the readme beside it; nothing without the resource.
void writeRescueSetup(const std::string& package) {
  const RawResource program = rawResource(IDR_RESCUE_SETUP);
  if (!program.bytes) return;
  writeWholeFile(package + "\\setup.exe", program.bytes, program.size);

  const std::string readme = std::string("Welcome ! \nSetup Rescue for scenario zentrav '") +
                             g_productName +
                             "'\nInstallation package only for restore failure updating scenario '" +
                             g_productName + "'";
  writeWholeFile(package + "\\readme.txt", readme.data(), readme.size());
}

void showClosingNotices() {
  const std::string keep = std::string("Please Keep directory '") + g_chosenDirectory +
                           "' for restore older installation if failure or bug future update\n"
                           "DON'T RUN SETUP.EXE BECAUSE SCENARIO IS ALREADY INSTALLED";
  showMessageBox(nullptr, keep.c_str(), "NOTICE !!!!!!!", MB_ICONWARNING | MB_SYSTEMMODAL);
  openWithShell(nullptr, "Open", g_chosenDirectory);
  showMessageBox(nullptr,
                 "DON'T RUN SETUP.EXE BECAUSE SCENARIO IS ALREADY INSTALLED !!\nThank you download this product",
                 "NOTICE !!!!!!!", MB_ICONINFORMATION | MB_SYSTEMMODAL);
}

}  // namespace

void reportInstallationResult(bool succeeded, const char* failure) {
  if (succeeded) {
    consolePrint("Installation finished.");
    showMessageBox(g_mainWindow, "Installation finished.", applicationName(), MB_ICONINFORMATION | MB_SYSTEMMODAL);
    return;
  }
  std::string text = "Installation failure.";
  if (failure) {
    consolePrintError(failure);
    consolePrintError("\n");
    text = text + "\n" + failure;
  }
  consolePrintError("Installation failure.");
  showError(g_mainWindow, applicationName(), text.c_str());
}

void saveRescuePackage() {
  std::memset(g_chosenDirectory, 0, sizeof g_chosenDirectory);
  if (askConfirmation(g_mainWindow, "Want to save a installation into empty directory  ?"))
    chooseEmptyDirectory();
  if (g_chosenDirectory[0] == '\0') {
    consolePrintError("User have not select a 'directory' for future installation");
    return;
  }

  setStatusLine("Making of local's installation ...");
  const std::string package = std::string(g_chosenDirectory) + "\\pack\\";
  createPackageDirectories(package);
  if (!copyPackageFiles(package)) return;  // Cancel: nothing after the copies
  if (g_packageSignature.required && !copySignedManifest(package)) return;

  setStatusLine("Creating a rescue setup ...");
  writeRescueSetup(package);
  showClosingNotices();
  setStatusLine("");
}

void finishInstallation(bool succeeded, const char* failure) {
  reportInstallationResult(succeeded, failure);
  if (succeeded) saveRescuePackage();
  setStatusLine("End ...");
  askViewLog(g_mainWindow);
  enableExitButton(true);
  enableDownloadButton(false);
  reportDownloadError("Processus should be exited,\n You can disconnect now !");
  endProcess(kExitRunEnded);
}
