// An ECDSA P-256 signature in its two usual forms: DER, as OpenSSL writes it
// (SEQUENCE { INTEGER r, INTEGER s }), and the 64 bytes r || s (32 big-endian bytes
// each) that BCrypt takes and the signature file holds.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using RawSignature = std::array<uint8_t, 64>;

// Strict DER: shortest lengths, positive integers without needless leading zeros,
// each at most 32 bytes and not zero, nothing after the sequence.
bool derToRawSignature(const uint8_t* der, size_t size, RawSignature* raw, std::string* reason);

std::vector<uint8_t> rawToDerSignature(const RawSignature& raw);
