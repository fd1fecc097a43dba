// MD5 at the level of 64-byte blocks, for code that feeds the blocks itself
// (FileDigests, which hashes them together with SHA-256).
#pragma once
#include <cstddef>
#include <cstdint>

inline constexpr uint32_t kMd5Initial[4] = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};

void md5Blocks(uint32_t state[4], const unsigned char* data, size_t blocks);

// The digest text from the state after the whole blocks, the tail that follows them
// (less than 64 bytes) and the length of everything.
void md5FinishText(const uint32_t state[4], const unsigned char* tail, size_t tailLength, uint64_t totalLength,
                   char out[33]);
