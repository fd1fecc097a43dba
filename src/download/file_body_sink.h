// Takes the response to a request for a file of the package: decides from its head
// whether its body continues the bytes kept from an earlier attempt, starts the file
// again from byte 0, or is refused, and writes the body into the partial file.
#pragma once
#include <windows.h>

#include <string>

#include "download/file_download.h"
#include "download/partial_file.h"
#include "net/body_sink.h"

class FileBodySink : public BodySink {
 public:
  // `wanted`: the address, size and digest being fetched.
  FileBodySink(const FileDownloadJob& job, const PartialRecord& wanted, PartialFile& file)
      : job_(job), wanted_(wanted), file_(file) {}

  Take headArrived(const std::string& headerBlock) override;
  bool bodyArrived(const char* data, size_t size) override;

  bool headSeen() const { return headSeen_; }
  // The rest was asked for and not given in a way that can be appended: the file has
  // to be asked for whole.
  bool askWhole() const { return askWhole_; }
  bool longerThanListed() const { return longer_; }
  // The partial file could not be written: the system's code, else ERROR_SUCCESS.
  DWORD writeError() const { return writeError_; }

 private:
  void note(const std::string& text) const;

  const FileDownloadJob& job_;
  const PartialRecord& wanted_;
  PartialFile& file_;
  bool headSeen_ = false;
  bool askWhole_ = false;
  bool longer_ = false;
  DWORD writeError_ = ERROR_SUCCESS;
};
