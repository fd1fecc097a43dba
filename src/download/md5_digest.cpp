// MD5 after RFC 1321, written for throughput: whole 64-byte blocks are hashed
// straight from the caller's buffer, each round is spelled out (md5_rounds.h) so that
// the constants and message words fold into the additions, and only the final one or
// two padded blocks go through a small local buffer.
#include "download/md5_digest.h"

#include "download/md5_blocks.h"
#include "download/md5_rounds.h"

void md5Blocks(uint32_t state[4], const unsigned char* p, size_t blocks) {
  uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  for (; blocks != 0; --blocks, p += 64) {
    VM_MD5_LOAD_WORDS(p)
    const uint32_t aa = a, bb = b, cc = c, dd = d;
    VM_MD5_QUARTER_0 VM_MD5_QUARTER_1 VM_MD5_QUARTER_2 VM_MD5_QUARTER_3
    VM_MD5_QUARTER_4 VM_MD5_QUARTER_5 VM_MD5_QUARTER_6 VM_MD5_QUARTER_7
    VM_MD5_QUARTER_8 VM_MD5_QUARTER_9 VM_MD5_QUARTER_10 VM_MD5_QUARTER_11
    VM_MD5_QUARTER_12 VM_MD5_QUARTER_13 VM_MD5_QUARTER_14 VM_MD5_QUARTER_15
    a += aa;
    b += bb;
    c += cc;
    d += dd;
  }
  state[0] = a;
  state[1] = b;
  state[2] = c;
  state[3] = d;
}

namespace {

void writeHexWord(uint32_t word, char* out) {
  static const char kHex[] = "0123456789abcdef";
  for (int i = 0; i < 4; ++i, word >>= 8) {
    out[2 * i] = kHex[(word >> 4) & 0xf];
    out[2 * i + 1] = kHex[word & 0xf];
  }
}

}  // namespace

// Hashes the tail (less than one block), the 0x80 marker and the bit count, which
// need one block, or two when fewer than 9 bytes are left free after the tail, and
// writes the digest text.
void md5FinishText(const uint32_t blocksState[4], const unsigned char* tail, size_t tailLength,
                   uint64_t totalLength, char out[33]) {
  uint32_t state[4] = {blocksState[0], blocksState[1], blocksState[2], blocksState[3]};
  unsigned char last[128] = {};
  if (tailLength != 0) std::memcpy(last, tail, tailLength);
  last[tailLength] = 0x80;
  const size_t lastBlocks = tailLength < 56 ? 1 : 2;
  const uint64_t bitCount = totalLength * 8;
  for (int i = 0; i < 8; ++i) last[lastBlocks * 64 - 8 + i] = static_cast<unsigned char>(bitCount >> (8 * i));
  md5Blocks(state, last, lastBlocks);

  writeHexWord(state[0], out);
  writeHexWord(state[1], out + 8);
  writeHexWord(state[2], out + 16);
  writeHexWord(state[3], out + 24);
  out[32] = '\0';
}

void digestText(const void* data, uint32_t length, char out[33]) {
  uint32_t state[4] = {kMd5Initial[0], kMd5Initial[1], kMd5Initial[2], kMd5Initial[3]};
  const unsigned char* bytes = static_cast<const unsigned char*>(data);

  const size_t wholeBlocks = length / 64;
  if (wholeBlocks != 0) md5Blocks(state, bytes, wholeBlocks);
  md5FinishText(state, bytes + wholeBlocks * 64, length % 64, length, out);
}

void DigestStream::add(const void* data, size_t length) {
  blocks_.add(data, length, [this](const unsigned char* bytes, size_t count) { md5Blocks(state_, bytes, count); });
}

void DigestStream::finish(char out[33]) {
  md5FinishText(state_, blocks_.pending(), blocks_.pendingLength(), blocks_.length(), out);
}
