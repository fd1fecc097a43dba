// A program without embedded resources that loads the install descriptor the way the
// installer does, in its current directory. Boxes are answered OK and written to
// "boxes.txt"; what was loaded goes to "loaded.bin" (length line, then the bytes and
// the byte after them).
#include <windows.h>

#include <cstdio>

#include "download/descriptor_loader.h"
#include "download/install_descriptor.h"
#include "services/message_box.h"

namespace {
int recordBox(HWND owner, const char* text, const char* caption, UINT flags) {
  FILE* out = std::fopen("boxes.txt", "ab");
  if (out) {
    std::fprintf(out, "%s|%s|%#x|%s\n", text, caption ? caption : "<none>", flags,
                 owner ? "owner" : "no owner");
    std::fclose(out);
  }
  return IDOK;
}
}  // namespace

int main() {
  setMessageBoxAnswerer(recordBox);
  loadInstallDescriptor();
  FILE* out = std::fopen("loaded.bin", "wb");
  if (!out) return 2;
  std::fprintf(out, "%d\n", g_descriptorLength);
  std::fwrite(g_descriptorText, 1, static_cast<size_t>(g_descriptorLength) + 1, out);
  std::fclose(out);
  return 0;
}
