// MD5 after RFC 1321, written for throughput: whole 64-byte blocks are hashed
// straight from the caller's buffer, each round is spelled out so that the
// constants and message words fold into the additions, and only the final one or
// two padded blocks go through a small local buffer.
#include "download/md5_digest.h"

#include <cstring>

namespace {

struct State {
  uint32_t a, b, c, d;
};

inline uint32_t rotl(uint32_t x, int s) { return (x << s) | (x >> (32 - s)); }

// Words are little-endian in MD5; memcpy keeps unaligned input legal and compiles
// to a plain load on x86.
inline uint32_t loadWord(const unsigned char* p) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
#else
  uint32_t w;
  std::memcpy(&w, p, 4);
  return w;
#endif
}

// Round functions in the forms with the shortest dependency chains: F as a
// select-by-mask without a NOT on the critical path, I as RFC 1321 writes it.
// G is folded into its own step below.
#define VM_MD5_F(x, y, z) ((((y) ^ (z)) & (x)) ^ (z))
#define VM_MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define VM_MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))

// The word and constant are added before the round function is known, so the
// addition runs beside the function instead of after it.
#define VM_MD5_STEP(f, a, b, c, d, w, k, s) \
  a += (w) + (k);                            \
  a += f(b, c, d);                           \
  a = rotl(a, s) + (b);

// G(b, c, d) = (b & d) | (c & ~d): the two halves share no bit, so they are added
// one by one, and the half without b is ready before b is.
#define VM_MD5_STEP_G(a, b, c, d, w, k, s) \
  a += (w) + (k);                          \
  a += ~(d) & (c);                         \
  a += (d) & (b);                          \
  a = rotl(a, s) + (b);

void hashBlocks(State& state, const unsigned char* p, size_t blocks) {
  uint32_t a = state.a, b = state.b, c = state.c, d = state.d;
  for (; blocks != 0; --blocks, p += 64) {
    const uint32_t x0 = loadWord(p), x1 = loadWord(p + 4), x2 = loadWord(p + 8),
                   x3 = loadWord(p + 12), x4 = loadWord(p + 16), x5 = loadWord(p + 20),
                   x6 = loadWord(p + 24), x7 = loadWord(p + 28), x8 = loadWord(p + 32),
                   x9 = loadWord(p + 36), x10 = loadWord(p + 40), x11 = loadWord(p + 44),
                   x12 = loadWord(p + 48), x13 = loadWord(p + 52), x14 = loadWord(p + 56),
                   x15 = loadWord(p + 60);
    const uint32_t aa = a, bb = b, cc = c, dd = d;

    VM_MD5_STEP(VM_MD5_F, a, b, c, d, x0, 0xd76aa478u, 7)
    VM_MD5_STEP(VM_MD5_F, d, a, b, c, x1, 0xe8c7b756u, 12)
    VM_MD5_STEP(VM_MD5_F, c, d, a, b, x2, 0x242070dbu, 17)
    VM_MD5_STEP(VM_MD5_F, b, c, d, a, x3, 0xc1bdceeeu, 22)
    VM_MD5_STEP(VM_MD5_F, a, b, c, d, x4, 0xf57c0fafu, 7)
    VM_MD5_STEP(VM_MD5_F, d, a, b, c, x5, 0x4787c62au, 12)
    VM_MD5_STEP(VM_MD5_F, c, d, a, b, x6, 0xa8304613u, 17)
    VM_MD5_STEP(VM_MD5_F, b, c, d, a, x7, 0xfd469501u, 22)
    VM_MD5_STEP(VM_MD5_F, a, b, c, d, x8, 0x698098d8u, 7)
    VM_MD5_STEP(VM_MD5_F, d, a, b, c, x9, 0x8b44f7afu, 12)
    VM_MD5_STEP(VM_MD5_F, c, d, a, b, x10, 0xffff5bb1u, 17)
    VM_MD5_STEP(VM_MD5_F, b, c, d, a, x11, 0x895cd7beu, 22)
    VM_MD5_STEP(VM_MD5_F, a, b, c, d, x12, 0x6b901122u, 7)
    VM_MD5_STEP(VM_MD5_F, d, a, b, c, x13, 0xfd987193u, 12)
    VM_MD5_STEP(VM_MD5_F, c, d, a, b, x14, 0xa679438eu, 17)
    VM_MD5_STEP(VM_MD5_F, b, c, d, a, x15, 0x49b40821u, 22)

    VM_MD5_STEP_G(a, b, c, d, x1, 0xf61e2562u, 5)
    VM_MD5_STEP_G(d, a, b, c, x6, 0xc040b340u, 9)
    VM_MD5_STEP_G(c, d, a, b, x11, 0x265e5a51u, 14)
    VM_MD5_STEP_G(b, c, d, a, x0, 0xe9b6c7aau, 20)
    VM_MD5_STEP_G(a, b, c, d, x5, 0xd62f105du, 5)
    VM_MD5_STEP_G(d, a, b, c, x10, 0x02441453u, 9)
    VM_MD5_STEP_G(c, d, a, b, x15, 0xd8a1e681u, 14)
    VM_MD5_STEP_G(b, c, d, a, x4, 0xe7d3fbc8u, 20)
    VM_MD5_STEP_G(a, b, c, d, x9, 0x21e1cde6u, 5)
    VM_MD5_STEP_G(d, a, b, c, x14, 0xc33707d6u, 9)
    VM_MD5_STEP_G(c, d, a, b, x3, 0xf4d50d87u, 14)
    VM_MD5_STEP_G(b, c, d, a, x8, 0x455a14edu, 20)
    VM_MD5_STEP_G(a, b, c, d, x13, 0xa9e3e905u, 5)
    VM_MD5_STEP_G(d, a, b, c, x2, 0xfcefa3f8u, 9)
    VM_MD5_STEP_G(c, d, a, b, x7, 0x676f02d9u, 14)
    VM_MD5_STEP_G(b, c, d, a, x12, 0x8d2a4c8au, 20)

    VM_MD5_STEP(VM_MD5_H, a, b, c, d, x5, 0xfffa3942u, 4)
    VM_MD5_STEP(VM_MD5_H, d, a, b, c, x8, 0x8771f681u, 11)
    VM_MD5_STEP(VM_MD5_H, c, d, a, b, x11, 0x6d9d6122u, 16)
    VM_MD5_STEP(VM_MD5_H, b, c, d, a, x14, 0xfde5380cu, 23)
    VM_MD5_STEP(VM_MD5_H, a, b, c, d, x1, 0xa4beea44u, 4)
    VM_MD5_STEP(VM_MD5_H, d, a, b, c, x4, 0x4bdecfa9u, 11)
    VM_MD5_STEP(VM_MD5_H, c, d, a, b, x7, 0xf6bb4b60u, 16)
    VM_MD5_STEP(VM_MD5_H, b, c, d, a, x10, 0xbebfbc70u, 23)
    VM_MD5_STEP(VM_MD5_H, a, b, c, d, x13, 0x289b7ec6u, 4)
    VM_MD5_STEP(VM_MD5_H, d, a, b, c, x0, 0xeaa127fau, 11)
    VM_MD5_STEP(VM_MD5_H, c, d, a, b, x3, 0xd4ef3085u, 16)
    VM_MD5_STEP(VM_MD5_H, b, c, d, a, x6, 0x04881d05u, 23)
    VM_MD5_STEP(VM_MD5_H, a, b, c, d, x9, 0xd9d4d039u, 4)
    VM_MD5_STEP(VM_MD5_H, d, a, b, c, x12, 0xe6db99e5u, 11)
    VM_MD5_STEP(VM_MD5_H, c, d, a, b, x15, 0x1fa27cf8u, 16)
    VM_MD5_STEP(VM_MD5_H, b, c, d, a, x2, 0xc4ac5665u, 23)

    VM_MD5_STEP(VM_MD5_I, a, b, c, d, x0, 0xf4292244u, 6)
    VM_MD5_STEP(VM_MD5_I, d, a, b, c, x7, 0x432aff97u, 10)
    VM_MD5_STEP(VM_MD5_I, c, d, a, b, x14, 0xab9423a7u, 15)
    VM_MD5_STEP(VM_MD5_I, b, c, d, a, x5, 0xfc93a039u, 21)
    VM_MD5_STEP(VM_MD5_I, a, b, c, d, x12, 0x655b59c3u, 6)
    VM_MD5_STEP(VM_MD5_I, d, a, b, c, x3, 0x8f0ccc92u, 10)
    VM_MD5_STEP(VM_MD5_I, c, d, a, b, x10, 0xffeff47du, 15)
    VM_MD5_STEP(VM_MD5_I, b, c, d, a, x1, 0x85845dd1u, 21)
    VM_MD5_STEP(VM_MD5_I, a, b, c, d, x8, 0x6fa87e4fu, 6)
    VM_MD5_STEP(VM_MD5_I, d, a, b, c, x15, 0xfe2ce6e0u, 10)
    VM_MD5_STEP(VM_MD5_I, c, d, a, b, x6, 0xa3014314u, 15)
    VM_MD5_STEP(VM_MD5_I, b, c, d, a, x13, 0x4e0811a1u, 21)
    VM_MD5_STEP(VM_MD5_I, a, b, c, d, x4, 0xf7537e82u, 6)
    VM_MD5_STEP(VM_MD5_I, d, a, b, c, x11, 0xbd3af235u, 10)
    VM_MD5_STEP(VM_MD5_I, c, d, a, b, x2, 0x2ad7d2bbu, 15)
    VM_MD5_STEP(VM_MD5_I, b, c, d, a, x9, 0xeb86d391u, 21)

    a += aa;
    b += bb;
    c += cc;
    d += dd;
  }
  state.a = a;
  state.b = b;
  state.c = c;
  state.d = d;
}

#undef VM_MD5_STEP
#undef VM_MD5_F
#undef VM_MD5_STEP_G
#undef VM_MD5_H
#undef VM_MD5_I

void writeHexWord(uint32_t word, char* out) {
  static const char kHex[] = "0123456789abcdef";
  for (int i = 0; i < 4; ++i, word >>= 8) {
    out[2 * i] = kHex[(word >> 4) & 0xf];
    out[2 * i + 1] = kHex[word & 0xf];
  }
}

// Hashes the tail (less than one block), the 0x80 marker and the bit count, which
// need one block, or two when fewer than 9 bytes are left free after the tail, and
// writes the digest text.
void finishDigest(State state, const unsigned char* tail, size_t tailLength,
                  uint64_t totalLength, char out[33]) {
  unsigned char last[128] = {};
  if (tailLength != 0) std::memcpy(last, tail, tailLength);
  last[tailLength] = 0x80;
  const size_t lastBlocks = tailLength < 56 ? 1 : 2;
  const uint64_t bitCount = totalLength * 8;
  for (int i = 0; i < 8; ++i) last[lastBlocks * 64 - 8 + i] = static_cast<unsigned char>(bitCount >> (8 * i));
  hashBlocks(state, last, lastBlocks);

  writeHexWord(state.a, out);
  writeHexWord(state.b, out + 8);
  writeHexWord(state.c, out + 16);
  writeHexWord(state.d, out + 24);
  out[32] = '\0';
}

}  // namespace

void digestText(const void* data, uint32_t length, char out[33]) {
  State state{0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};
  const unsigned char* bytes = static_cast<const unsigned char*>(data);

  const size_t wholeBlocks = length / 64;
  if (wholeBlocks != 0) hashBlocks(state, bytes, wholeBlocks);
  finishDigest(state, bytes + wholeBlocks * 64, length % 64, length, out);
}

void DigestStream::add(const void* data, size_t length) {
  if (length == 0) return;
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  length_ += length;
  State state{state_[0], state_[1], state_[2], state_[3]};
  // Complete a block begun by an earlier piece first.
  if (pendingLength_ != 0) {
    const size_t take = length < 64 - pendingLength_ ? length : 64 - pendingLength_;
    std::memcpy(pending_ + pendingLength_, bytes, take);
    pendingLength_ += take;
    bytes += take;
    length -= take;
    if (pendingLength_ < 64) return;
    hashBlocks(state, pending_, 1);
    pendingLength_ = 0;
  }
  // Whole blocks straight from the caller's buffer, as digestText does.
  const size_t wholeBlocks = length / 64;
  if (wholeBlocks != 0) hashBlocks(state, bytes, wholeBlocks);
  pendingLength_ = length % 64;
  if (pendingLength_ != 0) std::memcpy(pending_, bytes + wholeBlocks * 64, pendingLength_);
  state_[0] = state.a;
  state_[1] = state.b;
  state_[2] = state.c;
  state_[3] = state.d;
}

void DigestStream::finish(char out[33]) {
  finishDigest(State{state_[0], state_[1], state_[2], state_[3]}, pending_, pendingLength_, length_, out);
}
