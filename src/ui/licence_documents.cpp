#include "ui/licence_documents.h"

#include "app/message_box.h"
#include "resources/resource_ids.h"

DocumentStream g_licenceDocument;
DocumentStream g_noticeDocument;

namespace {
const LPCSTR kRawData = MAKEINTRESOURCEA(10);  // RT_RCDATA

const char* loadFromResource(int id, uint32_t* size, bool* found) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), kRawData);
  *found = resource != nullptr;
  if (!resource) return nullptr;
  if (size) *size = SizeofResource(module, resource);
  HGLOBAL loaded = LoadResource(module, resource);
  return loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
}

// The whole file with a zero after it; the buffer is kept for the process's life.
const char* loadFromFile(const char* fileName, uint32_t* size) {
  HANDLE file = CreateFileA(fileName, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  LARGE_INTEGER length{};
  // A document must fit the 32-bit size the page keeps.
  if (!GetFileSizeEx(file, &length) || length.QuadPart >= 0x7FFFFFFF) {
    CloseHandle(file);
    return nullptr;
  }
  uint32_t wanted = static_cast<uint32_t>(length.QuadPart);
  char* text = new char[wanted + 1];
  uint32_t filled = 0;
  while (filled < wanted) {
    DWORD got = 0;
    if (!ReadFile(file, text + filled, wanted - filled, &got, nullptr) || got == 0) break;
    filled += got;
  }
  CloseHandle(file);
  // A short read gives what was read: the size never claims bytes that are not there.
  text[filled] = '\0';
  if (size) *size = filled;
  return text;
}

const char* loadDocument(int id, const char* fallbackFile, const char* warning, uint32_t* size) {
  bool found = false;
  const char* bytes = loadFromResource(id, size, &found);
  if (found) return bytes;
  showMessageBox(nullptr, warning, nullptr, MB_ICONWARNING | MB_SYSTEMMODAL);
  return loadFromFile(fallbackFile, size);
}

DWORD stream(DocumentStream& document, LPBYTE buffer, LONG requested, LONG* count) {
  *count = document.read(reinterpret_cast<char*>(buffer), requested);
  return 0;
}
}  // namespace

const char* loadLicenceDocument(uint32_t* size) {
  return loadDocument(IDR_LICENCE, "setup.rtf", "rtf taked", size);
}

const char* loadNoticeDocument(uint32_t* size) {
  return loadDocument(IDR_NOTICE, "epileptic.rtf", "rtf epilec taked", size);
}

DWORD CALLBACK streamLicence(DWORD_PTR, LPBYTE buffer, LONG requested, LONG* count) {
  return stream(g_licenceDocument, buffer, requested, count);
}

DWORD CALLBACK streamNotice(DWORD_PTR, LPBYTE buffer, LONG requested, LONG* count) {
  return stream(g_noticeDocument, buffer, requested, count);
}
