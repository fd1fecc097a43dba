// Where the installation log lives: the temporary directory as the system gives it
// (ending in a separator) followed by "\velmorin.log", so the name sits behind a
// doubled separator, which the file system accepts.
#pragma once
#include <cstddef>
#include <string>

constexpr size_t kLogPathCapacity = 260;  // characters, terminator included

std::string logPathIn(const std::string& temporaryDirectory);

// True when the path fits the 260-character buffer it is kept in.
bool logPathFits(const std::string& path);
