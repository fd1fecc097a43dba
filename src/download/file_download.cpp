#include "download/file_download.h"

#include <cstdio>
#include <stdexcept>

#include "download/download_once.h"
#include "download/download_retry.h"
#include "download/file_body_sink.h"
#include "download/partial_file.h"
#include "net/http.h"

FileDownloadResult FileDownloadResult::writeFailed(DWORD error, const std::string& path) {
  FileDownloadResult result;
  result.end = End::writeFailed;
  result.error = error;
  result.failedPath = path;
  return result;
}

namespace {

// One request and its response, the body into the partial file: for the rest of the
// file when bytes are kept, else for all of it.
void exchange(const std::string& address, PartialFile& file, FileBodySink& sink) {
  Http http;
  setDownloadTransport(http, nullptr, nullptr);
  if (file.kept() > 0) {
    http.addHeader("Range", "bytes=" + std::to_string(file.kept()) + "-");
    http.addHeader("If-Range", file.keptRecord().validator);
  }
  http.fetchInto(address, sink);
}

// The end of an attempt whose response `answer` took: what it wrote, closed with its
// last-write time, or why not.
FileDownloadResult ending(const FileDownloadJob& job, PartialFile& file, const FileBodySink& answer) {
  std::printf("endget\n");
  std::fflush(stdout);
  DWORD error = answer.writeError();
  if (error != ERROR_SUCCESS) return FileDownloadResult::writeFailed(error, file.path());
  if (!answer.headSeen()) throw std::logic_error("downloadFileTo() -> Error: No response");
  if (!file.finish(job.lastWriteTime, &error)) return FileDownloadResult::writeFailed(error, file.path());

  FileDownloadResult result;
  result.end = FileDownloadResult::End::arrived;
  result.size = file.size();
  result.longerThanListed = answer.longerThanListed();
  result.digests = file.digests();
  return result;
}

// One attempt. A failed transfer raises, leaving what arrived in the partial file with
// its record, for the next attempt to take up.
FileDownloadResult attempt(const FileDownloadJob& job, const char* base, const char* name) {
  const std::string address = announceAttempt("downloadFileTo()", base, name);

  PartialRecord wanted;
  wanted.address = address;
  wanted.size = job.size;
  wanted.digest = job.digest;
  PartialFile file(job.localPath, job.withSha256);
  std::string dropped;
  DWORD error = ERROR_SUCCESS;
  if (!file.open(wanted, &dropped, &error)) return FileDownloadResult::writeFailed(error, file.path());
  if (!dropped.empty() && job.note) job.note(job.context, ("Starting again from byte 0: " + dropped).c_str());

  FileBodySink first(job, wanted, file);
  exchange(address, file, first);
  if (!first.askWhole()) return ending(job, file, first);

  // The rest was refused: the kept bytes go, so that the whole file is asked for
  // without a range; the answer's head then gives the file its record.
  if (!file.startAgain(PartialRecord{}, &error)) return FileDownloadResult::writeFailed(error, file.path());
  FileBodySink whole(job, wanted, file);
  exchange(address, file, whole);
  return ending(job, file, whole);
}

}  // namespace

FileDownloadResult downloadFileTo(const FileDownloadJob& job) {
  FileDownloadResult result;  // declined, unless an attempt ends
  retryUntilDeclined(job.baseUrl, job.name,
                     [&](const char* base, const char* name) { result = attempt(job, base, name); });
  return result;
}
