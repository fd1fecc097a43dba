#include <windows.h>

#include "folder_access.h"
#include "win32/handles.h"
#include "win32/system_error_text.h"

const char kPathSeparator = '\\';

namespace {
// What failed on `path`, and why in the system's words.
std::string systemError(const std::string& what, const std::string& path) {
  const DWORD code = GetLastError();
  const std::string text = systemErrorLine(code, path);
  return what + ": " + (text.empty() ? "Windows error " + std::to_string(code) : text);
}

bool isAbsence(DWORD code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }
}  // namespace

bool readPathFacts(const std::string& path, PathFacts* facts, std::string* error) {
  *facts = PathFacts{};
  // Opening the path follows links the way the installer's own reads do, and one call
  // on the handle gives kind, size, last-write time and identity together. The time is
  // the file system's own file time, to the 100 ns, as GetFileAttributesExA gives it.
  KernelHandle handle(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle) {
    if (!isAbsence(GetLastError())) {
      *error = systemError("cannot examine it", path);
      return false;
    }
    // The name may be there as a link whose target is gone.
    WIN32_FILE_ATTRIBUTE_DATA link;
    if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &link)) facts->kind = PathKind::brokenLink;
    return true;
  }
  BY_HANDLE_FILE_INFORMATION info;
  const bool read = GetFileInformationByHandle(handle.get(), &info) != 0;
  if (!read) *error = systemError("cannot examine it", path);
  const DWORD type = GetFileType(handle.get());
  handle.close();
  if (!read) return false;

  facts->volume = info.dwVolumeSerialNumber;
  facts->node = uint64_t(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    facts->kind = PathKind::directory;
  } else if (type != FILE_TYPE_DISK) {
    facts->kind = PathKind::other;
  } else {
    facts->kind = PathKind::file;
    facts->size = uint64_t(info.nFileSizeHigh) << 32 | info.nFileSizeLow;
    facts->lastWriteTime =
        uint64_t(info.ftLastWriteTime.dwHighDateTime) << 32 | info.ftLastWriteTime.dwLowDateTime;
  }
  return true;
}

bool listDirectory(const std::string& path, std::vector<std::string>* names, std::string* error) {
  WIN32_FIND_DATAA found;
  FindHandle search(FindFirstFileA((path + "\\*").c_str(), &found));
  if (!search) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return true;  // nothing in it
    *error = systemError("cannot list it", path);
    return false;
  }
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names->push_back(name);
  } while (FindNextFileA(search.get(), &found));
  const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
  if (!complete) *error = systemError("cannot list it", path);
  return complete;
}

std::string absolutePath(const std::string& path) {
  char full[MAX_PATH * 4];
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  return length > 0 && length < sizeof full ? std::string(full, length) : path;
}

bool replaceFile(const std::string& from, const std::string& to, std::string* error) {
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  *error = systemError("cannot put it in place", to);
  return false;
}

bool createNewFile(const std::string& path, const std::string& bytes, bool /*ownerOnly*/, std::string* error) {
  KernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD code = GetLastError();
    *error = code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS ? "it exists already (a key is never overwritten)"
                                                                      : systemError("cannot be created", path);
    return false;
  }
  DWORD written = 0;
  const bool complete = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                        written == bytes.size() && FlushFileBuffers(file.get());
  if (!complete) *error = systemError("cannot be written", path);
  file.close();
  if (!complete) DeleteFileA(path.c_str());
  return complete;
}

bool stderrIsTerminal() {
  DWORD mode;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}
