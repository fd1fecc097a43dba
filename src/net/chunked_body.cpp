#include "net/chunked_body.h"

#include <cstring>

#include "net/ascii_text.h"

namespace {

// Whether `text` (size bytes) holds `word` in any case.
bool containsNoCase(const char* text, size_t size, const char* word) {
  const size_t n = std::strlen(word);
  for (size_t at = 0; at + n <= size; ++at)
    if (startsWithNoCase(text + at, size - at, word)) return true;
  return false;
}

// Moves *at past the line end (CR LF or LF) that starts there; false if none does.
bool skipLineEnd(const char* data, size_t size, size_t* at) {
  if (*at < size && data[*at] == '\r') ++*at;
  if (*at >= size || data[*at] != '\n') return false;
  ++*at;
  return true;
}

// Moves *at to the end of the current line; false if the data ends first.
bool findLineEnd(const char* data, size_t size, size_t* at) {
  while (*at < size && data[*at] != '\n' && data[*at] != '\r') ++*at;
  return *at < size;
}

}  // namespace

bool isChunkedTransfer(const char* block, size_t size) {
  static const char kName[] = "transfer-encoding:";
  const size_t nameLength = sizeof(kName) - 1;
  for (size_t line = 0; line < size;) {
    const char* end = static_cast<const char*>(std::memchr(block + line, '\n', size - line));
    const size_t lineEnd = end ? static_cast<size_t>(end - block) : size;
    if (lineEnd - line >= nameLength && containsNoCase(block + line, nameLength, kName) &&
        containsNoCase(block + line + nameLength, lineEnd - line - nameLength, "chunked"))
      return true;
    line = lineEnd + 1;
  }
  return false;
}

bool decodeChunkedBody(char* data, size_t size, size_t* decodedSize) {
  size_t read = 0;
  size_t written = 0;
  for (;;) {
    // The size line: hexadecimal digits, then nothing, blanks or ";" extensions.
    size_t chunk = 0;
    const size_t digits = read;
    for (int digit; read < size && (digit = hexValue(data[read])) >= 0; ++read) {
      if (chunk > (static_cast<size_t>(-1) >> 4)) return false;
      chunk = chunk << 4 | static_cast<size_t>(digit);
    }
    if (read == digits || read >= size) return false;
    const char next = data[read];
    if (next != '\r' && next != '\n' && next != ';' && next != ' ' && next != '\t') return false;
    if (!findLineEnd(data, size, &read) || !skipLineEnd(data, size, &read)) return false;

    if (chunk == 0) break;
    if (chunk > size - read) return false;
    std::memmove(data + written, data + read, chunk);  // written never passes read
    written += chunk;
    read += chunk;
    if (!skipLineEnd(data, size, &read)) return false;
  }
  // Trailer lines up to the empty line are dropped; the body is complete already, so a
  // connection closed among them loses nothing.
  *decodedSize = written;
  return true;
}

bool ChunkedBodyEnd::reached(const char* data, size_t size) {
  while (step_ != Step::done && at_ < size) {
    const char c = data[at_];
    if (step_ == Step::data) {
      const size_t here = size - at_ < chunk_ ? size - at_ : chunk_;
      at_ += here;
      chunk_ -= here;
      if (chunk_ == 0) step_ = Step::dataEnd;
      continue;
    }
    ++at_;
    if (step_ == Step::dataEnd) {  // CR LF or LF after a chunk's data
      if (c == '\n') step_ = Step::sizeLine;
      else if (c != '\r') step_ = Step::done;  // malformed
      continue;
    }
    // The size line: hexadecimal digits, then anything up to its LF.
    const int digit = extension_ ? -1 : hexValue(c);
    if (digit >= 0 && chunk_ > (static_cast<size_t>(-1) >> 4)) {
      step_ = Step::done;  // malformed: no size fits
    } else if (digit >= 0) {
      chunk_ = chunk_ << 4 | static_cast<size_t>(digit);
      digits_ = true;
    } else if (c != '\n') {
      extension_ = true;
    } else if (!digits_ || chunk_ == 0) {
      step_ = Step::done;  // malformed, or the last chunk
    } else {
      step_ = Step::data;
      digits_ = extension_ = false;
    }
  }
  return step_ == Step::done;
}

size_t ChunkedDecoder::decode(char* data, size_t size) {
  size_t written = 0;
  for (size_t at = 0; at < size && step_ != Step::done && step_ != Step::malformed;) {
    if (step_ == Step::data) {
      const size_t here = size - at < chunk_ ? size - at : chunk_;
      std::memmove(data + written, data + at, here);  // written never passes at
      written += here;
      at += here;
      chunk_ -= here;
      if (chunk_ == 0) step_ = Step::dataEnd;
      continue;
    }
    const char c = data[at++];
    switch (step_) {
      case Step::digits: {
        const int digit = hexValue(c);
        if (digit >= 0) {
          if (chunk_ > (static_cast<size_t>(-1) >> 4)) step_ = Step::malformed;
          else chunk_ = chunk_ << 4 | static_cast<size_t>(digit);
          digits_ = true;
        } else if (!digits_) {
          step_ = Step::malformed;
        } else if (c == '\r') {
          step_ = Step::sizeLineEnd;
        } else if (c == '\n') {
          sizeLineEnded();
        } else {
          step_ = c == ';' || c == ' ' || c == '\t' ? Step::sizeLine : Step::malformed;
        }
        break;
      }
      case Step::sizeLine:  // an extension: anything up to the line end
        if (c == '\r') step_ = Step::sizeLineEnd;
        else if (c == '\n') sizeLineEnded();
        break;
      case Step::sizeLineEnd:
        if (c == '\n') sizeLineEnded();
        else step_ = Step::malformed;
        break;
      case Step::dataEnd:
        if (c == '\r') step_ = Step::dataLineEnd;
        else if (c == '\n') nextSizeLine();
        else step_ = Step::malformed;
        break;
      case Step::dataLineEnd:
        if (c == '\n') nextSizeLine();
        else step_ = Step::malformed;
        break;
      default:
        break;
    }
  }
  return written;
}
