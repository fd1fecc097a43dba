#include "net/byte_buffer.h"

#include <cstdlib>
#include <cstring>
#include <new>

ByteBuffer::~ByteBuffer() { std::free(bytes_); }

bool ByteBuffer::grow(size_t total) {
  if (total <= capacity_) return true;
  char* moved = static_cast<char*>(std::realloc(bytes_, total));
  if (!moved) return false;
  bytes_ = moved;
  capacity_ = total;
  return true;
}

void ByteBuffer::reserveExtra(size_t extra) {
  if (capacity_ - size_ >= extra) return;
  if (extra > static_cast<size_t>(-1) - size_) throw std::bad_alloc();
  // Grows by half again, so a body of unknown length is moved O(log n) times and
  // never needs more than about 2.5 times its size while it is moved.
  size_t wanted = capacity_ + capacity_ / 2;
  if (wanted < size_ + extra) wanted = size_ + extra;
  if (!grow(wanted) && !grow(size_ + extra)) throw std::bad_alloc();
}

bool ByteBuffer::tryReserveTotal(size_t total) { return grow(total); }

void ByteBuffer::commit(size_t count) {
  // Never counts bytes past the memory that holds them.
  if (count > capacity_ - size_) count = capacity_ - size_;
  size_ += count;
}

void ByteBuffer::append(const char* bytes, size_t count) {
  if (count == 0) return;
  reserveExtra(count);
  std::memcpy(bytes_ + size_, bytes, count);
  size_ += count;
}

void ByteBuffer::release() {
  std::free(bytes_);
  bytes_ = nullptr;
  size_ = 0;
  capacity_ = 0;
}

char* ByteBuffer::detachFrom(size_t offset, size_t* length) {
  if (offset > size_) offset = size_;
  const size_t bodyLength = size_ - offset;
  char* block = bytes_;
  if (!block) {
    block = static_cast<char*>(std::malloc(1));
    if (!block) throw std::bad_alloc();
  } else {
    // The body moves to the front of the block it already lies in: no second block of
    // the body's size is ever needed.
    if (offset > 0) std::memmove(block, block + offset, bodyLength);
    // Large slack is given back; a little is kept, as shrinking may move the block.
    const size_t slack = capacity_ - bodyLength;
    if (slack > 4096 && slack > bodyLength / 8) {
      char* fitted = static_cast<char*>(std::realloc(block, bodyLength > 0 ? bodyLength : 1));
      if (fitted) block = fitted;
    }
  }
  bytes_ = nullptr;
  size_ = 0;
  capacity_ = 0;
  *length = bodyLength;
  return block;
}
