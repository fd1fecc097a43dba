// Which name lines of the install manifest may be written under the download root.
#pragma once
#include <cstddef>

// True for a relative path that stays inside the directory it is joined to: not empty,
// no drive, no ":" anywhere, not starting with "\" or "/", and no ".." component
// (nor one that Windows would read as "..", such as "..." or ".. "), no component
// that Windows would open as a device (CON, NUL, COM1, "aux.txt", ...), and no
// component ending in "." or " ", which Windows would shorten.
bool isNameInsideRoot(const char* name);

// True when root, "\" and name fit a path field of `fieldSize` bytes with its zero.
bool fitsUnderRoot(const char* root, const char* name, size_t fieldSize);
