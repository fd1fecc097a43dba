// MD5 and SHA-256 of the same 64-byte blocks in one pass, for FileDigests. MD5's steps
// form one long chain of dependent additions that leaves most of the processor idle;
// the SHA instructions, interleaved with them, fill those gaps, so both digests cost
// about what MD5 alone does, on one thread.
#pragma once
#include <cstddef>
#include <cstdint>

// True where the processor has the SHA extensions.
bool md5Sha256BlocksAvailable();

void md5Sha256Blocks(uint32_t md5State[4], uint32_t sha256State[8], const unsigned char* data, size_t blocks);
