#include "win32/whole_file.h"

#include <new>

#include "win32/handles.h"

namespace {

enum class FileRead {
  whole,    // every byte the file had when the read began
  cut,      // fewer: a read failed or the file shrank meanwhile; `bytes` holds what came
  refused,  // no size, a size above the largest allowed, or no memory for it: `bytes` empty
};

// Reads an open file from its current position into `bytes`, resized to the file's size.
FileRead readOpenFile(HANDLE file, uint64_t largest, std::vector<char>& bytes) {
  bytes.clear();
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size) || size.QuadPart < 0 || static_cast<uint64_t>(size.QuadPart) > largest)
    return FileRead::refused;
  try {
    bytes.resize(static_cast<size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    return FileRead::refused;
  }
  size_t filled = 0;
  while (filled < bytes.size()) {
    // ReadFile takes 32-bit counts.
    const size_t left = bytes.size() - filled;
    const DWORD wanted = left > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(left);
    DWORD got = 0;
    if (!ReadFile(file, bytes.data() + filled, wanted, &got, nullptr) || got == 0) break;
    filled += got;
  }
  if (filled == bytes.size()) return FileRead::whole;
  bytes.resize(filled);
  return FileRead::cut;
}

}  // namespace

bool readWholeFile(const char* path, DWORD shareMode, uint64_t largest, std::vector<char>& bytes) {
  bytes.clear();
  KernelHandle file(CreateFileA(path, GENERIC_READ, shareMode, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
  if (!file) return false;
  return readOpenFile(file.get(), largest, bytes) != FileRead::refused;
}

DWORD writeAll(HANDLE file, const void* data, size_t size) {
  const DWORD kPiece = 1u << 30;  // WriteFile takes 32-bit counts
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    DWORD written = 0;
    if (!WriteFile(file, bytes, size > kPiece ? kPiece : static_cast<DWORD>(size), &written, nullptr))
      return GetLastError();
    if (written == 0) return ERROR_DISK_FULL;
    bytes += written;
    size -= written;
  }
  return ERROR_SUCCESS;
}
