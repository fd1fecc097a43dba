// A document handed to the rich edit control in the chunks it asks for.
#pragma once
#include <cstdint>

struct DocumentStream {
  const char* data = nullptr;
  uint32_t size = 0;
  uint32_t offset = 0;  // bytes already handed over in the current stream-in

  // Copies the next chunk (at most `requested` bytes, never past the end) and
  // returns its length; 0 tells the control the document has ended.
  int32_t read(char* destination, int32_t requested);
};
