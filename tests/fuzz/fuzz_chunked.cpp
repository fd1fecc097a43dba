// Whatever a server sends as a chunked body: the decoder stays inside its bytes, never
// grows the body, and what it decodes comes back unchanged through a simple encoding;
// decoded piece by piece as it arrives, it gives the same bytes and the same verdict.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "net/chunked_body.h"

namespace {
void require(bool condition) {
  if (!condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<char> body(data, data + size);  // exact size: overreads are caught
  size_t decoded = 0;
  const bool whole = decodeChunkedBody(body.data(), body.size(), &decoded);
  ChunkedDecoder stream;
  std::string streamed;
  for (size_t at = 0, piece = 1; at < size; at += piece, piece = piece * 7 % 29 + 1) {
    if (piece > size - at) piece = size - at;
    std::vector<char> arrived(data + at, data + at + piece);
    streamed.append(arrived.data(), stream.decode(arrived.data(), piece));
  }
  require(stream.done() == whole);
  if (!whole) return 0;
  require(streamed == std::string(body.data(), decoded));
  require(decoded <= size);

  // Arriving in pieces, it is complete once its last chunk came; what came decodes the same.
  ChunkedBodyEnd end;
  size_t arrived = 0;
  for (size_t piece = 1; !end.reached(reinterpret_cast<const char*>(data), arrived); piece = piece * 7 % 31 + 1) {
    require(arrived < size);
    arrived = arrived + piece < size ? arrived + piece : size;
  }
  std::vector<char> prefix(data, data + arrived);
  size_t prefixDecoded = 0;
  require(decodeChunkedBody(prefix.data(), prefix.size(), &prefixDecoded) && prefixDecoded == decoded);
  require(decoded == 0 || std::memcmp(prefix.data(), body.data(), decoded) == 0);

  // Encoded again in chunks of varying size, with extensions and a trailer.
  std::string coded;
  for (size_t at = 0, piece = 1; at < decoded; at += piece, piece = piece * 5 % 97 + 1) {
    if (piece > decoded - at) piece = decoded - at;
    char line[32];
    std::snprintf(line, sizeof line, "%zX;p=%zu\r\n", piece, at);
    coded += line;
    coded.append(body.data() + at, piece);
    coded += "\r\n";
  }
  coded += "0\r\nTrailer: x\r\n\r\n";
  std::vector<char> again(coded.begin(), coded.end());
  size_t redecoded = 0;
  require(decodeChunkedBody(again.data(), again.size(), &redecoded));
  require(redecoded == decoded);
  require(decoded == 0 || std::memcmp(again.data(), body.data(), decoded) == 0);
  return 0;
}
