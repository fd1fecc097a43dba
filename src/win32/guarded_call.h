// Calling code that may fault, from a thread that must go on: an exception that the
// code leaves unhandled stops at this call instead of ending the process.
//
// Why a frame handler: like an __except block, it sees only what the called code does
// not handle itself, after the code's own handlers and before the process-wide
// filter. A vectored handler would see every exception first, the ones the code
// catches for itself included; an unhandled-exception filter is one per process, and
// the called code may replace it. mingw-w64's gcc has no __try, so the frame is a few
// lines of assembly: on x64 a scope table for the system's __C_specific_handler,
// which calls our filter, unwinds the frames in between (running their cleanup) and
// resumes after the call; on x86 a registration record whose handler does the same
// with RtlUnwind.
#pragma once
#include <windows.h>

struct EscapedException {
  DWORD code = 0;
  const void* address = nullptr;  // where it was raised
};

// Calls `function(argument)`: a function of the platform's C calling convention that
// takes one pointer and returns an 8-bit value. True, with that value in `result`,
// when it returned; false when an exception escaped it, described in `escaped`.
// The calling thread is given a stack guarantee first, so that a stack overflow
// leaves room to handle it (the system honours it on Windows; Wine 8 ends a thread
// whose stack overflows without raising anything).
bool callGuarded(const void* function, void* argument, unsigned char& result,
                 EscapedException& escaped);
