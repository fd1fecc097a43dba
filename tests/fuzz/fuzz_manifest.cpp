// Feeds arbitrary manifests to the parser and checks that every record it keeps lies
// inside the download root, fits its fields and names a file of its own, and that every
// refusal says why.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "download/manifest_parser.h"
#include "download/manifest_names.h"

namespace {
void require(bool condition) {
  if (!condition) std::abort();
}

bool fitsField(const char* field, size_t size) { return std::memchr(field, '\0', size) != nullptr; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 1 << 20) return 0;
  // The first byte chooses how long the download root is, up to past the path limit.
  const std::string root = "C:\\T\\" + std::string(data[0], 'r');
  const char* text = reinterpret_cast<const char*>(data + 1);
  int length = static_cast<int>(size - 1);

  RecordNode* files = nullptr;
  RecordNode* directories = nullptr;
  ManifestRefusal refusal;
  ManifestStatus status = parseManifest(text, length, root.c_str(), "host/base", &files, &directories, &refusal);
  if (status != ManifestStatus::ok)
    require(files == nullptr && directories == nullptr && !refusal.entry.empty() && !refusal.reason.empty());

  int index = 0;
  NameCollisions seen;  // no two names kept are one on Windows
  for (RecordNode* node = files; node; node = node->next) {
    auto* record = static_cast<FileRecord*>(node->item);
    require(fitsField(record->localPath, sizeof record->localPath));
    require(fitsField(record->name, sizeof record->name));
    require(fitsField(record->digest, sizeof record->digest));
    require(nameFault(record->name).empty() && !seen.add(record->name));
    require(root + "\\" + record->name == record->localPath);
    require(record->index == index++ && record->size >= 0);
  }
  for (RecordNode* node = directories; node; node = node->next) {
    const char* name = static_cast<const char*>(node->item);
    require(nameFault(name).empty() && !seen.add(name));
    require(name[std::strlen(name) - 1] == '\\');
  }
  releaseManifestLists(files, directories);
  return 0;
}
