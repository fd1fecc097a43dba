// The temporary file that a file of the package is written into as it arrives
// (<path>.~vm), the digests of what it holds, and the record beside it (<path>.~vr)
// that lets an interrupted download go on where it stopped, in this run or the next.
// Bytes left by an earlier attempt are taken only when the record names the same
// address, size and digest as the download at hand, and they are read back and
// digested before anything is added: the digests always cover the whole file. Its
// write block is its thread's: one partial file at a time on a thread.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "download/file_digests.h"
#include "download/partial_record.h"
#include "win32/handles.h"

// "<path>.~vm" and "<path>.~vr".
std::string temporaryPathFor(const char* path);
std::string partialRecordPathFor(const char* path);

// Removes the temporary file of `path` and its record; what cannot be removed stays.
void discardPartial(const char* path);

class PartialFile {
 public:
  PartialFile(const char* path, bool withSha256);
  // An interrupted transfer: writes what is buffered (the record first, so that it can
  // be taken up later) and closes the file; one that brought nothing leaves nothing.
  ~PartialFile();
  PartialFile(const PartialFile&) = delete;
  PartialFile& operator=(const PartialFile&) = delete;

  // Opens the temporary file for the download `wanted` (address, size, digest). Bytes
  // of an earlier attempt that its record ties to `wanted`, fewer than the file's
  // size, are kept and digested; otherwise the file is made empty, and *dropped says
  // why bytes that were there are not taken. False with the system's error when the
  // temporary file cannot be created or read.
  bool open(const PartialRecord& wanted, std::string* dropped, DWORD* error);
  // Bytes kept from an earlier attempt (0 when the file started empty), and their
  // record, with the validator to ask the server with.
  int64_t kept() const { return kept_; }
  const PartialRecord& keptRecord() const { return keptRecord_; }

  // Empties the file for a transfer from byte 0. With a record whose validator can be
  // sent back to the server, the record goes beside the file before the first bytes
  // do; without one, none is left (such a transfer cannot be taken up later).
  bool startAgain(const PartialRecord& record, DWORD* error);
  bool append(const char* data, size_t size, DWORD* error);
  // The transfer is over: what is buffered is written, the file takes the given
  // last-write time (a Windows file time) and is closed, its record removed. Its
  // digests are then final.
  bool finish(uint64_t lastWriteTime, DWORD* error);

  int64_t size() const { return size_; }
  FileDigestResult digests() { return digests_.finish(); }
  const std::string& path() const { return temporary_; }

 private:
  enum class RecordFound { none, unusable, read };
  RecordFound readRecord(PartialRecord* record) const;
  bool keepBytesThere(const PartialRecord& record, const PartialRecord& wanted, int64_t there,
                      std::string* dropped);
  bool digestKeptBytes(int64_t count);
  // Empties the open file; its pointer goes back to byte 0.
  bool empty(DWORD* error);
  bool flush(DWORD* error);
  void writeRecord();
  void removeRecord();

  std::string temporary_;
  std::string recordPath_;
  KernelHandle file_;
  FileDigests digests_;
  std::vector<char>& buffer_;  // bytes not yet written: the downloading thread's one block
  size_t buffered_ = 0;
  int64_t size_ = 0;
  int64_t kept_ = 0;
  PartialRecord keptRecord_;
  std::string recordText_;  // to be written before the first bytes
  bool recordOnDisk_ = false;
};
