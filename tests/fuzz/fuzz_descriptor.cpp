// Feeds arbitrary bytes to the line reader and the install descriptor parser.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "download/install_descriptor.h"
#include "download/line_reader.h"

namespace {
void require(bool condition) {
  if (!condition) std::abort();
}

// Reads every line with a field size taken from the input, checking what the reader
// promises: the cursor only moves forward, stays within the text, and the field is
// always a zero-terminated string that fits.
void readAllLines(const char* text, int length, size_t fieldSize) {
  char field[64];
  std::memset(field, '#', sizeof field);
  int cursor = -1;
  for (;;) {
    int before = cursor;
    bool terminated = readLine(text, &cursor, length, field, fieldSize);
    require(cursor <= length);
    if (fieldSize > 0) require(std::strlen(field) < fieldSize);
    for (size_t i = fieldSize; i < sizeof field; ++i) require(field[i] == '#');
    if (!terminated) break;
    require(cursor > before);
  }
  require(cursor == length);
  // Once exhausted, the field stays as it is.
  char copy[64];
  std::memcpy(copy, field, sizeof field);
  require(!readLine(text, &cursor, length, field, fieldSize));
  require(std::memcmp(copy, field, sizeof field) == 0);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  const char* text = reinterpret_cast<const char*>(data);
  int length = static_cast<int>(size);
  readAllLines(text, length, size > 0 ? data[0] % 17 : 8);

  std::memset(g_productName, 0, sizeof g_productName);
  parseInstallDescriptor(text, length);
  require(std::strlen(g_productName) < 256);
  require(std::strlen(g_libraryName) < 256);
  require(std::strlen(g_imageUrl) < 128);
  require(std::strlen(g_baseUrl) < 128);
  require(std::strncmp(g_baseUrl, VELMORIN_DOWNLOAD_HOST, std::strlen(VELMORIN_DOWNLOAD_HOST)) == 0);
  require(std::strchr(g_baseUrl, '\\') == nullptr);
  return 0;
}
