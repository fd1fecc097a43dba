#include "engine/stale_partials.h"

#include <windows.h>

#include <set>
#include <string>

#include "download/partial_record.h"
#include "engine/engine_console.h"
#include "engine/engine_state.h"
#include "win32/handles.h"

namespace {

// Paths compared as Windows compares them: ASCII letters without case.
std::string folded(std::string path) {
  for (char& c : path) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  return path;
}

// The listed files that are not in place: their partials may still be taken up.
std::set<std::string> filesStillMissing() {
  std::set<std::string> missing;
  for (RecordNode* node = g_fileList; node; node = node->next) {
    const FileRecord* record = static_cast<const FileRecord*>(node->item);
    if (GetFileAttributesA(record->localPath) == INVALID_FILE_ATTRIBUTES) missing.insert(folded(record->localPath));
  }
  return missing;
}

// Walks `directory` and the directories below it; links and junctions are not
// followed, so nothing outside the download root is ever looked at.
void removeBelow(const std::string& directory, const std::set<std::string>& missing) {
  WIN32_FIND_DATAA entry;
  FindHandle search(FindFirstFileA((directory + "\\*").c_str(), &entry));
  if (!search) return;
  do {
    const std::string name = entry.cFileName, path = directory + "\\" + name;
    if (name == "." || name == ".." || (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      removeBelow(path, missing);
    } else if (isPartialFileName(name.data(), name.data() + name.size()) &&
               !missing.count(folded(path.substr(0, path.size() - kPartialSuffixLength))) &&
               DeleteFileA(path.c_str())) {
      consolePrint(("Removed " + path + ", left by an interrupted download\n").c_str());
    }
  } while (FindNextFileA(search.get(), &entry));
}

}  // namespace

void removeStalePartials() { removeBelow(g_downloadRoot, filesStillMissing()); }
