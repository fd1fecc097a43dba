// The download thread: every missing or changed file of the list is downloaded into
// its temporary file as it arrives (taking up what an interrupted attempt left),
// verified against its digest and put in place; every failure is put to the user. The
// same per-file routine serves the file list's "Try Download" menu.
#include <winsock2.h>

#include "engine/download_loop.h"

#include <string>
#include <vector>

#include "download/file_download.h"
#include "download/partial_file.h"
#include "engine/download_file_writer.h"
#include "engine/engine_console.h"
#include "engine/engine_state.h"
#include "engine/engine_texts.h"
#include "engine/engine_utilities.h"
#include "engine/main_window_controls.h"
#include "engine/package_signature.h"
#include "engine/stale_partials.h"
#include "framework/app_name.h"
#include "services/message_box.h"
#include "ui/chinstall.h"

namespace {

// Called on the downloading thread after every piece of the file that arrived. Every
// file's row is the one of its index (the analysis filled them so): no row is looked for.
void onProgress(void* context, int64_t bytes) {
  FileRecord* record = static_cast<FileRecord*>(context);
  record->received = bytes;
  g_progressControl->setRowValue(record->index, bytes);
}

// Where a transfer takes up an earlier one, or why it starts from byte 0.
void onNote(void*, const char* text) { consoleReport(text, nullptr, true, false); }

// The file's body into its temporary file, taking up what an earlier attempt left.
FileDownloadResult fetch(FileRecord* record) {
  record->received = 0;
  consolePrint(("Downloading " + std::string(record->baseUrl) + "/" + record->name + " ...").c_str());
  FileDownloadJob job;
  job.baseUrl = record->baseUrl;
  job.name = record->name;
  job.localPath = record->localPath;
  job.size = record->size;
  job.digest = record->digest;
  job.lastWriteTime = record->lastWriteTime;
  job.withSha256 = g_packageSignature.required;
  job.context = record;
  job.progress = &onProgress;
  job.note = &onNote;
  return downloadFileTo(job);
}

// The whole file's MD5 digest, and its SHA-256 in a signed program, computed as it
// arrived; a file of another size than listed is not the manifest's either.
bool digestMatches(const FileRecord* record, const FileDownloadResult& file) {
  consoleReport("OK ,verifying CRC ...", nullptr, true, false);
  return !file.longerThanListed && file.size == record->size && digestsMatchRecord(*record, file.digests);
}

enum class WriteChoice { tryAgain, goOn, cancel };

// A file that could not be written, named (the target, or the temporary name its body
// goes to): Cancel, Try Again or Continue. Without a code from the system, nothing is
// said and the file is left.
WriteChoice askAboutWriteFailure(DWORD error, const std::string& path, HWND owner) {
  if (error == ERROR_SUCCESS) return WriteChoice::goOn;
  std::string text = "Error Dumping file downloaded : (\n" + path + ").\n" + windowsErrorText(error, path);
  consoleReport(text.c_str(), nullptr, true, true);
  int answer = showMessageBox(owner, text.c_str(), applicationName(),
                              MB_ICONERROR | MB_SYSTEMMODAL | MB_CANCELTRYCONTINUE);
  if (answer == IDTRYAGAIN) return WriteChoice::tryAgain;
  return answer == IDCANCEL ? WriteChoice::cancel : WriteChoice::goOn;
}

enum class WriteOutcome { written, leftUnwritten, cancelled };

// The verified file takes its place under the record's local path; Try Again after a
// failure tries that once more. A file left unplaced is removed: it is never taken up
// again.
WriteOutcome placeFile(FileRecord* record, HWND owner, int row) {
  for (;;) {
    FileWriteResult result = placeVerifiedFile(record->localPath);
    if (result.written) {
      g_progressControl->setRowState(row, kRowVerified);
      consoleReport("Success dump file", nullptr, false, true);
      return WriteOutcome::written;
    }
    const WriteChoice choice = askAboutWriteFailure(result.error, result.failedPath, owner);
    if (choice == WriteChoice::tryAgain) continue;
    discardPartial(record->localPath);
    if (result.error != ERROR_SUCCESS) g_progressControl->setRowState(row, kRowFailed);
    return choice == WriteChoice::cancel ? WriteOutcome::cancelled : WriteOutcome::leftUnwritten;
  }
}

enum class MismatchChoice { retry, skip, keep };

// The file's digest differs from the manifest: download again, skip it, or keep it
// listed in the digest report.
MismatchChoice askAboutMismatch(FileRecord* record, int row) {
  consoleReport("Error", nullptr, false, true);
  record->digestError = 1;
  std::string retry = std::string("CRC Error during downloading ") + record->localPath +
                      ", retry download file ?";
  if (askConfirmation(g_mainWindow, retry.c_str())) {
    record->digestError = 0;
    return MismatchChoice::retry;
  }
  std::string skip = std::string("Filename error ") + record->localPath +
                     ", Do you this Skip this file (not recommanded) ?";
  if (askConfirmation(g_mainWindow, skip.c_str())) {
    record->digestError = 0;
    return MismatchChoice::skip;
  }
  g_progressControl->setRowState(row, kRowDigestMismatch);
  return MismatchChoice::keep;
}

// Every file of the list in turn; false when the user cancelled a failed write.
bool bringEveryFile(HWND mainWindow) {
  const int last = listCount(g_fileList) - 1;
  int position = 0;
  for (RecordNode* node = g_fileList; node; node = node->next, ++position) {
    FileRecord* record = static_cast<FileRecord*>(node->item);
    g_progressControl->scrollToRow(position);
    consoleReport("Verify file", record->localPath, true, true);
    if (record->missing || record->updateNeeded) {
      if (!downloadAndVerifyFile(record, mainWindow)) return false;
    } else {
      consoleReport("already downloaded", nullptr, false, true);
      g_progressControl->setRowValue(record->index, record->size);
      g_progressControl->setRowState(record->index, kRowPresent);
    }
    stepFileCountBar(position, last);
  }
  return true;
}

// The local paths of the files kept with a digest mismatch; the file-count bar
// walks the list once more on the way.
std::vector<std::string> filesWithDigestErrors() {
  std::vector<std::string> paths;
  const int last = listCount(g_fileList) - 1;
  int position = 0;
  for (RecordNode* node = g_fileList; node; node = node->next, ++position) {
    const FileRecord* record = static_cast<const FileRecord*>(node->item);
    if (record->digestError) paths.push_back(record->localPath);
    stepFileCountBar(position, last);
  }
  return paths;
}

void showDigestReport(HWND mainWindow, const std::vector<std::string>& paths) {
  showError(mainWindow, applicationName(), digestReportText(paths, g_supportAddress).c_str());
}

// Every download attempt starts Winsock and stops it again once its connection is
// gone. Started once more for the whole loop, those are only counted, instead of
// Winsock being set up anew for every file.
class WinsockKeptUp {
 public:
  WinsockKeptUp() : started_(WSAStartup(MAKEWORD(2, 2), &data_) == 0) {}
  ~WinsockKeptUp() {
    if (started_) WSACleanup();
  }
  WinsockKeptUp(const WinsockKeptUp&) = delete;
  WinsockKeptUp& operator=(const WinsockKeptUp&) = delete;

 private:
  WSADATA data_;
  bool started_;
};

// The package is complete: the main window offers the launch; wait until it has.
void handOverToLaunch(HWND mainWindow) { SendMessageA(mainWindow, kPackageComplete, 0, 0); }

}  // namespace

DWORD WINAPI runDownloadLoop(LPVOID parameter) {
  HWND mainWindow = static_cast<HWND>(parameter);
  setStatusLine("Downloading recent installation ...");
  WinsockKeptUp winsock;
  if (!bringEveryFile(mainWindow)) return 0;  // a write was cancelled: nothing follows
  std::vector<std::string> digestErrors = filesWithDigestErrors();
  if (!digestErrors.empty()) {
    showDigestReport(mainWindow, digestErrors);
    return 0;
  }
  removeStalePartials();
  handOverToLaunch(mainWindow);
  return 0;
}

bool downloadAndVerifyFile(FileRecord* record, HWND owner) {
  const int row = record->index;
  g_progressControl->markRowDownloading(row);
  for (;;) {
    // Nothing is fetched for a place outside the download root: that is told as a
    // failed write of that place.
    const DWORD refused = refusedTarget(g_downloadRoot, record->localPath);
    const FileDownloadResult file =
        refused == ERROR_SUCCESS ? fetch(record) : FileDownloadResult::writeFailed(refused, record->localPath);
    if (file.end == FileDownloadResult::End::declined) {
      // The file is never given up here: only Exit or closing the window end this.
      g_progressControl->setRowState(row, kRowFailed);
      continue;
    }
    if (file.end == FileDownloadResult::End::writeFailed) {
      // What arrived stays in the temporary file: Try Again takes it up.
      const WriteChoice choice = askAboutWriteFailure(file.error, file.failedPath, owner);
      if (choice == WriteChoice::tryAgain) continue;
      if (file.error != ERROR_SUCCESS) g_progressControl->setRowState(row, kRowFailed);
      return choice != WriteChoice::cancel;
    }
    if (digestMatches(record, file)) {
      consoleReport("OK", nullptr, false, true);
      record->digestError = 0;  // kept as faulty by an earlier attempt, sound now
      return placeFile(record, owner, row) != WriteOutcome::cancelled;
    }
    discardPartial(record->localPath);  // not the manifest's file: the next attempt starts afresh
    if (askAboutMismatch(record, row) != MismatchChoice::retry) return true;
  }
}
