// SHA-256 with the x86 SHA extensions, as pieces for the block functions that use
// them: SHA-256 alone (sha256_hardware.cpp) and stitched with MD5
// (download/md5_sha256_blocks.cpp). The instructions keep the state as ABEF and CDGH;
// a block's message words are w0 to w3 (VM_SHA256_LOAD_MESSAGE). Only for code
// compiled with VM_SHA256_TARGET and run after sha256HardwareAvailable().
#pragma once
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#include <cstdint>

#include "crypto/sha256_constants.h"

#define VM_SHA256_TARGET __attribute__((target("sha,sse4.1,ssse3")))

// The state a to h into the instructions' ABEF and CDGH, and back.
VM_SHA256_TARGET inline void sha256LoadState(const uint32_t state[8], __m128i* abef, __m128i* cdgh) {
  const __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state));
  const __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4));
  const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
  const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
  *abef = _mm_alignr_epi8(cdab, efgh, 8);
  *cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);
}

VM_SHA256_TARGET inline void sha256StoreState(__m128i abef, __m128i cdgh, uint32_t state[8]) {
  const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
  const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}

// The block's 16 message words, big-endian, as w0 to w3.
#define VM_SHA256_LOAD_MESSAGE(p)                                                                        \
  const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bll, 0x0405060700010203ll);                   \
  __m128i w0 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), byteSwap);         \
  __m128i w1 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p) + 1), byteSwap);     \
  __m128i w2 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p) + 2), byteSwap);     \
  __m128i w3 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p) + 3), byteSwap);

// Four rounds of group G (0 to 15) on the message words in CUR; the schedule meanwhile
// makes NEXT's words from CUR and PREV (groups 3 to 14) and starts on PREV (groups 1
// to 12).
#define VM_SHA256_GROUP(G, CUR, PREV, NEXT)                                                    \
  {                                                                                            \
    __m128i words = _mm_add_epi32(CUR, _mm_load_si128(reinterpret_cast<const __m128i*>(        \
                                          kSha256RoundConstants + 4 * (G))));                  \
    cdgh = _mm_sha256rnds2_epu32(cdgh, abef, words);                                           \
    if ((G) >= 3 && (G) <= 14)                                                                 \
      NEXT = _mm_sha256msg2_epu32(_mm_add_epi32(NEXT, _mm_alignr_epi8(CUR, PREV, 4)), CUR);    \
    abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(words, 0x0E));                  \
    if ((G) >= 1 && (G) <= 12) PREV = _mm_sha256msg1_epu32(PREV, CUR);                        \
  }

// The message words each group works on: the four rotate.
#define VM_SHA256_GROUP_0 VM_SHA256_GROUP(0, w0, w3, w1)
#define VM_SHA256_GROUP_1 VM_SHA256_GROUP(1, w1, w0, w2)
#define VM_SHA256_GROUP_2 VM_SHA256_GROUP(2, w2, w1, w3)
#define VM_SHA256_GROUP_3 VM_SHA256_GROUP(3, w3, w2, w0)
#define VM_SHA256_GROUP_4 VM_SHA256_GROUP(4, w0, w3, w1)
#define VM_SHA256_GROUP_5 VM_SHA256_GROUP(5, w1, w0, w2)
#define VM_SHA256_GROUP_6 VM_SHA256_GROUP(6, w2, w1, w3)
#define VM_SHA256_GROUP_7 VM_SHA256_GROUP(7, w3, w2, w0)
#define VM_SHA256_GROUP_8 VM_SHA256_GROUP(8, w0, w3, w1)
#define VM_SHA256_GROUP_9 VM_SHA256_GROUP(9, w1, w0, w2)
#define VM_SHA256_GROUP_10 VM_SHA256_GROUP(10, w2, w1, w3)
#define VM_SHA256_GROUP_11 VM_SHA256_GROUP(11, w3, w2, w0)
#define VM_SHA256_GROUP_12 VM_SHA256_GROUP(12, w0, w3, w1)
#define VM_SHA256_GROUP_13 VM_SHA256_GROUP(13, w1, w0, w2)
#define VM_SHA256_GROUP_14 VM_SHA256_GROUP(14, w2, w1, w3)
#define VM_SHA256_GROUP_15 VM_SHA256_GROUP(15, w3, w2, w0)

#endif
