// The download thread: every missing or changed file of the list is downloaded,
// verified against its digest and written; every failure is put to the user. The
// same per-file routine serves the file list's "Try Download" menu.
#include <winsock2.h>

#include "engine/download_loop.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "download/download_file.h"
#include "download/file_digests.h"
#include "engine/download_file_writer.h"
#include "engine/engine_console.h"
#include "engine/engine_state.h"
#include "engine/engine_texts.h"
#include "engine/engine_utilities.h"
#include "engine/main_window_controls.h"
#include "engine/package_signature.h"
#include "framework/app_name.h"
#include "services/message_box.h"
#include "ui/chinstall.h"

namespace {

// What downloadFile hands back to the progress callback.
struct ProgressContext {
  HWND owner;
  FileRecord* record;
};

// Called on the downloading thread after every received chunk.
void onProgress(void* context, int64_t /*total*/, int chunk) {
  FileRecord* record = static_cast<ProgressContext*>(context)->record;
  record->received += chunk;
  int row = g_progressControl->findRow(record);
  if (row >= 0) g_progressControl->setRowValue(row, record->received);
}

// A downloaded body, released when the attempt is done with it.
struct Body {
  char* bytes = nullptr;
  int size = 0;
  ~Body() { std::free(bytes); }
};

bool fetch(FileRecord* record, HWND owner, Body& body) {
  record->received = 0;
  consolePrint(("Downloading " + std::string(record->baseUrl) + "/" + record->name + " ...").c_str());
  ProgressContext context{owner, record};
  body.bytes = downloadFile(record->baseUrl, record->name, &body.size, &onProgress, &context);
  return body.bytes != nullptr;
}

// The body's MD5 digest, and its SHA-256 in a signed program, in one pass.
bool digestMatches(const FileRecord* record, const Body& body) {
  consoleReport("OK ,verifying CRC ...", nullptr, true, false);
  FileDigests digests(g_packageSignature.required);
  digests.update(body.bytes, static_cast<size_t>(body.size));
  return digestsMatchRecord(*record, digests.finish());
}

enum class WriteOutcome { written, leftUnwritten, cancelled };

// Writes the verified body under the record's local path with its last-write time,
// asking Cancel / Try Again / Continue after every failure.
WriteOutcome writeVerifiedFile(FileRecord* record, const Body& body, HWND owner, int row) {
  for (;;) {
    FileWriteResult result = writeDownloadedFile(g_downloadRoot, record->localPath, body.bytes,
                                                 static_cast<size_t>(body.size),
                                                 record->lastWriteTime);
    if (result.written) {
      g_progressControl->setRowState(row, kRowVerified);
      consoleReport("Success dump file", nullptr, false, true);
      return WriteOutcome::written;
    }
    if (result.error == ERROR_SUCCESS) return WriteOutcome::leftUnwritten;  // nothing to say

    // The file that failed: the target, or the temporary name its body is written under.
    std::string text = "Error Dumping file downloaded : (\n" + result.failedPath + ").\n" +
                       windowsErrorText(result.error, result.failedPath);
    consoleReport(text.c_str(), nullptr, true, true);
    int answer = showMessageBox(owner, text.c_str(), applicationName(),
                                MB_ICONERROR | MB_SYSTEMMODAL | MB_CANCELTRYCONTINUE);
    if (answer == IDTRYAGAIN) continue;
    g_progressControl->setRowState(row, kRowFailed);
    return answer == IDCANCEL ? WriteOutcome::cancelled : WriteOutcome::leftUnwritten;
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
  handOverToLaunch(mainWindow);
  return 0;
}

bool downloadAndVerifyFile(FileRecord* record, HWND owner) {
  int row = g_progressControl->findRow(record);
  g_progressControl->markRowDownloading(row);
  for (;;) {
    Body body;
    if (!fetch(record, owner, body)) {
      // The file is never given up here: only Exit or closing the window end this.
      g_progressControl->setRowState(row, kRowFailed);
      continue;
    }
    if (digestMatches(record, body)) {
      consoleReport("OK", nullptr, false, true);
      record->digestError = 0;  // kept as faulty by an earlier attempt, sound now
      return writeVerifiedFile(record, body, owner, row) != WriteOutcome::cancelled;
    }
    if (askAboutMismatch(record, row) != MismatchChoice::retry) return true;
  }
}
