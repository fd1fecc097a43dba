// Bytes given in pieces of any length, handed on in whole 64-byte blocks: the part
// of MD5 and SHA-256 that both share. The start of a block not yet complete is kept
// until the next piece completes it; whole blocks go straight from the caller's
// buffer.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

class BlockBuffer {
 public:
  static constexpr size_t kBlock = 64;

  // Calls hashBlocks(const unsigned char* data, size_t blocks) for every whole block.
  template <typename HashBlocks>
  void add(const void* data, size_t length, HashBlocks&& hashBlocks) {
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    length_ += length;
    if (pendingLength_ != 0) {
      const size_t take = length < kBlock - pendingLength_ ? length : kBlock - pendingLength_;
      std::memcpy(pending_ + pendingLength_, bytes, take);
      pendingLength_ += take;
      bytes += take;
      length -= take;
      if (pendingLength_ < kBlock) return;
      hashBlocks(pending_, size_t{1});
      pendingLength_ = 0;
    }
    const size_t wholeBlocks = length / kBlock;
    if (wholeBlocks != 0) hashBlocks(bytes, wholeBlocks);
    pendingLength_ = length % kBlock;
    if (pendingLength_ != 0) std::memcpy(pending_, bytes + wholeBlocks * kBlock, pendingLength_);
  }

  const unsigned char* pending() const { return pending_; }
  size_t pendingLength() const { return pendingLength_; }
  uint64_t length() const { return length_; }  // bytes given in all
  void clear() {
    length_ = 0;
    pendingLength_ = 0;
  }

 private:
  uint64_t length_ = 0;
  unsigned char pending_[kBlock] = {};
  size_t pendingLength_ = 0;
};
