// Reads DER (the binary form of ASN.1 that keys and signatures travel in) one element
// at a time. Only the definite, shortest-form lengths DER allows are taken.
#pragma once
#include <cstddef>
#include <cstdint>

struct DerElement {
  uint8_t tag = 0;
  const uint8_t* contents = nullptr;
  size_t length = 0;

  bool holds(const uint8_t* bytes, size_t count) const;
};

class DerReader {
 public:
  DerReader(const uint8_t* data, size_t size) : at_(data), end_(data + size) {}
  explicit DerReader(const DerElement& element) : DerReader(element.contents, element.length) {}

  // The next element; false when it is malformed, runs past the end, or has another tag.
  bool read(uint8_t tag, DerElement* element);
  bool peekTag(uint8_t* tag) const;
  bool atEnd() const { return at_ == end_; }

 private:
  const uint8_t* at_;
  const uint8_t* end_;
};

namespace der {
constexpr uint8_t kInteger = 0x02;
constexpr uint8_t kBitString = 0x03;
constexpr uint8_t kOctetString = 0x04;
constexpr uint8_t kObjectId = 0x06;
constexpr uint8_t kSequence = 0x30;
}  // namespace der
