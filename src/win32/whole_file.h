// Reading a whole file into memory, and writing all of a block.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

// Opens `path` for reading, shared as `shareMode` says, and reads it into `bytes`,
// resized to the file's size (its capacity is kept, so one vector can serve file after
// file). False when it cannot be opened, has no size, is larger than `largest` or finds
// no memory (`bytes` then empty). A read that fails or finds the file shrunk part way
// counts as read: `bytes` holds what came.
bool readWholeFile(const char* path, DWORD shareMode, uint64_t largest, std::vector<char>& bytes);

// Writes every byte of `data` at the file's position, in pieces WriteFile takes. The
// system's code of a failure, else ERROR_SUCCESS; a write that reports success but
// takes nothing would never end, and counts as a full disk.
DWORD writeAll(HANDLE file, const void* data, size_t size);
