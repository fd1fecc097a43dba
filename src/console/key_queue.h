// A screen's key queue: a ring of 256 bytes that holds at most 255 keys, because
// it counts as full when the write index is one behind the read index.
#pragma once
#include <cstdint>

struct KeyQueue {
  std::uint8_t keys[256] = {};
  std::uint8_t read = 0;
  std::uint8_t write = 0;

  bool empty() const { return read == write; }
  bool full() const { return static_cast<std::uint8_t>(write + 1) == read; }

  // A key that finds the queue full is dropped.
  bool push(std::uint8_t key) {
    if (full()) return false;
    keys[write++] = key;
    return true;
  }

  // The next key, or 0 when the queue is empty.
  std::uint8_t pop() {
    if (empty()) return 0;
    return keys[read++];
  }
};
