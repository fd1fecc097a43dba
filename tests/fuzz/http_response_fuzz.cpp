// Whatever a server sends: split it, search its header block for a location, resolve
// that against an address, parse the result, and feed the response buffer in reads of
// varying size.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "net/chunked_body.h"
#include "net/http_response.h"
#include "net/response_buffer.h"
#include "net/response_head.h"
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
  ContentRange range;
  if (contentRange(std::string(response, header), &range) && (range.first > range.last || range.last >= range.total))
    std::abort();
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

  // Arrival in pieces of varying size, until the body is complete as the receive loop does.
  ResponseBuffer buffer;
  size_t at = 0;
  for (size_t piece = 1; at < length && !buffer.complete(); piece = piece * 3 % 70000 + 1) {
    size_t room = 0;
    char* into = buffer.prepare(piece, &room);
    size_t n = room < length - at ? room : length - at;
    std::memcpy(into, response + at, n);
    buffer.commit(n);
    at += n;
  }
  if (buffer.headerBlock() != std::string(response, header)) std::abort();
  // The body is what followed the header block, up to its announced length if any.
  const size_t rest = length - header;
  const std::string body = buffer.body();
  if (body.size() > rest || body != std::string(response + header, body.size())) std::abort();
  if (!buffer.complete() && body.size() != rest) std::abort();
  uint64_t announced = 0;
  if (buffer.complete() && !isChunkedTransfer(response, header) && announcedLength(response, header, &announced) &&
      body.size() != announced)
    std::abort();
  size_t bodyLength = 0;
  char* taken = buffer.takeBody(&bodyLength);
  if (bodyLength != body.size()) std::abort();
  if (bodyLength && std::memcmp(taken, body.data(), bodyLength) != 0) std::abort();
  std::free(taken);
  return 0;
}
