// SHA-256's compression function with the x86 SHA extensions (SHA-NI): two rounds
// per sha256rnds2, the message schedule by sha256msg1/msg2 (sha256_rounds.h). Compiled
// for those instructions function by function, so the rest of the program runs on any
// x86-64; Sha256 calls it only after sha256HardwareAvailable() said yes.
#include "crypto/sha256_blocks.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>

#include "crypto/sha256_rounds.h"

VM_SHA256_TARGET void sha256BlocksHardware(uint32_t state[8], const uint8_t* data, size_t blocks) {
  __m128i abef, cdgh;
  sha256LoadState(state, &abef, &cdgh);
  for (; blocks != 0; --blocks, data += 64) {
    const __m128i abefBefore = abef, cdghBefore = cdgh;
    VM_SHA256_LOAD_MESSAGE(data)
    VM_SHA256_GROUP_0 VM_SHA256_GROUP_1 VM_SHA256_GROUP_2 VM_SHA256_GROUP_3
    VM_SHA256_GROUP_4 VM_SHA256_GROUP_5 VM_SHA256_GROUP_6 VM_SHA256_GROUP_7
    VM_SHA256_GROUP_8 VM_SHA256_GROUP_9 VM_SHA256_GROUP_10 VM_SHA256_GROUP_11
    VM_SHA256_GROUP_12 VM_SHA256_GROUP_13 VM_SHA256_GROUP_14 VM_SHA256_GROUP_15
    abef = _mm_add_epi32(abef, abefBefore);
    cdgh = _mm_add_epi32(cdgh, cdghBefore);
  }
  sha256StoreState(abef, cdgh, state);
}

bool sha256HardwareAvailable() {
  unsigned eax, ebx, ecx, edx;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
  const bool ssse3 = ecx & (1u << 9), sse41 = ecx & (1u << 19);
  if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) return false;
  const bool sha = ebx & (1u << 29);
  return ssse3 && sse41 && sha;
}

#else

void sha256BlocksHardware(uint32_t state[8], const uint8_t* data, size_t blocks) {
  sha256BlocksPortable(state, data, blocks);
}
bool sha256HardwareAvailable() { return false; }

#endif
