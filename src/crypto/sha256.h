// SHA-256 (FIPS 180-4), fed in pieces of any length. Uses the processor's SHA
// instructions where it has them, else portable code; both give the same digest.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "crypto/block_buffer.h"

using Sha256Digest = std::array<uint8_t, 32>;

class Sha256 {
 public:
  Sha256();
  void update(const void* data, size_t length);
  // The digest of everything given; the object starts afresh afterwards.
  Sha256Digest finish();

 private:
  uint32_t state_[8];
  BlockBuffer blocks_;
};

Sha256Digest sha256(const void* data, size_t length);

// 64 lower-case hexadecimal digits.
std::string sha256Text(const Sha256Digest& digest);
