// SHA-256 at the level of 64-byte blocks: the two block functions behind Sha256 (each
// hashes whole blocks into the state a to h), exposed so that tests can hold them
// against each other, and the pieces for code that feeds the blocks itself
// (FileDigests, which hashes them together with MD5).
#pragma once
#include <cstddef>
#include <cstdint>

#include "crypto/sha256.h"

inline constexpr uint32_t kSha256Initial[8] = {0x6a09e667u, 0xbb67ae85u, 0x3c6ef372u, 0xa54ff53au,
                                               0x510e527fu, 0x9b05688cu, 0x1f83d9abu, 0x5be0cd19u};

void sha256BlocksPortable(uint32_t state[8], const uint8_t* data, size_t blocks);

// Only on x86 processors that have the SHA extensions (sha256HardwareAvailable).
void sha256BlocksHardware(uint32_t state[8], const uint8_t* data, size_t blocks);
bool sha256HardwareAvailable();

// The faster of the two on this processor.
void sha256Blocks(uint32_t state[8], const uint8_t* data, size_t blocks);

// The digest from the state after the whole blocks, the tail that follows them (less
// than 64 bytes) and the length of everything.
Sha256Digest sha256Finish(const uint32_t state[8], const uint8_t* tail, size_t tailLength, uint64_t totalLength);
