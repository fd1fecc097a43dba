// Fixed-size text fields: copies that are cut to fit, never written past the field.
#pragma once
#include <cstddef>

// Copies `text` into `field` (`fieldSize` bytes, zero included), cut to fit.
void copyCut(char* field, size_t fieldSize, const char* text);
// Appends `text` to the zero-terminated `field`, cut to fit.
void appendCut(char* field, size_t fieldSize, const char* text);
