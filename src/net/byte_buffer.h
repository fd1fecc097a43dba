// A growable byte buffer on the C heap. The receive loop reads straight into its
// free tail, and a finished body can be handed to a caller who frees it with free(),
// so a download is never copied between the socket and the caller's buffer.
#pragma once
#include <cstddef>

class ByteBuffer {
 public:
  ByteBuffer() = default;
  ~ByteBuffer();
  ByteBuffer(const ByteBuffer&) = delete;
  ByteBuffer& operator=(const ByteBuffer&) = delete;

  const char* data() const { return bytes_; }
  char* data() { return bytes_; }
  size_t size() const { return size_; }
  size_t capacity() const { return capacity_; }
  bool empty() const { return size_ == 0; }

  // Makes room for at least `extra` more bytes; throws std::bad_alloc on failure.
  void reserveExtra(size_t extra);
  // Like reserveExtra, but reports failure instead of throwing (for size hints).
  bool tryReserveTotal(size_t total);
  // The free tail after the stored bytes, capacity() - size() bytes long.
  char* tail() { return bytes_ + size_; }
  // Counts `count` bytes written into tail() as stored.
  void commit(size_t count);
  void append(const char* bytes, size_t count);
  void clear() { size_ = 0; }
  // Keeps the first `count` bytes.
  void truncate(size_t count) {
    if (count < size_) size_ = count;
  }
  // Empties the buffer and gives its memory back.
  void release();

  // Hands over the bytes from `offset` to the end as a malloc'd block of exactly that
  // length (at least one byte is allocated, so an empty body is still a block). The
  // buffer is left empty. Throws std::bad_alloc if no block can be had.
  char* detachFrom(size_t offset, size_t* length);

 private:
  bool grow(size_t total);

  char* bytes_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
};
