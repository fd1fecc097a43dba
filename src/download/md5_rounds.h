// MD5's 64 steps as macros, in 16 quarters of 4 steps, for the two block functions that
// use them: MD5 alone (md5_digest.cpp) and MD5 stitched with SHA-256
// (md5_sha256_blocks.cpp). The quarters work on variables a, b, c, d and the message
// words x0 to x15 of the block, which VM_MD5_LOAD_WORDS declares.
#pragma once
#include <cstdint>
#include <cstring>

namespace md5_rounds {

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

}  // namespace md5_rounds

#define VM_MD5_LOAD_WORDS(p)                                                                        \
  const uint32_t x0 = md5_rounds::loadWord(p), x1 = md5_rounds::loadWord(p + 4),                   \
                 x2 = md5_rounds::loadWord(p + 8), x3 = md5_rounds::loadWord(p + 12),              \
                 x4 = md5_rounds::loadWord(p + 16), x5 = md5_rounds::loadWord(p + 20),             \
                 x6 = md5_rounds::loadWord(p + 24), x7 = md5_rounds::loadWord(p + 28),             \
                 x8 = md5_rounds::loadWord(p + 32), x9 = md5_rounds::loadWord(p + 36),             \
                 x10 = md5_rounds::loadWord(p + 40), x11 = md5_rounds::loadWord(p + 44),           \
                 x12 = md5_rounds::loadWord(p + 48), x13 = md5_rounds::loadWord(p + 52),           \
                 x14 = md5_rounds::loadWord(p + 56), x15 = md5_rounds::loadWord(p + 60);

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
  a = md5_rounds::rotl(a, s) + (b);

// G(b, c, d) = (b & d) | (c & ~d): the two halves share no bit, so they are added
// one by one, and the half without b is ready before b is.
#define VM_MD5_STEP_G(a, b, c, d, w, k, s) \
  a += (w) + (k);                          \
  a += ~(d) & (c);                         \
  a += (d) & (b);                          \
  a = md5_rounds::rotl(a, s) + (b);

#define VM_MD5_QUARTER_0 \
  VM_MD5_STEP(VM_MD5_F, a, b, c, d, x0, 0xd76aa478u, 7) \
  VM_MD5_STEP(VM_MD5_F, d, a, b, c, x1, 0xe8c7b756u, 12) \
  VM_MD5_STEP(VM_MD5_F, c, d, a, b, x2, 0x242070dbu, 17) \
  VM_MD5_STEP(VM_MD5_F, b, c, d, a, x3, 0xc1bdceeeu, 22)

#define VM_MD5_QUARTER_1 \
  VM_MD5_STEP(VM_MD5_F, a, b, c, d, x4, 0xf57c0fafu, 7) \
  VM_MD5_STEP(VM_MD5_F, d, a, b, c, x5, 0x4787c62au, 12) \
  VM_MD5_STEP(VM_MD5_F, c, d, a, b, x6, 0xa8304613u, 17) \
  VM_MD5_STEP(VM_MD5_F, b, c, d, a, x7, 0xfd469501u, 22)

#define VM_MD5_QUARTER_2 \
  VM_MD5_STEP(VM_MD5_F, a, b, c, d, x8, 0x698098d8u, 7) \
  VM_MD5_STEP(VM_MD5_F, d, a, b, c, x9, 0x8b44f7afu, 12) \
  VM_MD5_STEP(VM_MD5_F, c, d, a, b, x10, 0xffff5bb1u, 17) \
  VM_MD5_STEP(VM_MD5_F, b, c, d, a, x11, 0x895cd7beu, 22)

#define VM_MD5_QUARTER_3 \
  VM_MD5_STEP(VM_MD5_F, a, b, c, d, x12, 0x6b901122u, 7) \
  VM_MD5_STEP(VM_MD5_F, d, a, b, c, x13, 0xfd987193u, 12) \
  VM_MD5_STEP(VM_MD5_F, c, d, a, b, x14, 0xa679438eu, 17) \
  VM_MD5_STEP(VM_MD5_F, b, c, d, a, x15, 0x49b40821u, 22)

#define VM_MD5_QUARTER_4 \
  VM_MD5_STEP_G(a, b, c, d, x1, 0xf61e2562u, 5) \
  VM_MD5_STEP_G(d, a, b, c, x6, 0xc040b340u, 9) \
  VM_MD5_STEP_G(c, d, a, b, x11, 0x265e5a51u, 14) \
  VM_MD5_STEP_G(b, c, d, a, x0, 0xe9b6c7aau, 20)

#define VM_MD5_QUARTER_5 \
  VM_MD5_STEP_G(a, b, c, d, x5, 0xd62f105du, 5) \
  VM_MD5_STEP_G(d, a, b, c, x10, 0x02441453u, 9) \
  VM_MD5_STEP_G(c, d, a, b, x15, 0xd8a1e681u, 14) \
  VM_MD5_STEP_G(b, c, d, a, x4, 0xe7d3fbc8u, 20)

#define VM_MD5_QUARTER_6 \
  VM_MD5_STEP_G(a, b, c, d, x9, 0x21e1cde6u, 5) \
  VM_MD5_STEP_G(d, a, b, c, x14, 0xc33707d6u, 9) \
  VM_MD5_STEP_G(c, d, a, b, x3, 0xf4d50d87u, 14) \
  VM_MD5_STEP_G(b, c, d, a, x8, 0x455a14edu, 20)

#define VM_MD5_QUARTER_7 \
  VM_MD5_STEP_G(a, b, c, d, x13, 0xa9e3e905u, 5) \
  VM_MD5_STEP_G(d, a, b, c, x2, 0xfcefa3f8u, 9) \
  VM_MD5_STEP_G(c, d, a, b, x7, 0x676f02d9u, 14) \
  VM_MD5_STEP_G(b, c, d, a, x12, 0x8d2a4c8au, 20)

#define VM_MD5_QUARTER_8 \
  VM_MD5_STEP(VM_MD5_H, a, b, c, d, x5, 0xfffa3942u, 4) \
  VM_MD5_STEP(VM_MD5_H, d, a, b, c, x8, 0x8771f681u, 11) \
  VM_MD5_STEP(VM_MD5_H, c, d, a, b, x11, 0x6d9d6122u, 16) \
  VM_MD5_STEP(VM_MD5_H, b, c, d, a, x14, 0xfde5380cu, 23)

#define VM_MD5_QUARTER_9 \
  VM_MD5_STEP(VM_MD5_H, a, b, c, d, x1, 0xa4beea44u, 4) \
  VM_MD5_STEP(VM_MD5_H, d, a, b, c, x4, 0x4bdecfa9u, 11) \
  VM_MD5_STEP(VM_MD5_H, c, d, a, b, x7, 0xf6bb4b60u, 16) \
  VM_MD5_STEP(VM_MD5_H, b, c, d, a, x10, 0xbebfbc70u, 23)

#define VM_MD5_QUARTER_10 \
  VM_MD5_STEP(VM_MD5_H, a, b, c, d, x13, 0x289b7ec6u, 4) \
  VM_MD5_STEP(VM_MD5_H, d, a, b, c, x0, 0xeaa127fau, 11) \
  VM_MD5_STEP(VM_MD5_H, c, d, a, b, x3, 0xd4ef3085u, 16) \
  VM_MD5_STEP(VM_MD5_H, b, c, d, a, x6, 0x04881d05u, 23)

#define VM_MD5_QUARTER_11 \
  VM_MD5_STEP(VM_MD5_H, a, b, c, d, x9, 0xd9d4d039u, 4) \
  VM_MD5_STEP(VM_MD5_H, d, a, b, c, x12, 0xe6db99e5u, 11) \
  VM_MD5_STEP(VM_MD5_H, c, d, a, b, x15, 0x1fa27cf8u, 16) \
  VM_MD5_STEP(VM_MD5_H, b, c, d, a, x2, 0xc4ac5665u, 23)

#define VM_MD5_QUARTER_12 \
  VM_MD5_STEP(VM_MD5_I, a, b, c, d, x0, 0xf4292244u, 6) \
  VM_MD5_STEP(VM_MD5_I, d, a, b, c, x7, 0x432aff97u, 10) \
  VM_MD5_STEP(VM_MD5_I, c, d, a, b, x14, 0xab9423a7u, 15) \
  VM_MD5_STEP(VM_MD5_I, b, c, d, a, x5, 0xfc93a039u, 21)

#define VM_MD5_QUARTER_13 \
  VM_MD5_STEP(VM_MD5_I, a, b, c, d, x12, 0x655b59c3u, 6) \
  VM_MD5_STEP(VM_MD5_I, d, a, b, c, x3, 0x8f0ccc92u, 10) \
  VM_MD5_STEP(VM_MD5_I, c, d, a, b, x10, 0xffeff47du, 15) \
  VM_MD5_STEP(VM_MD5_I, b, c, d, a, x1, 0x85845dd1u, 21)

#define VM_MD5_QUARTER_14 \
  VM_MD5_STEP(VM_MD5_I, a, b, c, d, x8, 0x6fa87e4fu, 6) \
  VM_MD5_STEP(VM_MD5_I, d, a, b, c, x15, 0xfe2ce6e0u, 10) \
  VM_MD5_STEP(VM_MD5_I, c, d, a, b, x6, 0xa3014314u, 15) \
  VM_MD5_STEP(VM_MD5_I, b, c, d, a, x13, 0x4e0811a1u, 21)

#define VM_MD5_QUARTER_15 \
  VM_MD5_STEP(VM_MD5_I, a, b, c, d, x4, 0xf7537e82u, 6) \
  VM_MD5_STEP(VM_MD5_I, d, a, b, c, x11, 0xbd3af235u, 10) \
  VM_MD5_STEP(VM_MD5_I, c, d, a, b, x2, 0x2ad7d2bbu, 15) \
  VM_MD5_STEP(VM_MD5_I, b, c, d, a, x9, 0xeb86d391u, 21)
