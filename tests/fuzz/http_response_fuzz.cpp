// Whatever a server sends: split it, search its header block for a location, resolve
// that against an address, parse the result, and feed the response buffer in reads of
// varying size.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "net/http_response.h"
#include "net/response_buffer.h"
#include "net/url.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  // The first line (up to LF) is the current address, the rest is the response.
  const char* newline = static_cast<const char*>(std::memchr(bytes, '\n', size));
  size_t split = newline ? static_cast<size_t>(newline - bytes) : 0;
  std::string current(bytes, split);
  const char* response = bytes + (newline ? split + 1 : 0);
  size_t length = size - (newline ? split + 1 : 0);

  size_t header = headerBlockLength(response, length);
  if (header > length) std::abort();
  if (header < length && (header < 4 || std::memcmp(response + header - 4, "\r\n\r\n", 4) != 0))
    std::abort();

  Url url;
  try {
    url = current.empty() ? std::string("http://server/dir/file") : current;
  } catch (const std::logic_error&) {
    url = std::string("http://server/dir/file");
  }
  std::string value;
  if (findLocation(std::string(response, header), &value)) {
    try {
      std::string next = resolveLocation(url.getUrl(), url.getHostPort(), value);
      Url target;
      target = next;
      if (target.isValid() && target.getPath().compare(0, 1, "/") != 0) std::abort();
    } catch (const std::logic_error&) {
    }
  }

  // Arrival in pieces of varying size, the way the receive loop sees it.
  ResponseBuffer buffer;
  size_t at = 0;
  for (size_t piece = 1; at < length; piece = piece * 3 % 70000 + 1) {
    size_t room = 0;
    char* into = buffer.prepare(piece, &room);
    size_t n = room < length - at ? room : length - at;
    std::memcpy(into, response + at, n);
    buffer.commit(n);
    at += n;
  }
  if (buffer.size() != length) std::abort();
  if (buffer.headerBlock() != std::string(response, header)) std::abort();
  if (buffer.body() != std::string(response + header, length - header)) std::abort();
  size_t bodyLength = 0;
  char* body = buffer.takeBody(&bodyLength);
  if (bodyLength != length - header) std::abort();
  if (bodyLength && std::memcmp(body, response + header, bodyLength) != 0) std::abort();
  std::free(body);
  return 0;
}
