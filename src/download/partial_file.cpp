#include "download/partial_file.h"

#include <cstring>

#include "download/file_digest_reader.h"
#include "win32/file_time.h"
#include "win32/whole_file.h"

namespace {

// Writes go out in pieces of this size, and bytes kept are read back in them: one
// reused block, whatever the file's size.
constexpr size_t kPiece = kDigestReadPiece;

// The open file's size, or -1 when the system does not tell it.
int64_t sizeOfOpenFile(HANDLE file) {
  LARGE_INTEGER size{};
  return GetFileSizeEx(file, &size) ? size.QuadPart : -1;
}

// Why the bytes already there are not the beginning of `wanted`, or empty.
std::string mismatch(const PartialRecord& record, const PartialRecord& wanted, int64_t size) {
  if (record.address != wanted.address || record.size != wanted.size || record.digest != wanted.digest)
    return "the partial file is of another file than the manifest lists now";
  if (size >= wanted.size) return "the partial file is not shorter than the file";
  return {};
}

// One block per downloading thread, kept from file to file: fresh memory costs a
// first touch of every page, every time.
std::vector<char>& threadBlock() {
  thread_local std::vector<char> block(kPiece);
  return block;
}

}  // namespace

std::string temporaryPathFor(const char* path) { return std::string(path) + kPartialFileSuffix; }
std::string partialRecordPathFor(const char* path) { return std::string(path) + kPartialRecordSuffix; }

void discardPartial(const char* path) {
  DeleteFileA(temporaryPathFor(path).c_str());
  DeleteFileA(partialRecordPathFor(path).c_str());
}

PartialFile::PartialFile(const char* path, bool withSha256)
    : temporary_(temporaryPathFor(path)),
      recordPath_(partialRecordPathFor(path)),
      digests_(withSha256),
      buffer_(threadBlock()) {}

PartialFile::~PartialFile() {
  DWORD ignored = 0;
  flush(&ignored);
  if (file_ && size_ == 0) {  // nothing arrived: nothing is left behind
    file_.close();
    DeleteFileA(temporary_.c_str());
    removeRecord();
  }
}

PartialFile::RecordFound PartialFile::readRecord(PartialRecord* record) const {
  KernelHandle file(CreateFileA(recordPath_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return RecordFound::none;
  char text[kPartialRecordLimit + 1];
  DWORD got = 0;
  // One byte more than a record may hold tells a file that is too long.
  return ReadFile(file.get(), text, sizeof text, &got, nullptr) && parsePartialRecord(text, got, record)
             ? RecordFound::read
             : RecordFound::unusable;
}

bool PartialFile::open(const PartialRecord& wanted, std::string* dropped, DWORD* error) {
  PartialRecord record;
  const RecordFound found = readRecord(&record);
  recordOnDisk_ = found != RecordFound::none;
  file_.reset(CreateFileA(temporary_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  const DWORD opened = GetLastError();
  if (!file_) {
    removeRecord();
    *error = opened;
    return false;
  }
  const int64_t there = sizeOfOpenFile(file_.get());
  if (found == RecordFound::read && keepBytesThere(record, wanted, there, dropped)) return true;
  removeRecord();
  if (opened == ERROR_ALREADY_EXISTS && found != RecordFound::read) *dropped = "the partial file has no usable record";
  return there == 0 || empty(error);
}

// The `there` bytes an earlier attempt left, when its record ties them to `wanted`.
bool PartialFile::keepBytesThere(const PartialRecord& record, const PartialRecord& wanted, int64_t there,
                                 std::string* dropped) {
  if (there <= 0) return false;  // nothing to keep, nothing to say
  *dropped = mismatch(record, wanted, there);
  if (!dropped->empty()) return false;
  if (digestKeptBytes(there)) {
    kept_ = size_ = there;
    keptRecord_ = record;
    return true;
  }
  *dropped = "the partial file cannot be read back";
  return false;
}

// Reads the bytes already there back into the digests, through the write block; the
// file's pointer is left at their end.
bool PartialFile::digestKeptBytes(int64_t count) {
  uint64_t read = 0;
  if (feedOpenFile(file_.get(), static_cast<uint64_t>(count), digests_, buffer_, &read) &&
      read == static_cast<uint64_t>(count))
    return true;
  digests_.restart();
  return false;
}

bool PartialFile::empty(DWORD* error) {
  LARGE_INTEGER start = {};
  if (SetFilePointerEx(file_.get(), start, nullptr, FILE_BEGIN) && SetEndOfFile(file_.get())) return true;
  *error = GetLastError();
  return false;
}

bool PartialFile::startAgain(const PartialRecord& record, DWORD* error) {
  const bool wasEmpty = size_ == 0;  // as a fresh file is
  buffered_ = 0;
  size_ = kept_ = 0;
  digests_.restart();  // what was digested is gone
  removeRecord();
  recordText_ = partialRecordText(record);
  return wasEmpty || empty(error);
}

bool PartialFile::append(const char* data, size_t size, DWORD* error) {
  while (size > 0) {
    const size_t take = size < kPiece - buffered_ ? size : kPiece - buffered_;
    std::memcpy(buffer_.data() + buffered_, data, take);
    buffered_ += take;
    size_ += static_cast<int64_t>(take);
    data += take;
    size -= take;
    if (buffered_ == kPiece && !flush(error)) return false;
  }
  return true;
}

bool PartialFile::flush(DWORD* error) {
  if (buffered_ == 0 || !file_) return true;
  writeRecord();
  digests_.update(buffer_.data(), buffered_);
  const DWORD written = writeAll(file_.get(), buffer_.data(), buffered_);
  buffered_ = 0;
  if (written == ERROR_SUCCESS) return true;
  *error = written;
  return false;
}

// Without its record a transfer is only not resumable: a failure here is no failure.
void PartialFile::writeRecord() {
  if (recordText_.empty()) return;
  KernelHandle file(CreateFileA(recordPath_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  recordOnDisk_ = static_cast<bool>(file);
  if (file && (writeAll(file.get(), recordText_.data(), recordText_.size()) != ERROR_SUCCESS || !file.close()))
    removeRecord();
  recordText_.clear();
}

void PartialFile::removeRecord() {
  if (recordOnDisk_) DeleteFileA(recordPath_.c_str());
  recordOnDisk_ = false;
}

bool PartialFile::finish(uint64_t lastWriteTime, DWORD* error) {
  recordText_.clear();  // the transfer is over: nothing is left to take up
  if (!flush(error)) return false;
  if (!setLastWriteTime(file_.get(), lastWriteTime) || !file_.close()) {
    *error = GetLastError();
    return false;
  }
  removeRecord();
  return true;
}
