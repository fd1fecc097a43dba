#include "package_files.h"

#include <windows.h>

#include <algorithm>

#include "win32/handles.h"
#include "win32/system_error_text.h"

namespace {
bool sameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1,
                                                b.c_str(), -1) == CSTR_EQUAL;
}

void collect(const std::string& root, const std::string& relative, bool topLevel,
             const std::vector<std::string>& skipped, std::vector<std::string>& out) {
  WIN32_FIND_DATAA entry;
  FindHandle search(FindFirstFileA(joinPath(joinPath(root, relative), "*").c_str(), &entry));
  if (!search) return;
  std::vector<std::string> directories;
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = relative.empty() ? name : relative + "\\" + name;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      directories.push_back(path);
    } else if (!topLevel || std::none_of(skipped.begin(), skipped.end(),
                                         [&](const std::string& s) { return sameName(s, name); })) {
      out.push_back(path);
    }
  } while (FindNextFileA(search.get(), &entry));
  search.close();
  for (const std::string& directory : directories) collect(root, directory, false, skipped, out);
}
}  // namespace

std::vector<std::string> listPackageFiles(const std::string& root,
                                          const std::vector<std::string>& skipped) {
  std::vector<std::string> files;
  collect(root, "", true, skipped, files);
  std::sort(files.begin(), files.end());
  return files;
}

std::string joinPath(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  if (name.empty()) return directory;
  const bool separated = directory.back() == '\\' || directory.back() == '/';
  return separated ? directory + name : directory + "\\" + name;
}

void createParentDirectories(const std::string& path) {
  for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
    CreateDirectoryA(path.substr(0, at).c_str(), nullptr);  // existing levels fail harmlessly
}

std::string errorText(unsigned long code, const std::string& fileName) {
  const std::string text = systemErrorLine(code, fileName);
  return text.empty() ? "error " + std::to_string(code) : text;
}
