#include "crypto/base64.h"

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The 6-bit value of a character, or -1.
int sextet(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

std::string base64Encode(const void* data, size_t length) {
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  std::string text;
  text.reserve((length + 2) / 3 * 4);
  for (size_t i = 0; i < length; i += 3) {
    const size_t left = length - i;
    const uint32_t group = uint32_t(bytes[i]) << 16 | (left > 1 ? uint32_t(bytes[i + 1]) << 8 : 0) |
                           (left > 2 ? bytes[i + 2] : 0);
    text += kAlphabet[group >> 18];
    text += kAlphabet[(group >> 12) & 63];
    text += left > 1 ? kAlphabet[(group >> 6) & 63] : '=';
    text += left > 2 ? kAlphabet[group & 63] : '=';
  }
  return text;
}

bool base64Decode(const std::string& text, std::vector<uint8_t>* bytes) {
  bytes->clear();
  if (text.size() % 4 != 0) return false;
  bytes->reserve(text.size() / 4 * 3);
  for (size_t i = 0; i < text.size(); i += 4) {
    const bool last = i + 4 == text.size();
    const size_t padding = last ? (text[i + 3] == '=') + (text[i + 2] == '=' && text[i + 3] == '=') : 0;
    uint32_t group = 0;
    for (size_t j = 0; j < 4 - padding; ++j) {
      const int value = sextet(text[i + j]);
      if (value < 0) return false;
      group = group << 6 | uint32_t(value);
    }
    group <<= 6 * padding;
    // The bits that padding leaves over must be zero.
    if ((padding == 1 && (group & 0xff)) || (padding == 2 && (group & 0xffff))) return false;
    bytes->push_back(static_cast<uint8_t>(group >> 16));
    if (padding < 2) bytes->push_back(static_cast<uint8_t>(group >> 8));
    if (padding < 1) bytes->push_back(static_cast<uint8_t>(group));
  }
  return true;
}
