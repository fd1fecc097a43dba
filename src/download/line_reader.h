// Splits a text into lines at CR, LF or a pair of them (CR LF, LF CR, CR CR, LF LF).
#pragma once
#include <cstddef>

// Reads the line after `*cursor` (the index of the last character consumed; start at -1)
// into `out` (`outSize` bytes, zero-terminated; longer lines are cut to fit, the rest of
// the line is still consumed). Returns true if the line ended with a terminator, false
// if the text ended first or was already exhausted (then `out` is left untouched).
bool readLine(const char* text, int* cursor, int length, char* out, size_t outSize);
