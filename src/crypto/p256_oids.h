// The object identifiers of an ECDSA P-256 key, contents only (after tag and length):
// id-ecPublicKey (1.2.840.10045.2.1) and the curve P-256, also called prime256v1
// (1.2.840.10045.3.1.7).
#pragma once
#include <cstdint>

inline constexpr uint8_t kEcPublicKeyOid[] = {0x2a, 0x86, 0x48, 0xce, 0x3d, 0x02, 0x01};
inline constexpr uint8_t kCurveP256Oid[] = {0x2a, 0x86, 0x48, 0xce, 0x3d, 0x03, 0x01, 0x07};
