// A response as it arrives, kept in two parts: the header block (up to and including
// the first empty line) and the body. Once the empty line has arrived, reads go
// straight into the body's own block, which can be handed to the caller as it is.
// The body is complete at its announced Content-Length, or at the last chunk of a
// chunked one, even if the server keeps the connection open; bytes past the announced
// length are no part of it. Without either, the body ends where the connection
// closes. The server's word alone never buys memory: the body's block grows with the
// data that arrives, up to the announced length, and the pages of a large one are
// touched on a helper thread a bounded distance ahead of the reads. Given a sink, the
// buffer keeps the header block only and passes each body on as it arrives, through
// one small block: memory then stays the same whatever the body's length.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "net/body_sink.h"
#include "net/byte_buffer.h"
#include "net/chunked_body.h"
#include "net/page_warmer.h"

class ResponseBuffer {
 public:
  // Room for the next read of at most `limit` bytes; *room gets its size (at least 1
  // when limit is at least 1). Throws std::bad_alloc when no room can be had.
  char* prepare(size_t limit, size_t* room);
  // Counts `count` bytes read into the prepared room.
  void commit(size_t count);
  // True once the body is complete (above): nothing more needs to be read.
  bool complete() const { return complete_; }

  size_t size() const { return head_.size() + body_.size(); }
  bool empty() const { return size() == 0; }
  // The bytes of the response taken so far, header block included, also those that
  // went to a sink.
  uint64_t received() const { return head_.size() + (sink_ ? streamed_ : body_.size()); }
  // Forgets everything and gives the memory back (a sink stays).
  void clear();

  // The bodies of the responses read from now on go to `sink` (nullptr: kept again).
  void streamBodiesTo(BodySink* sink) { sink_ = sink; }
  bool streaming() const { return sink_ != nullptr; }
  // With a sink: the sink ended the receive (it asked to stop, or could not keep bytes).
  bool stoppedBySink() const { return sinkStopped_; }
  // With a sink: the body arrived whole. False when the connection closed before the
  // announced length or the last chunk, or when the chunked coding broke its rules
  // (malformedCoding tells which).
  bool streamedWhole() const;
  bool malformedCoding() const { return decoder_.malformed(); }

  // Without an empty line, everything received is header block and there is no body.
  std::string headerBlock() const;
  std::string body() const;
  size_t bodySize() const { return body_.size(); }
  // Decodes a body sent in chunked transfer coding, in its own block; any other body
  // stays as received. False when the chunked coding is malformed or cut short.
  bool decodeTransferCoding();
  // True when the header block announces a Content-Length (and no chunked coding)
  // that the body falls short of: the connection closed before the whole body came.
  bool bodyCutShort() const;
  // Hands the body over as a malloc'd block (at least one byte allocated) that the
  // caller frees; *length gets its size. The buffer is left empty.
  char* takeBody(size_t* length);

 private:
  void splitAtEmptyLine();
  void checkComplete();
  void growBody(size_t limit);
  void warmBody();
  void startStream();
  void passOn(size_t count);

  ByteBuffer head_;
  ByteBuffer body_;
  bool split_ = false;
  size_t searched_ = 0;   // bytes of head_ already searched for the empty line
  size_t announced_ = 0;  // the announced body length as a hint for room, 0 when none
  bool chunked_ = false;
  bool lengthKnown_ = false;  // a Content-Length was given (chunked coding aside)...
  uint64_t length_ = 0;       // ...of this many bytes
  ChunkedBodyEnd chunkedEnd_;
  bool complete_ = false;
  // With a sink: what it asked for this response, the body bytes read (coded, up to
  // the announced length) and the decoder of a chunked body.
  BodySink* sink_ = nullptr;
  BodySink::Take take_ = BodySink::Take::body;
  uint64_t streamed_ = 0;
  bool sinkStopped_ = false;
  ChunkedDecoder decoder_;
  // Touches the pages of a large announced body while it arrives; declared last, so
  // that it stops before the block goes.
  PageWarmer warmer_;
  size_t warmedFrom_ = 0;  // body offset where the warmed range begins
};

// Room worth reserving for the body from a header block's Content-Length, if a line
// gives one in plain digits; 0 otherwise.
size_t announcedBodyLength(const char* headerBlock, size_t size);
// The Content-Length a header block announces, read exactly (a value too large for
// 64 bits reads as the largest); false when no line gives one in plain digits.
bool announcedLength(const char* headerBlock, size_t size, uint64_t* length);
