// The installation log: every text printed to the console is also appended, with a
// local time stamp, to "velmorin.log" in the user's temporary directory.
#pragma once
#include <windows.h>

void openLog(HWND owner);
void writeLogLine(const char* text);
void askViewLog(HWND owner);
void closeLog();
// The log file's path; empty when no log could be created.
const char* logFilePath();

// The flush to disk after every line: FlushFileBuffers, or a stand-in that tests put
// there to see each flush (nullptr restores FlushFileBuffers).
using LogFlush = BOOL(WINAPI*)(HANDLE file);
void setLogFlush(LogFlush flush);
