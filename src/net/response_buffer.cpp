#include "net/response_buffer.h"

#include <cstring>

namespace {

const char kName[] = "content-length:";
// A longer announced length is not taken as a hint at all.
const size_t kLargestAnnouncedBody = size_t{1} << 30;
// Growth step while the header block arrives.
const size_t kHeadStep = 4096;
// Room for an announced body is taken as the data comes: at most this much...
const size_t kRoomFloor = size_t{8} << 20;
// ...plus this many times the bytes received. Large steps keep the bytes moved while
// growing few (about 1/32 of a large body, moved once), which matters because every
// byte moved lands on a page touched for the first time.
const size_t kRoomPerByteReceived = 32;
// Bodies from this size on have their pages touched ahead of the reads...
const size_t kWarmFrom = size_t{4} << 20;
// ...but never further ahead than this.
const size_t kWarmAhead = size_t{16} << 20;

size_t roomAllowedFor(size_t received) {
  if (received > (static_cast<size_t>(-1) - kRoomFloor) / kRoomPerByteReceived)
    return static_cast<size_t>(-1);
  return kRoomFloor + kRoomPerByteReceived * received;
}

bool startsWithNoCase(const char* text, size_t size, const char* lowerPrefix) {
  size_t n = std::strlen(lowerPrefix);
  if (size < n) return false;
  for (size_t i = 0; i < n; ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lowerPrefix[i]) return false;
  }
  return true;
}

}  // namespace

bool announcedLength(const char* block, size_t size, size_t* length) {
  for (size_t line = 0; line < size;) {
    const char* end = static_cast<const char*>(std::memchr(block + line, '\n', size - line));
    size_t lineEnd = end ? static_cast<size_t>(end - block) : size;
    if (startsWithNoCase(block + line, lineEnd - line, kName)) {
      size_t i = line + sizeof(kName) - 1;
      while (i < lineEnd && (block[i] == ' ' || block[i] == '\t')) ++i;
      size_t value = 0;
      size_t digits = 0;
      for (; i < lineEnd && block[i] >= '0' && block[i] <= '9'; ++i, ++digits) {
        const size_t digit = static_cast<size_t>(block[i] - '0');
        value = value > (static_cast<size_t>(-1) - digit) / 10 ? static_cast<size_t>(-1)
                                                                : value * 10 + digit;
      }
      *length = value;
      return digits > 0;
    }
    line = lineEnd + 1;
  }
  return false;
}

size_t announcedBodyLength(const char* block, size_t size) {
  size_t length = 0;
  if (!announcedLength(block, size, &length) || length > kLargestAnnouncedBody) return 0;
  return length;
}

char* ResponseBuffer::prepare(size_t limit, size_t* room) {
  if (split_) {
    growBody(limit);
  } else if (head_.capacity() - head_.size() < limit) {
    head_.reserveExtra(limit < kHeadStep ? limit : kHeadStep);
  }
  ByteBuffer& target = split_ ? body_ : head_;
  const size_t free = target.capacity() - target.size();
  *room = free < limit ? free : limit;
  if (split_ && warmer_.running()) warmer_.claim(body_.size() - warmedFrom_, *room);
  return target.tail();
}

void ResponseBuffer::growBody(size_t limit) {
  const size_t received = body_.size();
  const size_t whole = announced_ + 1;  // one byte more, for the read that sees the close
  if (announced_ > 0 && body_.capacity() < whole) {
    const size_t allowed = roomAllowedFor(received) < whole ? roomAllowedFor(received) : whole;
    // Moved when full, or at once when the whole announced body may be had: the
    // sooner that block is taken, the fewer bytes move into it.
    if (allowed > body_.capacity() && (received == body_.capacity() || allowed == whole)) {
      warmer_.stop();  // the block moves
      if (body_.tryReserveTotal(allowed)) warmBody();
    }
  }
  if (body_.capacity() == received) {  // past the announced length, or none announced
    warmer_.stop();
    body_.reserveExtra(limit);
  }
}

void ResponseBuffer::warmBody() {
  if (announced_ < kWarmFrom || body_.capacity() == body_.size()) return;
  warmedFrom_ = body_.size();
  warmer_.start(body_.tail(), body_.capacity() - body_.size(), kWarmAhead);
}

void ResponseBuffer::commit(size_t count) {
  if (split_) {
    body_.commit(count);
  } else {
    head_.commit(count);
    splitAtEmptyLine();
  }
  if (split_) checkComplete();
}

void ResponseBuffer::checkComplete() {
  if (chunked_) {
    complete_ = chunkedEnd_.reached(body_.data(), body_.size());
  } else if (lengthKnown_ && body_.size() >= length_) {
    body_.truncate(length_);  // what follows is no part of this response
    complete_ = true;
  }
}

void ResponseBuffer::splitAtEmptyLine() {
  // Resume three bytes back, so an empty line split across two reads is found.
  const char* data = head_.data();
  size_t at = searched_ >= 3 ? searched_ - 3 : 0;
  while (at + 4 <= head_.size() && std::memcmp(data + at, "\r\n\r\n", 4) != 0) ++at;
  if (at + 4 > head_.size()) {
    searched_ = head_.size();
    return;
  }
  const size_t header = at + 4;
  split_ = true;
  chunked_ = isChunkedTransfer(data, header);
  lengthKnown_ = !chunked_ && announcedLength(data, header, &length_);
  announced_ = announcedBodyLength(data, header);
  const size_t early = head_.size() - header;
  if (announced_ > 0) {
    const size_t whole = announced_ + 1;
    body_.tryReserveTotal(roomAllowedFor(early) < whole ? roomAllowedFor(early) : whole);
  }
  body_.append(data + header, early);
  head_.truncate(header);
  warmBody();
}

void ResponseBuffer::clear() {
  warmer_.stop();
  head_.release();
  body_.release();
  split_ = false;
  searched_ = 0;
  announced_ = 0;
  chunked_ = false;
  lengthKnown_ = false;
  length_ = 0;
  chunkedEnd_ = ChunkedBodyEnd();
  complete_ = false;
}

std::string ResponseBuffer::headerBlock() const {
  return std::string(head_.data() ? head_.data() : "", head_.size());
}

std::string ResponseBuffer::body() const {
  return std::string(body_.data() ? body_.data() : "", body_.size());
}

bool ResponseBuffer::decodeTransferCoding() {
  if (!split_ || !isChunkedTransfer(head_.data(), head_.size())) return true;
  warmer_.stop();
  size_t decoded = 0;
  if (!decodeChunkedBody(body_.data(), body_.size(), &decoded)) return false;
  body_.truncate(decoded);
  return true;
}

bool ResponseBuffer::bodyCutShort() const {
  if (!split_ || isChunkedTransfer(head_.data(), head_.size())) return false;
  size_t length = 0;
  return announcedLength(head_.data(), head_.size(), &length) && body_.size() < length;
}

char* ResponseBuffer::takeBody(size_t* length) {
  warmer_.stop();
  char* block = body_.detachFrom(0, length);
  clear();
  return block;
}
