#include "crypto/der_reader.h"

#include <cstring>

bool DerElement::holds(const uint8_t* bytes, size_t count) const {
  return length == count && std::memcmp(contents, bytes, count) == 0;
}

bool DerReader::peekTag(uint8_t* tag) const {
  if (at_ == end_) return false;
  *tag = *at_;
  return true;
}

bool DerReader::read(uint8_t tag, DerElement* element) {
  const uint8_t* p = at_;
  if (end_ - p < 2 || p[0] != tag) return false;
  size_t length = p[1];
  p += 2;
  if (length & 0x80) {
    // Long form: 1 to 4 length bytes, no leading zero, and only for lengths of 128 up.
    const size_t count = length & 0x7f;
    if (count == 0 || count > 4 || size_t(end_ - p) < count || p[0] == 0) return false;
    length = 0;
    for (size_t i = 0; i < count; ++i) length = length << 8 | p[i];
    p += count;
    if (length < 0x80) return false;
  }
  if (size_t(end_ - p) < length) return false;
  element->tag = tag;
  element->contents = p;
  element->length = length;
  at_ = p + length;
  return true;
}
