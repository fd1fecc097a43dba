// Decimal numbers of the install manifest, read the way the C library reads them.
#pragma once
#include <cstdint>

// Leading white space, an optional sign, then digits up to the first other character;
// 0 when there are none. Values beyond the 64-bit range are clamped to it.
int64_t parseDecimal64(const char* text);

// The same, clamped to the signed 32-bit range.
int32_t parseDecimal32(const char* text);

// A file's size by the same rules, unclamped: false when it is negative or does not
// fit in 64 bits.
bool parseFileSize(const char* text, int64_t* size);
