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
FileRecord* readFileEntry(const char* text, int* cursor, int length, const char* name,
                          const char* downloadRoot, const char* baseUrl, int index) {
  char digestAndSize[kDigestAndSizeField] = {};
  char timeLow[kTimeField] = {};
  char timeHigh[kTimeField] = {};
  readLine(text, cursor, length, digestAndSize, sizeof digestAndSize);
  readLine(text, cursor, length, timeLow, sizeof timeLow);
  readLine(text, cursor, length, timeHigh, sizeof timeHigh);

  FileRecord* record = new FileRecord{};
  // A line without a bar is all digest and no size: the record is kept with size 0,
  // and the digest check of the download rejects the file unless it really matches.
  const char* sizeText = "";
  if (char* bar = std::strchr(digestAndSize, '|')) {
    *bar = '\0';
    sizeText = bar + 1;
  }
  copyCut(record->digest, sizeof record->digest, digestAndSize);
  record->size = parseDecimal32(sizeText);

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
}  // namespace

ManifestStatus parseManifest(const char* text, int length, const char* downloadRoot,
                             const char* baseUrl, RecordNode** files,
                             RecordNode** directories) {
  int cursor = -1;
  std::vector<char> firstLine(kFirstLineField, '\0');
  readLine(text, &cursor, length, firstLine.data(), firstLine.size());
  if (std::strcmp(firstLine.data(), "OK") != 0) return ManifestStatus::invalidHeader;

  // Entries are gathered apart and handed over only when the whole manifest is sound.
  RecordNode* newFiles = nullptr;
  RecordNode* newDirectories = nullptr;
  int index = -1;
  while (cursor < length) {
    char name[kNameField] = {};
    if (!readLine(text, &cursor, length, name, sizeof name)) break;  // unterminated: dropped
    if (name[0] == '\0') continue;  // a blank line where an entry could begin
    // A name that leaves the download root, or a path too long for its field, would
    // make the installer write somewhere else than the file it names.
    if (!isNameInsideRoot(name) ||
        !fitsUnderRoot(downloadRoot, name, sizeof(FileRecord::localPath))) {
      releaseManifestLists(newFiles, newDirectories);
      return ManifestStatus::invalidHeader;
    }
    if (name[std::strlen(name) - 1] == '\\') {
      newDirectories = listAppend(newDirectories, copyText(name));
      continue;
    }
    ++index;
    FileRecord* record = readFileEntry(text, &cursor, length, name, downloadRoot, baseUrl, index);
    newFiles = listAppend(newFiles, record);
  }

  appendAll(files, newFiles);
  appendAll(directories, newDirectories);
  freeNodes(newFiles);
  freeNodes(newDirectories);
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
