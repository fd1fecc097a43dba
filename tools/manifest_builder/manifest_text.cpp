#include "manifest_text.h"

std::string manifestText(const FolderScan& scan, const std::vector<std::string>& digests) {
  const char* const kLineEnd = "\r\n";
  std::string text = std::string("OK") + kLineEnd;
  for (const FolderEntry& directory : scan.directories) text += directory.name + kLineEnd;
  for (size_t i = 0; i < scan.files.size(); ++i) {
    const FolderEntry& file = scan.files[i];
    text += file.name + kLineEnd;
    text += digests[i] + "|" + std::to_string(file.facts.size) + kLineEnd;
    text += std::to_string(file.facts.lastWriteTime & 0xFFFFFFFFu) + kLineEnd;
    text += std::to_string(file.facts.lastWriteTime >> 32) + kLineEnd;
  }
  return text;
}
