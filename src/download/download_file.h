// The operation through which small files (the manifest, the signature file) are
// fetched: base URL + file name, fetched into memory with a retry question after
// every failed attempt.
#pragma once
#include <cstdint>

// Called after every received chunk: running total of raw response bytes of the
// current request (header block included) and the chunk's size.
using ProgressCallback = void (*)(void* context, int64_t total, int chunk);

// Returns a malloc'd buffer holding the body (the caller frees it) and stores its
// length through `size`; nullptr when the user declined a retry.
char* downloadFile(const char* baseUrl, const char* fileName, int* size,
                   ProgressCallback callback, void* context);
