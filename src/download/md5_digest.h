// MD5 (RFC 1321) digest text: 32 lower-case hexadecimal digits and a terminating zero.
#pragma once
#include <cstdint>

void digestText(const void* data, uint32_t length, char out[33]);
