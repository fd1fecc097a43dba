#include "net/response_buffer.h"

#include <cstring>

#include "net/ascii_text.h"

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

// An announced length as a hint for room: none for one too large to be taken.
size_t roomHint(uint64_t length) { return length > kLargestAnnouncedBody ? 0 : static_cast<size_t>(length); }

size_t roomAllowedFor(size_t received) {
  if (received > (static_cast<size_t>(-1) - kRoomFloor) / kRoomPerByteReceived)
    return static_cast<size_t>(-1);
  return kRoomFloor + kRoomPerByteReceived * received;
}

}  // namespace

bool announcedLength(const char* block, size_t size, uint64_t* length) {
  for (size_t line = 0; line < size;) {
    const char* end = static_cast<const char*>(std::memchr(block + line, '\n', size - line));
    size_t lineEnd = end ? static_cast<size_t>(end - block) : size;
    if (startsWithNoCase(block + line, lineEnd - line, kName)) {
      size_t i = line + sizeof(kName) - 1;
      while (i < lineEnd && (block[i] == ' ' || block[i] == '\t')) ++i;
      uint64_t value = 0;
      size_t digits = 0;
      for (; i < lineEnd && block[i] >= '0' && block[i] <= '9'; ++i, ++digits) {
        const uint64_t digit = static_cast<uint64_t>(block[i] - '0');
        value = value > (UINT64_MAX - digit) / 10 ? UINT64_MAX : value * 10 + digit;
      }
      *length = value;
      return digits > 0;
    }
    line = lineEnd + 1;
  }
  return false;
}

size_t announcedBodyLength(const char* block, size_t size) {
  uint64_t length = 0;
  return announcedLength(block, size, &length) ? roomHint(length) : 0;
}

char* ResponseBuffer::prepare(size_t limit, size_t* room) {
  if (split_ && sink_) {
    // One block, passed on and emptied after every read.
    if (body_.capacity() < limit) body_.reserveExtra(limit);
    *room = limit;
    return body_.data();
  }
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
  if (split_ && sink_) {
    passOn(count);
    return;
  }
  if (split_) {
    body_.commit(count);
  } else {
    head_.commit(count);
    splitAtEmptyLine();
  }
  if (split_ && !sink_) checkComplete();
}

// The response's head is in: the sink says what becomes of its body, and the bytes
// that came with the head go the way of the body.
void ResponseBuffer::startStream() {
  take_ = sink_->headArrived(headerBlock());
  const size_t early = body_.size();
  body_.clear();
  if (take_ == BodySink::Take::stop) {
    sinkStopped_ = complete_ = true;
    return;
  }
  passOn(early);
}

// `count` bytes of body at the start of the block: up to the announced length, decoded
// from chunked coding, they go to the sink (or nowhere, when the body is skipped).
void ResponseBuffer::passOn(size_t count) {
  if (lengthKnown_ && count > length_ - streamed_) count = static_cast<size_t>(length_ - streamed_);
  streamed_ += count;
  size_t data = count;
  if (chunked_) data = decoder_.decode(body_.data(), count);
  if (take_ == BodySink::Take::body && data > 0 && !sink_->bodyArrived(body_.data(), data))
    sinkStopped_ = true;
  body_.clear();
  complete_ = sinkStopped_ || (chunked_ ? decoder_.done() || decoder_.malformed()
                                        : lengthKnown_ && streamed_ == length_);
}

bool ResponseBuffer::streamedWhole() const {
  if (chunked_) return decoder_.done();
  return !lengthKnown_ || streamed_ == length_;
}

void ResponseBuffer::checkComplete() {
  if (chunked_) {
    complete_ = chunkedEnd_.reached(body_.data(), body_.size());
  } else if (lengthKnown_ && body_.size() >= length_) {
    body_.truncate(static_cast<size_t>(length_));  // what follows is no part of this response
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
  uint64_t length = 0;
  const bool lengthGiven = announcedLength(data, header, &length);
  lengthKnown_ = !chunked_ && lengthGiven;
  if (lengthKnown_) length_ = length;
  announced_ = lengthGiven ? roomHint(length) : 0;
  const size_t early = head_.size() - header;
  if (sink_) {
    body_.append(data + header, early);
    head_.truncate(header);
    startStream();
    return;
  }
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
  take_ = BodySink::Take::body;
  streamed_ = 0;
  sinkStopped_ = false;
  decoder_ = ChunkedDecoder();
}

std::string ResponseBuffer::headerBlock() const {
  return std::string(head_.data() ? head_.data() : "", head_.size());
}

std::string ResponseBuffer::body() const {
  return std::string(body_.data() ? body_.data() : "", body_.size());
}

bool ResponseBuffer::decodeTransferCoding() {
  if (!chunked_) return true;
  warmer_.stop();
  size_t decoded = 0;
  if (!decodeChunkedBody(body_.data(), body_.size(), &decoded)) return false;
  body_.truncate(decoded);
  return true;
}

bool ResponseBuffer::bodyCutShort() const {
  return lengthKnown_ && body_.size() < length_;
}

char* ResponseBuffer::takeBody(size_t* length) {
  warmer_.stop();
  char* block = body_.detachFrom(0, length);
  clear();
  return block;
}
