#include "name_rules.h"

#include <algorithm>

#include "download/manifest_names.h"

namespace {

// The installer's local path (download folder, "\", name) holds 255 characters and a
// zero. Under even the shortest download folder this leaves fewer characters for a
// name than its own name field of 255 would.
constexpr size_t kLocalPathField = 256;

// The installer's download folder: the temporary directory, then these, then the
// product's name.
const char kDownloadFolders[] = "\\Quorvane\\Downloaded\\";
// The shortest temporary directory Windows gives, and a usual one for a user name of
// 20 characters, the longest a local Windows account may have.
const char kShortestTemp[] = "C:\\";
const char kTypicalTemp[] = "C:\\Users\\twenty-characters-ab\\AppData\\Local\\Temp\\";

std::string refusalOf(const FolderEntry& entry, const DownloadRoots& roots) {
  // The builder makes names from components: one holding the separator would become two.
  if (entry.ownName.find('\\') != std::string::npos) return forbiddenCharacterFault('\\');
  std::string reason = nameFault(entry.name);
  if (!reason.empty()) return reason;
  if (!fitsUnderRoot(roots.shortest.c_str(), entry.name.c_str(), kLocalPathField))
    return "too long (" + std::to_string(entry.name.size()) + " characters): even under the shortest download folder, " +
           roots.shortest + ", the installer's local path would pass 255 characters, so it refuses the whole manifest";
  return {};
}

// Names Windows would take for one: the second of them is refused, naming the first.
void addCaseCollisions(const FolderScan& scan, std::vector<std::string>* refusals) {
  NameCollisions names;
  for (const auto* entries : {&scan.directories, &scan.files}) {
    for (const FolderEntry& entry : *entries) {
      if (const std::string* earlier = names.add(entry.name))
        refusals->push_back(entry.name + ": " + duplicateFault(*earlier));
    }
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
    std::string reason = refusalOf(entry, roots);
    if (!reason.empty()) refusals.push_back(entry.name + ": " + reason);
  }
  for (const FolderEntry& entry : scan.files) {
    std::string reason = refusalOf(entry, roots);
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
