// Bytes as lower-case hexadecimal digits, two per byte, and back.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

std::string hexText(const uint8_t* bytes, size_t count);

// Exactly 2 * count lower-case digits into `bytes`; false for anything else.
bool parseLowerHex(const char* text, size_t length, uint8_t* bytes, size_t count);
