#include "crypto/sha256.h"

#include <cstring>

#include "crypto/hex_text.h"
#include "crypto/sha256_blocks.h"

void sha256Blocks(uint32_t state[8], const uint8_t* data, size_t blocks) {
  // Chosen once per process, on first use.
  static void (*const chosen)(uint32_t*, const uint8_t*, size_t) =
      sha256HardwareAvailable() ? &sha256BlocksHardware : &sha256BlocksPortable;
  chosen(state, data, blocks);
}

Sha256Digest sha256Finish(const uint32_t blocksState[8], const uint8_t* tail, size_t tailLength,
                          uint64_t totalLength) {
  // The tail, the 0x80 marker and the big-endian bit count: one block, or two when
  // fewer than 9 bytes are left free after the tail.
  uint32_t state[8];
  std::memcpy(state, blocksState, sizeof state);
  uint8_t last[128] = {};
  if (tailLength != 0) std::memcpy(last, tail, tailLength);
  last[tailLength] = 0x80;
  const size_t lastBlocks = tailLength < 56 ? 1 : 2;
  const uint64_t bitCount = totalLength * 8;
  for (int i = 0; i < 8; ++i) last[lastBlocks * 64 - 1 - i] = static_cast<uint8_t>(bitCount >> (8 * i));
  sha256Blocks(state, last, lastBlocks);

  Sha256Digest digest;
  for (int i = 0; i < 8; ++i)
    for (int j = 0; j < 4; ++j) digest[4 * i + j] = static_cast<uint8_t>(state[i] >> (24 - 8 * j));
  return digest;
}

Sha256::Sha256() { std::memcpy(state_, kSha256Initial, sizeof state_); }

void Sha256::update(const void* data, size_t length) {
  blocks_.add(data, length, [this](const unsigned char* bytes, size_t count) { sha256Blocks(state_, bytes, count); });
}

Sha256Digest Sha256::finish() {
  const Sha256Digest digest = sha256Finish(state_, blocks_.pending(), blocks_.pendingLength(), blocks_.length());
  *this = Sha256();
  return digest;
}

Sha256Digest sha256(const void* data, size_t length) {
  Sha256 hash;
  hash.update(data, length);
  return hash.finish();
}

std::string sha256Text(const Sha256Digest& digest) { return hexText(digest.data(), digest.size()); }
