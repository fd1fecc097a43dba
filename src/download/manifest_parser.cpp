#include "download/manifest_parser.h"

#include <cstring>
#include <vector>

#include "download/decimal_text.h"
#include "download/line_reader.h"
#include "download/manifest_names.h"
#include "download/text_field.h"

namespace {
// Line limits of the manifest, each counting the terminating zero.
constexpr size_t kFirstLineField = 8192;
constexpr size_t kNameField = 256;
constexpr size_t kDigestAndSizeField = 128;
constexpr size_t kTimeField = 128;

char* copyText(const char* text) {
  size_t size = std::strlen(text) + 1;
  char* copy = new char[size];
  std::memcpy(copy, text, size);
  return copy;
}

// The lines after a file's name: digest and size, then the two halves of its time.
// Lines missing at the end of the text stay empty, so a cut-short entry is still taken.
// Null, with the reason, for a size that no file has.
FileRecord* readFileEntry(const char* text, int* cursor, int length, const char* name,
                          const char* downloadRoot, const char* baseUrl, int index, std::string* fault) {
  char digestAndSize[kDigestAndSizeField] = {};
  char timeLow[kTimeField] = {};
  char timeHigh[kTimeField] = {};
  readLine(text, cursor, length, digestAndSize, sizeof digestAndSize);
  readLine(text, cursor, length, timeLow, sizeof timeLow);
  readLine(text, cursor, length, timeHigh, sizeof timeHigh);

  // A line without a bar is all digest and no size: the record is kept with size 0,
  // and the digest check of the download rejects the file unless it really matches.
  const char* sizeText = "";
  if (char* bar = std::strchr(digestAndSize, '|')) {
    *bar = '\0';
    sizeText = bar + 1;
  }
  int64_t size = 0;
  if (!parseFileSize(sizeText, &size)) {
    *fault = "unusable size: " + printableName(sizeText) +
             (parseDecimal64(sizeText) < 0 ? ", less than 0" : ", more than a 64-bit number holds");
    return nullptr;
  }
  FileRecord* record = new FileRecord{};
  copyCut(record->digest, sizeof record->digest, digestAndSize);
  record->size = size;

  std::strcpy(record->localPath, downloadRoot);  // fits: checked with the name
  std::strcat(record->localPath, "\\");
  std::strcat(record->localPath, name);
  copyCut(record->baseUrl, sizeof record->baseUrl, baseUrl);
  copyCut(record->name, sizeof record->name, name);
  record->index = index;
  uint64_t low = static_cast<uint64_t>(parseDecimal64(timeLow)) & 0xFFFFFFFFu;
  uint64_t high = static_cast<uint64_t>(parseDecimal64(timeHigh)) & 0xFFFFFFFFu;
  record->lastWriteTime = high << 32 | low;
  return record;
}

// A blank name line is an entry without a name when a file's digest-and-size line
// comes next: no name holds the bar, which Windows forbids. Any other blank line only
// stands between entries, or after the last (a manifest saved with an extra line end).
bool digestLineFollows(const char* text, int cursor, int length) {
  char next[kDigestAndSizeField] = {};
  readLine(text, &cursor, length, next, sizeof next);
  return std::strchr(next, '|') != nullptr;
}

// Why the entry named `name` is refused, or empty; a sound name joins `names`.
std::string entryFault(const char* name, const char* downloadRoot, NameCollisions& names) {
  std::string fault = nameFault(name);
  if (!fault.empty()) return fault;
  // A name line that fills its field (or was cut to it) fits under no folder at all;
  // a shorter name may still be too long under this machine's download folder, with a
  // long temporary directory: the limit is then the machine's.
  if (std::strlen(name) + 1 >= kNameField)
    return "name too long: " + std::to_string(kNameField - 1) + " characters or more, which no local path holds";
  const size_t pathLength = std::strlen(downloadRoot) + 1 + std::strlen(name);
  if (!fitsUnderRoot(downloadRoot, name, sizeof(FileRecord::localPath)))
    return "path too long for this machine's download folder " + std::string(downloadRoot) + " (" +
           std::to_string(std::strlen(downloadRoot)) + " characters): with the name the local path has " +
           std::to_string(pathLength) + " characters, more than 255";
  if (const std::string* earlier = names.add(name)) return duplicateFault(*earlier);
  return {};
}

ManifestStatus refuse(ManifestRefusal* refusal, const std::string& entry, const std::string& reason) {
  if (refusal) *refusal = {entry, reason};
  return ManifestStatus::invalidHeader;
}

void appendAll(RecordNode** list, RecordNode* items) {
  for (RecordNode* node = items; node; node = node->next) *list = listAppend(*list, node->item);
}

void freeNodes(RecordNode* list) {
  while (list) {
    RecordNode* next = list->next;
    delete list;
    list = next;
  }
}

// The entries of a manifest being read, until they are handed over or given up.
struct Entries {
  RecordNode* files = nullptr;
  RecordNode* directories = nullptr;
  void release() { releaseManifestLists(files, directories); }
};
}  // namespace

ManifestStatus parseManifest(const char* text, int length, const char* downloadRoot,
                             const char* baseUrl, RecordNode** files,
                             RecordNode** directories, ManifestRefusal* refusal) {
  int cursor = -1;
  std::vector<char> firstLine(kFirstLineField, '\0');
  readLine(text, &cursor, length, firstLine.data(), firstLine.size());
  if (std::strcmp(firstLine.data(), "OK") != 0) {
    const std::string shown = printableName(std::string(firstLine.data()).substr(0, 60));
    return refuse(refusal, "the first line", "\"" + shown + "\" where \"OK\" belongs");
  }

  // Entries are gathered apart and handed over only when the whole manifest is sound.
  Entries entries;
  NameCollisions names;
  std::string previous;  // the last name read, to place an entry that has none
  int index = -1;
  while (cursor < length) {
    char name[kNameField] = {};
    if (!readLine(text, &cursor, length, name, sizeof name)) break;  // unterminated: dropped
    if (name[0] == '\0' && !digestLineFollows(text, cursor, length)) continue;  // a blank line
    const std::string fault = entryFault(name, downloadRoot, names);
    if (!fault.empty()) {
      const std::string entry = name[0] ? printableName(name)
                                : previous.empty() ? "the first entry" : "the entry after " + previous;
      entries.release();
      return refuse(refusal, entry, fault);
    }
    previous = printableName(name);
    if (name[std::strlen(name) - 1] == '\\') {
      entries.directories = listAppend(entries.directories, copyText(name));
      continue;
    }
    ++index;
    std::string sizeFault;
    FileRecord* record = readFileEntry(text, &cursor, length, name, downloadRoot, baseUrl, index, &sizeFault);
    if (!record) {
      entries.release();
      return refuse(refusal, printableName(name), sizeFault);
    }
    entries.files = listAppend(entries.files, record);
  }

  appendAll(files, entries.files);
  appendAll(directories, entries.directories);
  freeNodes(entries.files);
  freeNodes(entries.directories);
  return ManifestStatus::ok;
}

void releaseManifestLists(RecordNode* files, RecordNode* directories) {
  for (RecordNode* node = files; node; node = node->next)
    delete static_cast<FileRecord*>(node->item);
  for (RecordNode* node = directories; node; node = node->next)
    delete[] static_cast<char*>(node->item);
  freeNodes(files);
  freeNodes(directories);
}
