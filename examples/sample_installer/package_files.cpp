#include "package_files.h"

#include <windows.h>

#include <algorithm>

namespace {
bool sameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1,
                                                b.c_str(), -1) == CSTR_EQUAL;
}

void collect(const std::string& root, const std::string& relative, bool topLevel,
             const std::vector<std::string>& skipped, std::vector<std::string>& out) {
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA(joinPath(joinPath(root, relative), "*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
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
  } while (FindNextFileA(search, &entry));
  FindClose(search);
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

std::string errorText(unsigned long code) {
  char* buffer = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text = length ? std::string(buffer, length) : "error " + std::to_string(code);
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
    text.pop_back();
  return text;
}
