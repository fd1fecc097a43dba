// The block functions behind Sha256: each hashes whole 64-byte blocks into the state
// (a to h). Exposed so that tests can hold the two against each other.
#pragma once
#include <cstddef>
#include <cstdint>

void sha256BlocksPortable(uint32_t state[8], const uint8_t* data, size_t blocks);

// Only on x86 processors that have the SHA extensions (sha256HardwareAvailable).
void sha256BlocksHardware(uint32_t state[8], const uint8_t* data, size_t blocks);
bool sha256HardwareAvailable();
