// The fixed-size texts of a download attempt: input copies, the joined address and
// the retry question. Each is cut to its buffer, never written past it; the result
// tells whether the whole text fitted.
#pragma once
#include <cstddef>

// Copies `text` into `out` (`outSize` bytes with the terminating zero), turning every
// "\" into "/".
bool copyWithSlashes(char* out, size_t outSize, const char* text);

// "<base>/<name>" with every "\" turned into "/".
bool joinAddress(char* out, size_t outSize, const char* baseUrl, const char* fileName);

// "Failure downloading <base>//<name> , retry download\n".
bool formatRetryQuestion(char* out, size_t outSize, const char* baseUrl, const char* fileName);
