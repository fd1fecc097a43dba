// Reading a whole file into memory, and writing all of a block.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

enum class FileRead {
  whole,    // every byte the file had when the read began
  cut,      // fewer: a read failed or the file shrank meanwhile; `bytes` holds what came
  refused,  // no size, a size above the largest allowed, or no memory for it: `bytes` empty
};

// Reads an open file from its current position into `bytes`, resized to the file's
// size (its capacity is kept, so one vector can serve file after file).
FileRead readOpenFile(HANDLE file, uint64_t largest, std::vector<char>& bytes);

// Opens `path` for reading, shared as `shareMode` says, and reads it as readOpenFile
// does. False when it cannot be opened or is refused; a cut read counts as read.
bool readWholeFile(const char* path, DWORD shareMode, uint64_t largest, std::vector<char>& bytes);

// Writes every byte of `data` at the file's position, in pieces WriteFile takes. The
// system's code of a failure, else ERROR_SUCCESS; a write that reports success but
// takes nothing would never end, and counts as a full disk.
DWORD writeAll(HANDLE file, const void* data, size_t size);
