// SHA-256's compression function in plain C++, for processors without SHA
// instructions. The 16-word message schedule is kept in a ring, rounds unrolled by 8
// so that the working variables rotate by name instead of by copying.
#include <cstring>

#include "crypto/sha256_blocks.h"
#include "crypto/sha256_constants.h"

namespace {

inline uint32_t rotr(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

inline uint32_t loadBigEndian(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

// The schedule word for round t (t >= 16), written back into the ring.
inline uint32_t scheduleWord(uint32_t w[16], int t) {
  const uint32_t w15 = w[(t - 15) & 15], w2 = w[(t - 2) & 15];
  const uint32_t s0 = rotr(w15, 7) ^ rotr(w15, 18) ^ (w15 >> 3);
  const uint32_t s1 = rotr(w2, 17) ^ rotr(w2, 19) ^ (w2 >> 10);
  return w[t & 15] += s1 + w[(t - 7) & 15] + s0;
}

#define VM_SHA256_ROUND(a, b, c, d, e, f, g, h, t, word)                         \
  {                                                                              \
    const uint32_t t1 = h + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) +           \
                        (g ^ (e & (f ^ g))) + kSha256RoundConstants[t] + (word);       \
    const uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) +               \
                        ((a & b) | (c & (a | b)));                               \
    d += t1;                                                                     \
    h = t1 + t2;                                                                 \
  }

#define VM_SHA256_EIGHT(t, WORD)                       \
  VM_SHA256_ROUND(a, b, c, d, e, f, g, h, t + 0, WORD(t + 0)) \
  VM_SHA256_ROUND(h, a, b, c, d, e, f, g, t + 1, WORD(t + 1)) \
  VM_SHA256_ROUND(g, h, a, b, c, d, e, f, t + 2, WORD(t + 2)) \
  VM_SHA256_ROUND(f, g, h, a, b, c, d, e, t + 3, WORD(t + 3)) \
  VM_SHA256_ROUND(e, f, g, h, a, b, c, d, t + 4, WORD(t + 4)) \
  VM_SHA256_ROUND(d, e, f, g, h, a, b, c, t + 5, WORD(t + 5)) \
  VM_SHA256_ROUND(c, d, e, f, g, h, a, b, t + 6, WORD(t + 6)) \
  VM_SHA256_ROUND(b, c, d, e, f, g, h, a, t + 7, WORD(t + 7))

}  // namespace

void sha256BlocksPortable(uint32_t state[8], const uint8_t* data, size_t blocks) {
  for (; blocks != 0; --blocks, data += 64) {
    uint32_t w[16];
    for (int i = 0; i < 16; ++i) w[i] = loadBigEndian(data + 4 * i);
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
#define VM_LOADED(t) w[t]
#define VM_SCHEDULED(t) scheduleWord(w, t)
    VM_SHA256_EIGHT(0, VM_LOADED)
    VM_SHA256_EIGHT(8, VM_LOADED)
    for (int t = 16; t < 64; t += 8) {
      VM_SHA256_EIGHT(t, VM_SCHEDULED)
    }
#undef VM_LOADED
#undef VM_SCHEDULED
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
    state[5] += f;
    state[6] += g;
    state[7] += h;
  }
}
