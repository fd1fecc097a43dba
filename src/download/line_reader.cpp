#include "download/line_reader.h"

namespace {
bool isTerminator(char c) { return c == '\r' || c == '\n'; }
}  // namespace

bool readLine(const char* text, int* cursor, int length, char* out, size_t outSize) {
  // A cursor below -1 would index before the text: treat it like an exhausted text.
  if (*cursor >= length || *cursor < -1) return false;

  size_t written = 0;
  auto finish = [&] {
    if (outSize > 0) out[written] = '\0';
  };
  for (;;) {
    ++*cursor;
    if (*cursor >= length) {
      finish();
      return false;
    }
    char c = text[*cursor];
    if (isTerminator(c)) {
      // One terminator is one CR or LF, optionally followed by one more of either.
      if (*cursor + 1 < length && isTerminator(text[*cursor + 1])) ++*cursor;
      finish();
      return true;
    }
    // Characters beyond the field are consumed but not stored.
    if (written + 1 < outSize) out[written++] = c;
  }
}
