#include "ui/document_stream.h"

#include <cstring>

int32_t DocumentStream::read(char* destination, int32_t requested) {
  if (!data || requested <= 0 || offset >= size) return 0;
  uint32_t chunk = static_cast<uint32_t>(requested);
  if (chunk > size - offset) chunk = size - offset;
  std::memcpy(destination, data + offset, chunk);
  offset += chunk;
  return static_cast<int32_t>(chunk);
}
