#include "download/text_field.h"

#include <cstring>

void copyCut(char* field, size_t fieldSize, const char* text) {
  if (fieldSize == 0) return;
  field[0] = '\0';
  appendCut(field, fieldSize, text);
}

void appendCut(char* field, size_t fieldSize, const char* text) {
  size_t used = std::strlen(field);
  if (used + 1 >= fieldSize) return;
  size_t n = std::strlen(text);
  size_t room = fieldSize - 1 - used;
  if (n > room) n = room;
  std::memcpy(field + used, text, n);
  field[used + n] = '\0';
}
