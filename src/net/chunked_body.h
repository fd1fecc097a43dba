// The chunked transfer coding of HTTP/1.1: any server or proxy may send a body as a
// series of chunks, each preceded by its size in hexadecimal, ended by a chunk of
// size 0 and optional trailer lines. Plain text code, shared by the client and its
// fuzz target.
#pragma once
#include <cstddef>

// True when the header block has a Transfer-Encoding line (name in any case) whose
// value names "chunked" (in any case).
bool isChunkedTransfer(const char* headerBlock, size_t size);

// Decodes `size` bytes of chunked body in place (the decoded bytes are never longer
// than the coded ones) and stores the decoded length. Chunk extensions and trailer
// lines are dropped; lines may end in CR LF or LF alone. False when the coding is
// malformed or cut short before its last chunk: such a body is not the file sent.
bool decodeChunkedBody(char* data, size_t size, size_t* decodedSize);

// Follows a chunked body as it arrives, to tell when its last chunk (size 0) has come:
// the body is complete then, whatever the server does with the connection. Looks at
// each byte once.
class ChunkedBodyEnd {
 public:
  // Given the body received so far (`size` bytes, the earlier ones unchanged since the
  // last call): true once the last chunk's size line has ended, or once the coding is
  // malformed past repair (the decoder refuses it then).
  bool reached(const char* data, size_t size);

 private:
  enum class Step { sizeLine, data, dataEnd, done };
  Step step_ = Step::sizeLine;
  size_t at_ = 0;         // next byte to look at
  size_t chunk_ = 0;      // the size being read, then the data bytes still to come
  bool digits_ = false;   // the size line has its digits
  bool extension_ = false;  // past the digits: only the line end matters
};

// Decodes a chunked body piece by piece as it arrives, by the rules of
// decodeChunkedBody, for a body that is passed on instead of kept: memory stays that
// of one piece whatever the body's length.
class ChunkedDecoder {
 public:
  // Decodes the next `size` bytes of the coded body in place: the data bytes among
  // them move to the front, and their count is returned. Bytes after the last chunk's
  // size line are left out.
  size_t decode(char* data, size_t size);
  // The last chunk's size line has ended: the body is complete.
  bool done() const { return step_ == Step::done; }
  // The coding broke the rules: nothing after the fault was decoded.
  bool malformed() const { return step_ == Step::malformed; }

 private:
  enum class Step { digits, sizeLine, sizeLineEnd, data, dataEnd, dataLineEnd, done, malformed };
  void sizeLineEnded() { step_ = chunk_ == 0 ? Step::done : Step::data; }
  void nextSizeLine() {
    step_ = Step::digits;
    digits_ = false;
  }
  Step step_ = Step::digits;
  size_t chunk_ = 0;  // the size being read, then the data bytes still to come
  bool digits_ = false;
};
