#include "engine/download_file_writer.h"

#include "download/partial_file.h"
#include "engine/path_inside_root.h"
#include "win32/file_time.h"
#include "win32/handles.h"
#include "win32/whole_file.h"

namespace {

bool fullPathOf(const char* path, std::string& full) {
  char buffer[MAX_PATH];
  DWORD length = GetFullPathNameA(path, sizeof buffer, buffer, nullptr);
  if (length == 0 || length >= sizeof buffer) return false;
  full.assign(buffer, length);
  return true;
}

DWORD writeBodyAndTime(HANDLE file, const char* data, size_t size, uint64_t lastWriteTime) {
  DWORD error = writeAll(file, data, size);
  if (error != ERROR_SUCCESS) return error;
  return setLastWriteTime(file, lastWriteTime) ? ERROR_SUCCESS : GetLastError();
}

FileWriteResult failure(DWORD error, const std::string& path) { return {false, error, path}; }

}  // namespace

// The canonical full path of the target must lie below the canonical root: the
// manifest's names were checked when it was read, and this keeps it so at the write.
DWORD refusedTarget(const char* root, const char* path) {
  if (temporaryPathFor(path).size() >= MAX_PATH) return ERROR_FILENAME_EXCED_RANGE;
  std::string fullRoot, fullPath;
  if (!fullPathOf(root, fullRoot) || !fullPathOf(path, fullPath)) return ERROR_FILENAME_EXCED_RANGE;
  return isPathInsideRoot(fullRoot, fullPath) ? ERROR_SUCCESS : ERROR_BAD_PATHNAME;
}

FileWriteResult placeVerifiedFile(const char* path) {
  // The rename fails on the target: held open, read-only, a directory.
  if (!MoveFileExA(temporaryPathFor(path).c_str(), path, MOVEFILE_REPLACE_EXISTING)) return failure(GetLastError(), path);
  return {true, ERROR_SUCCESS, ""};
}

FileWriteResult writeDownloadedFile(const char* root, const char* path, const void* data,
                                    size_t size, uint64_t lastWriteTime) {
  DWORD refused = refusedTarget(root, path);
  if (refused != ERROR_SUCCESS) return failure(refused, path);

  const std::string temporary = temporaryPathFor(path);
  KernelHandle file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return failure(GetLastError(), temporary);
  DWORD error = writeBodyAndTime(file.get(), static_cast<const char*>(data), size, lastWriteTime);
  if (!file.close() && error == ERROR_SUCCESS) error = GetLastError();
  FileWriteResult result = error == ERROR_SUCCESS ? placeVerifiedFile(path) : failure(error, temporary);
  if (!result.written) DeleteFileA(temporary.c_str());
  return result;
}
