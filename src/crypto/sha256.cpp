#include "crypto/sha256.h"

#include <cstring>

#include "crypto/hex_text.h"
#include "crypto/sha256_blocks.h"

namespace {

using BlockFunction = void (*)(uint32_t state[8], const uint8_t* data, size_t blocks);

// Chosen once per process, on first use.
BlockFunction blockFunction() {
  static const BlockFunction chosen = sha256HardwareAvailable() ? &sha256BlocksHardware : &sha256BlocksPortable;
  return chosen;
}

}  // namespace

void Sha256::update(const void* data, size_t length) {
  if (length == 0) return;
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  length_ += length;
  // Complete a block begun by an earlier piece first.
  if (pendingLength_ != 0) {
    const size_t take = length < 64 - pendingLength_ ? length : 64 - pendingLength_;
    std::memcpy(pending_ + pendingLength_, bytes, take);
    pendingLength_ += take;
    bytes += take;
    length -= take;
    if (pendingLength_ < 64) return;
    blockFunction()(state_, pending_, 1);
    pendingLength_ = 0;
  }
  // Whole blocks straight from the caller's buffer.
  const size_t wholeBlocks = length / 64;
  if (wholeBlocks != 0) blockFunction()(state_, bytes, wholeBlocks);
  pendingLength_ = length % 64;
  if (pendingLength_ != 0) std::memcpy(pending_, bytes + wholeBlocks * 64, pendingLength_);
}

Sha256Digest Sha256::finish() {
  // The tail, the 0x80 marker and the big-endian bit count: one block, or two when
  // fewer than 9 bytes are left free after the tail.
  uint8_t last[128] = {};
  std::memcpy(last, pending_, pendingLength_);
  last[pendingLength_] = 0x80;
  const size_t lastBlocks = pendingLength_ < 56 ? 1 : 2;
  const uint64_t bitCount = length_ * 8;
  for (int i = 0; i < 8; ++i) last[lastBlocks * 64 - 1 - i] = static_cast<uint8_t>(bitCount >> (8 * i));
  blockFunction()(state_, last, lastBlocks);

  Sha256Digest digest;
  for (int i = 0; i < 8; ++i)
    for (int j = 0; j < 4; ++j) digest[4 * i + j] = static_cast<uint8_t>(state_[i] >> (24 - 8 * j));
  *this = Sha256();
  return digest;
}

Sha256Digest sha256(const void* data, size_t length) {
  Sha256 hash;
  hash.update(data, length);
  return hash.finish();
}

std::string sha256Text(const Sha256Digest& digest) { return hexText(digest.data(), digest.size()); }
