#include "download/descriptor_loader.h"

#include <windows.h>

#include <climits>
#include <cstring>
#include <vector>

#include "download/install_descriptor.h"
#include "services/message_box.h"
#include "services/process_exit.h"
#include "win32/raw_resource.h"
#include "win32/whole_file.h"

namespace {
constexpr int kDescriptorResource = 455;

// The descriptor built into the program: its bytes stay mapped for the process's life.
bool loadFromResource() {
  const RawResource resource = rawResource(kDescriptorResource);
  if (!resource.bytes) return false;
  g_descriptorText = resource.bytes;
  g_descriptorLength = static_cast<int>(resource.size);
  return true;
}

// The whole "setup.ini" of the current directory, with a zero added after it; the
// copy is kept for the process's life. A file whose size does not fit the
// descriptor's length is no descriptor; one that shrank while being read gives what
// it held, and the length says so.
bool loadFromFile() {
  std::vector<char> bytes;
  if (!readWholeFile("setup.ini", FILE_SHARE_READ, INT_MAX - 1, bytes)) return false;
  char* text = new char[bytes.size() + 1];
  if (!bytes.empty()) std::memcpy(text, bytes.data(), bytes.size());
  text[bytes.size()] = '\0';
  g_descriptorText = text;
  g_descriptorLength = static_cast<int>(bytes.size());
  return true;
}
}  // namespace

void loadInstallDescriptor() {
  if (g_descriptorText) return;
  if (loadFromResource()) return;
  showMessageBox(nullptr, "Ini taked", nullptr, MB_ICONWARNING | MB_SYSTEMMODAL);
  if (loadFromFile()) return;
  showMessageBox(nullptr, "Failure loading header", nullptr, MB_ICONERROR);
  endProcess(kExitAborted);
}
