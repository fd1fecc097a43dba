// The record kept beside a file whose download was interrupted (<path>.~vr next to the
// partial <path>.~vm): what was being fetched, and the server's validator of it, so
// that a later attempt, in this run or another, can ask for the rest. The record is
// read back from disk, so it is untrusted input: it is small, strictly formed, and
// only ever compared with what the install manifest asks for now; it names no path.
// Platform-free text code, shared with its fuzz target.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

struct PartialRecord {
  std::string address;  // the address as requested: base URL, "/", the file's name
  int64_t size = 0;     // the file's size in the manifest
  std::string digest;   // the file's digest text in the manifest
  // The server's validator of the file: its ETag (strong ones only) or else its
  // Last-Modified date, as the server wrote it.
  enum class Validator { etag, modified } kind = Validator::etag;
  std::string validator;
};

// While a file of the package arrives it is written under its name and ".~vm", and
// its record under its name and ".~vr": names no file of the package may take.
constexpr char kPartialFileSuffix[] = ".~vm";
constexpr char kPartialRecordSuffix[] = ".~vr";
constexpr size_t kPartialSuffixLength = sizeof kPartialFileSuffix - 1;

// True when the name from `begin` to `end` ends in either suffix, its letters in any
// case (Windows takes ".~VM" for ".~vm").
bool isPartialFileName(const char* begin, const char* end);

// Longer files are not records.
constexpr size_t kPartialRecordLimit = 2048;

// Lines ended by LF alone: "velmorin-partial 1", "address ...", "size N", "digest ...",
// then "etag ..." or "modified ...". Empty when a field cannot be written so (a line
// end or a zero byte in it, a validator that is empty, too long or not printable
// ASCII, a negative size): such a download is not resumable.
std::string partialRecordText(const PartialRecord& record);

// The record of such a text; false for anything else, and for texts of more than
// kPartialRecordLimit bytes.
bool parsePartialRecord(const char* text, size_t size, PartialRecord* record);

// A validator fit to be sent back in If-Range: printable ASCII, 1 to 200 characters,
// and for an ETag a strong one (not W/"...").
bool usableValidator(PartialRecord::Validator kind, const std::string& value);
