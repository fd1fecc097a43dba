#include "download/descriptor_loader.h"

#include <windows.h>

#include <climits>

#include "app/message_box.h"
#include "download/install_descriptor.h"

namespace {
constexpr int kDescriptorResource = 455;
const LPCSTR kRawData = MAKEINTRESOURCEA(10);  // RT_RCDATA, whatever the character set

// The descriptor built into the program: its bytes stay mapped for the process's life.
bool loadFromResource() {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(kDescriptorResource), kRawData);
  if (!found) return false;
  HGLOBAL loaded = LoadResource(module, found);
  if (!loaded) return false;
  const void* bytes = LockResource(loaded);
  if (!bytes) return false;
  g_descriptorText = static_cast<const char*>(bytes);
  g_descriptorLength = static_cast<int>(SizeofResource(module, found));
  return true;
}

// The whole "setup.ini" of the current directory, with a zero added after it.
bool loadFromFile() {
  HANDLE file = CreateFileA("setup.ini", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  // A file whose size does not fit the descriptor's length is no descriptor.
  if (!GetFileSizeEx(file, &size) || size.QuadPart >= INT_MAX) {
    CloseHandle(file);
    return false;
  }
  int length = static_cast<int>(size.QuadPart);
  char* text = new char[static_cast<size_t>(length) + 1];
  int filled = 0;
  while (filled < length) {
    DWORD got = 0;
    if (!ReadFile(file, text + filled, static_cast<DWORD>(length - filled), &got, nullptr) ||
        got == 0) {
      break;
    }
    filled += static_cast<int>(got);
  }
  CloseHandle(file);
  // A file that shrank while being read gives what it held; the length says so.
  text[filled] = '\0';
  g_descriptorText = text;
  g_descriptorLength = filled;
  return true;
}
}  // namespace

void loadInstallDescriptor() {
  if (g_descriptorText) return;
  if (loadFromResource()) return;
  showMessageBox(nullptr, "Ini taked", nullptr, MB_ICONWARNING | MB_SYSTEMMODAL);
  if (loadFromFile()) return;
  showMessageBox(nullptr, "Failure loading header", nullptr, MB_ICONERROR);
  ExitProcess(static_cast<UINT>(-1));
}
