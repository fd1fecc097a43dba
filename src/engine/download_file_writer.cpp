#include "engine/download_file_writer.h"

#include <cstring>

#include "engine/path_inside_root.h"
#include "win32/handles.h"

namespace {

constexpr char kTemporarySuffix[] = ".~vm";
// WriteFile takes 32-bit counts; bodies are written in pieces of this size.
constexpr DWORD kWritePiece = 1u << 30;

bool fullPathOf(const char* path, std::string& full) {
  char buffer[MAX_PATH];
  DWORD length = GetFullPathNameA(path, sizeof buffer, buffer, nullptr);
  if (length == 0 || length >= sizeof buffer) return false;
  full.assign(buffer, length);
  return true;
}

// The canonical full path of the target must lie below the canonical root: the
// manifest's names were checked when it was read, and this keeps it so at the write.
DWORD checkTarget(const char* root, const char* path) {
  if (std::strlen(path) + sizeof kTemporarySuffix > MAX_PATH) return ERROR_FILENAME_EXCED_RANGE;
  std::string fullRoot, fullPath;
  if (!fullPathOf(root, fullRoot) || !fullPathOf(path, fullPath)) return ERROR_FILENAME_EXCED_RANGE;
  return isPathInsideRoot(fullRoot, fullPath) ? ERROR_SUCCESS : ERROR_BAD_PATHNAME;
}

// A write that reports success but takes nothing would never end: it counts as a
// full disk.
DWORD writeAll(HANDLE file, const char* data, size_t size) {
  while (size > 0) {
    DWORD piece = size > kWritePiece ? kWritePiece : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(file, data, piece, &written, nullptr)) return GetLastError();
    if (written == 0) return ERROR_DISK_FULL;
    data += written;
    size -= written;
  }
  return ERROR_SUCCESS;
}

DWORD writeBodyAndTime(HANDLE file, const void* data, size_t size, uint64_t lastWriteTime) {
  DWORD error = writeAll(file, static_cast<const char*>(data), size);
  if (error != ERROR_SUCCESS) return error;
  FILETIME time;
  time.dwLowDateTime = static_cast<DWORD>(lastWriteTime);
  time.dwHighDateTime = static_cast<DWORD>(lastWriteTime >> 32);
  if (!SetFileTime(file, nullptr, nullptr, &time)) return GetLastError();
  return ERROR_SUCCESS;
}

FileWriteResult failure(DWORD error) { return {false, error}; }

}  // namespace

std::string temporaryPathFor(const char* path) { return std::string(path) + kTemporarySuffix; }

FileWriteResult writeDownloadedFile(const char* root, const char* path, const void* data,
                                    size_t size, uint64_t lastWriteTime) {
  DWORD refused = checkTarget(root, path);
  if (refused != ERROR_SUCCESS) return failure(refused);

  const std::string temporary = temporaryPathFor(path);
  KernelHandle file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return failure(GetLastError());

  DWORD error = writeBodyAndTime(file.get(), data, size, lastWriteTime);
  if (!file.close() && error == ERROR_SUCCESS) error = GetLastError();
  if (error == ERROR_SUCCESS &&
      !MoveFileExA(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING))
    error = GetLastError();
  if (error != ERROR_SUCCESS) {
    DeleteFileA(temporary.c_str());
    return failure(error);
  }
  return {true, ERROR_SUCCESS};
}
