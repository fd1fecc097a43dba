// A deliberately plain MD5, written from RFC 1321's description as a loop over the
// 64 steps with the sine-derived constants computed at run time. It shares no code
// with the product's digest and serves as an independent check where no md5sum
// program can be run (under Wine).
#pragma once
#include <string>

std::string referenceMd5Hex(const unsigned char* data, size_t length);
