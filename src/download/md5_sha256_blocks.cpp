#include "download/md5_sha256_blocks.h"

#include "crypto/sha256_blocks.h"
#include "crypto/sha256_rounds.h"
#include "download/md5_blocks.h"
#include "download/md5_rounds.h"

#if defined(__x86_64__) || defined(__i386__)

bool md5Sha256BlocksAvailable() { return sha256HardwareAvailable(); }

// A quarter of MD5's steps, then a group of SHA-256's rounds, sixteen times a block:
// close enough together for the processor to run the two chains side by side.
VM_SHA256_TARGET void md5Sha256Blocks(uint32_t md5State[4], uint32_t sha256State[8], const unsigned char* p,
                                      size_t blocks) {
  uint32_t a = md5State[0], b = md5State[1], c = md5State[2], d = md5State[3];
  __m128i abef, cdgh;
  sha256LoadState(sha256State, &abef, &cdgh);
  for (; blocks != 0; --blocks, p += 64) {
    VM_MD5_LOAD_WORDS(p)
    VM_SHA256_LOAD_MESSAGE(p)
    const uint32_t aa = a, bb = b, cc = c, dd = d;
    const __m128i abefBefore = abef, cdghBefore = cdgh;
    VM_MD5_QUARTER_0 VM_SHA256_GROUP_0 VM_MD5_QUARTER_1 VM_SHA256_GROUP_1
    VM_MD5_QUARTER_2 VM_SHA256_GROUP_2 VM_MD5_QUARTER_3 VM_SHA256_GROUP_3
    VM_MD5_QUARTER_4 VM_SHA256_GROUP_4 VM_MD5_QUARTER_5 VM_SHA256_GROUP_5
    VM_MD5_QUARTER_6 VM_SHA256_GROUP_6 VM_MD5_QUARTER_7 VM_SHA256_GROUP_7
    VM_MD5_QUARTER_8 VM_SHA256_GROUP_8 VM_MD5_QUARTER_9 VM_SHA256_GROUP_9
    VM_MD5_QUARTER_10 VM_SHA256_GROUP_10 VM_MD5_QUARTER_11 VM_SHA256_GROUP_11
    VM_MD5_QUARTER_12 VM_SHA256_GROUP_12 VM_MD5_QUARTER_13 VM_SHA256_GROUP_13
    VM_MD5_QUARTER_14 VM_SHA256_GROUP_14 VM_MD5_QUARTER_15 VM_SHA256_GROUP_15
    a += aa;
    b += bb;
    c += cc;
    d += dd;
    abef = _mm_add_epi32(abef, abefBefore);
    cdgh = _mm_add_epi32(cdgh, cdghBefore);
  }
  md5State[0] = a;
  md5State[1] = b;
  md5State[2] = c;
  md5State[3] = d;
  sha256StoreState(abef, cdgh, sha256State);
}

#else

bool md5Sha256BlocksAvailable() { return false; }

void md5Sha256Blocks(uint32_t md5State[4], uint32_t sha256State[8], const unsigned char* data, size_t blocks) {
  md5Blocks(md5State, data, blocks);
  sha256Blocks(sha256State, data, blocks);
}

#endif
