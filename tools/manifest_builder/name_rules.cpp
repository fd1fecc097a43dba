#include "name_rules.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "download/manifest_names.h"

namespace {

// The installer's local path (download folder, "\", name) holds 255 characters and a
// zero. Under even the shortest download folder this leaves fewer characters for a
// name than its own name field of 255 would.
constexpr size_t kLocalPathField = 256;
// The installer keeps a file's size as a signed 32-bit number.
constexpr uint64_t kLargestFileSize = 2147483647;

// The installer's download folder: the temporary directory, then these, then the
// product's name.
const char kDownloadFolders[] = "\\Quorvane\\Downloaded\\";
// The shortest temporary directory Windows gives, and a usual one for a user name of
// 20 characters, the longest a local Windows account may have.
const char kShortestTemp[] = "C:\\";
const char kTypicalTemp[] = "C:\\Users\\twenty-characters-ab\\AppData\\Local\\Temp\\";

// Windows refuses these characters in a name, and every control character.
const char kForbiddenCharacters[] = "<>:\"|?*\\/";

std::string describe(unsigned char c) {
  char text[32];
  if (c < 0x20 || c == 0x7f) {
    std::snprintf(text, sizeof text, "control character 0x%02X", c);
  } else {
    std::snprintf(text, sizeof text, "'%c'", c);
  }
  return text;
}

// Why Windows could not keep this one component as it is, or empty.
std::string componentRefusal(const std::string& ownName) {
  for (unsigned char c : ownName) {
    if (c < 0x20 || c == 0x7f || std::strchr(kForbiddenCharacters, c))
      return "holds " + describe(c) + ", which Windows does not allow in a name";
  }
  const char last = ownName.empty() ? '\0' : ownName.back();
  if (last == '.' || last == ' ')
    return "ends with a dot or a space, which Windows drops, so it would be written under another name";
  return {};
}

std::string refusalOf(const FolderEntry& entry, const DownloadRoots& roots, bool isFile) {
  std::string reason = componentRefusal(entry.ownName);
  if (!reason.empty()) return reason;
  if (!isNameInsideRoot(entry.name.c_str()))
    return "the installer refuses it (drive, \"..\", a device name such as CON or NUL, or a path outside its folder)";
  if (!fitsUnderRoot(roots.shortest.c_str(), entry.name.c_str(), kLocalPathField))
    return "too long (" + std::to_string(entry.name.size()) + " characters): even under the shortest download folder, " +
           roots.shortest + ", the installer's local path would pass 255 characters, so it refuses the whole manifest";
  if (isFile && entry.facts.size > kLargestFileSize)
    return std::to_string(entry.facts.size) + " bytes, more than the installer's limit of 2147483647";
  return {};
}

std::string foldedCase(const std::string& text) {
  std::string folded = text;
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

// Windows does not tell "Readme.txt" from "README.TXT": two such names in one directory
// would become one file on the user's machine.
void addCaseCollisions(const FolderScan& scan, std::vector<std::string>* refusals) {
  std::vector<std::pair<std::string, std::string>> folded;  // folded name, name
  for (const FolderEntry& entry : scan.directories)
    folded.emplace_back(foldedCase(entry.name.substr(0, entry.name.size() - 1)), entry.name);
  for (const FolderEntry& entry : scan.files) folded.emplace_back(foldedCase(entry.name), entry.name);
  std::sort(folded.begin(), folded.end());
  for (size_t i = 1; i < folded.size(); ++i) {
    if (folded[i].first == folded[i - 1].first)
      refusals->push_back(folded[i].second + ": Windows takes it for the same name as " + folded[i - 1].second);
  }
}

}  // namespace

DownloadRoots downloadRootsFor(const std::string& productName) {
  return {kShortestTemp + std::string(kDownloadFolders) + productName,
          kTypicalTemp + std::string(kDownloadFolders) + productName};
}

std::vector<std::string> refusedNames(const FolderScan& scan, const DownloadRoots& roots) {
  std::vector<std::string> refusals;
  for (const FolderEntry& entry : scan.directories) {
    std::string reason = refusalOf(entry, roots, false);
    if (!reason.empty()) refusals.push_back(entry.name + ": " + reason);
  }
  for (const FolderEntry& entry : scan.files) {
    std::string reason = refusalOf(entry, roots, true);
    if (!reason.empty()) refusals.push_back(entry.name + ": " + reason);
  }
  addCaseCollisions(scan, &refusals);
  return refusals;
}

std::vector<std::string> namesToWarnAbout(const FolderScan& scan, const DownloadRoots& roots) {
  std::vector<std::string> warnings;
  auto examine = [&](const FolderEntry& entry) {
    if (!fitsUnderRoot(roots.typical.c_str(), entry.name.c_str(), kLocalPathField)) {
      warnings.push_back(entry.name + ": under a usual download folder (" + roots.typical +
                         ") the local path would be " + std::to_string(roots.typical.size() + 1 + entry.name.size()) +
                         " characters, more than the installer's 255: users with long user names cannot install the product");
    }
    if (std::any_of(entry.name.begin(), entry.name.end(), [](char c) { return static_cast<unsigned char>(c) > 0x7f; })) {
      warnings.push_back(entry.name + ": holds characters beyond ASCII; the installer writes names in the user's "
                         "ANSI code page, so the file may arrive under another name");
    }
  };
  for (const FolderEntry& entry : scan.directories) examine(entry);
  for (const FolderEntry& entry : scan.files) examine(entry);
  return warnings;
}
