// Whether a file's full path lies inside a directory, by comparing the two full
// paths as the file system would (ASCII case ignored, a separator at the boundary).
// Platform-free: the caller makes both paths full and canonical first.
#pragma once
#include <string>

// True when `path` names something strictly below `root`. `root` may end with a
// separator; "C:\a\bc\x" is not inside "C:\a\b".
bool isPathInsideRoot(const std::string& root, const std::string& path);
