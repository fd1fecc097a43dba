// Windows file times as the one 64-bit count (100 ns since 1601) the rest of the
// installer carries them in.
#pragma once
#include <windows.h>

#include <cstdint>

uint64_t fileTimeValue(const FILETIME& time);

// Gives the open file the last-write time `time`; its creation and last-access times
// stay. False with the system's error when the system refuses.
bool setLastWriteTime(HANDLE file, uint64_t time);
