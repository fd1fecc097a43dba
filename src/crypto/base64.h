// Base64 with the standard alphabet and "=" padding (RFC 4648), as PEM files and
// HTTP Basic authentication write it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

std::string base64Encode(const void* data, size_t length);

// Strict: false for a character outside the alphabet (line breaks included), a
// length that is not a multiple of 4, padding anywhere but at the end, or padding
// bits that are not zero, so that each byte string has exactly one text.
bool base64Decode(const std::string& text, std::vector<uint8_t>* bytes);
