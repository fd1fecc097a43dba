#include "ui/licence_documents.h"

#include <cstring>
#include <vector>

#include "resources/resource_ids.h"
#include "services/message_box.h"
#include "win32/raw_resource.h"
#include "win32/whole_file.h"

DocumentStream g_licenceDocument;
DocumentStream g_noticeDocument;

namespace {
// The whole file with a zero after it; the copy is kept for the process's life. A
// document must fit the 32-bit size the page keeps; a short read gives what was read:
// the size never claims bytes that are not there.
const char* loadFromFile(const char* fileName, uint32_t* size) {
  std::vector<char> bytes;
  if (!readWholeFile(fileName, 0, 0x7FFFFFFE, bytes)) return nullptr;
  char* text = new char[bytes.size() + 1];
  if (!bytes.empty()) std::memcpy(text, bytes.data(), bytes.size());
  text[bytes.size()] = '\0';
  if (size) *size = static_cast<uint32_t>(bytes.size());
  return text;
}

const char* loadDocument(int id, const char* fallbackFile, const char* warning, uint32_t* size) {
  const RawResource resource = rawResource(id);
  if (resource.found) {
    if (size) *size = resource.size;
    return resource.bytes;
  }
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
