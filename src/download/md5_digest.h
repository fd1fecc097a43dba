// MD5 (RFC 1321) digest text: 32 lower-case hexadecimal digits and a terminating zero.
#pragma once
#include <cstddef>
#include <cstdint>

#include "crypto/block_buffer.h"

void digestText(const void* data, uint32_t length, char out[33]);

// The same digest text for bytes given in pieces, so that a file larger than memory
// can be digested as it is read. Pieces of any length may follow one another.
class DigestStream {
 public:
  void add(const void* data, size_t length);
  // Writes the digest text of everything added; the stream is spent afterwards.
  void finish(char out[33]);

 private:
  uint32_t state_[4] = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};  // kMd5Initial
  BlockBuffer blocks_;
};
