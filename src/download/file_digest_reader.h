// The digests of a file on disk, read in pieces through one buffer that the caller
// keeps from file to file: a file of any size costs no more memory than the buffer.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "download/file_digests.h"

constexpr size_t kDigestReadPiece = 1 << 20;

// Reads the open file from its current position to its end into `digests`. False,
// with nothing in *result, when a read fails.
bool digestOpenFile(HANDLE file, FileDigests& digests, std::vector<char>& buffer, FileDigestResult* result);

// Reads at most `size` bytes of the open file from its current position into
// `digests` without finishing them: they go on with what follows. *bytes gets the
// count read (less than `size` when the file ends first). False when a read fails
// (the digests are then of no use). A caller that knows the size saves the read that
// would find the end.
bool feedOpenFile(HANDLE file, uint64_t size, FileDigests& digests, std::vector<char>& buffer, uint64_t* bytes);
