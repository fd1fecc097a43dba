#include "download/md5_reference.h"

#include <cmath>
#include <cstdint>
#include <vector>

std::string referenceMd5Hex(const unsigned char* data, size_t length) {
  static const int shifts[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                                 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                                 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                                 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};
  uint32_t constants[64];
  for (int i = 0; i < 64; ++i)
    constants[i] = static_cast<uint32_t>(std::floor(std::fabs(std::sin(i + 1.0)) * 4294967296.0));

  std::vector<unsigned char> message(data, data + length);
  message.push_back(0x80);
  while (message.size() % 64 != 56) message.push_back(0);
  const uint64_t bits = static_cast<uint64_t>(length) * 8;
  for (int i = 0; i < 8; ++i) message.push_back(static_cast<unsigned char>(bits >> (8 * i)));

  uint32_t h[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
  for (size_t block = 0; block < message.size(); block += 64) {
    uint32_t m[16];
    for (int i = 0; i < 16; ++i) {
      const unsigned char* p = &message[block + 4 * i];
      m[i] = p[0] | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
    }
    uint32_t a = h[0], b = h[1], c = h[2], d = h[3];
    for (int i = 0; i < 64; ++i) {
      uint32_t f;
      int g;
      if (i < 16) {
        f = (b & c) | (~b & d);
        g = i;
      } else if (i < 32) {
        f = (d & b) | (~d & c);
        g = (5 * i + 1) % 16;
      } else if (i < 48) {
        f = b ^ c ^ d;
        g = (3 * i + 5) % 16;
      } else {
        f = c ^ (b | ~d);
        g = (7 * i) % 16;
      }
      const uint32_t sum = a + f + constants[i] + m[g];
      a = d;
      d = c;
      c = b;
      b = b + ((sum << shifts[i]) | (sum >> (32 - shifts[i])));
    }
    h[0] += a;
    h[1] += b;
    h[2] += c;
    h[3] += d;
  }

  static const char hex[] = "0123456789abcdef";
  std::string text;
  for (uint32_t word : h)
    for (int byte = 0; byte < 4; ++byte) {
      const unsigned v = (word >> (8 * byte)) & 0xff;
      text += hex[v >> 4];
      text += hex[v & 15];
    }
  return text;
}
