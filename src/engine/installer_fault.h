// What the report says when an installer library's entry point never gave its result.
#pragma once
#include <string>

#include "win32/guarded_call.h"

// "The installer library stopped on exception 0xC0000005 (access violation) at
// 0x00000003D1B41410 in record_check.dll+0x1410": the code, its name when it is a
// common one, the address, and the module it lies in with the offset from the
// module's start (left out when it lies in none).
std::string escapedExceptionText(const EscapedException& escaped);

// The installer thread ended without the library returning and without an exception
// to catch: the library ended it, or the system did (Wine 8 does so on a stack
// overflow).
extern const char kInstallerThreadEnded[];
