// The installer library of a signed package, checked once more right before it is
// loaded: opened so that nobody can write, replace or delete the file while the
// handle is open, digested through that handle, and compared with its signed
// SHA-256. The caller keeps the handle open until LoadLibrary has mapped the file,
// so that what is loaded is what was checked.
#pragma once
#include <string>

#include "win32/handles.h"

// The open file when it is the signed library; an empty handle and the reason, a
// sentence for the user, when it is not.
KernelHandle holdSignedLibrary(const char* path, std::string* reason);
