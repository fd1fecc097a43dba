// The few file-system calls the manifest builder needs; one small implementation per
// platform (folder_access_posix.cpp, folder_access_windows.cpp), the rest of the tool
// is platform-free.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum class PathKind { missing, brokenLink, file, directory, other };

struct PathFacts {
  PathKind kind = PathKind::missing;
  uint64_t size = 0;
  uint64_t lastWriteTime = 0;  // Windows file time: 100 ns steps since 1601-01-01 UTC
  // Identity of what the path leads to, to recognise a directory met twice.
  uint64_t volume = 0;
  uint64_t node = 0;
};

// The separator for paths handed to the calls below.
extern const char kPathSeparator;

// Facts about `path`, following symbolic links. A path that does not exist gives
// kind missing and true; false with *error when it exists but cannot be examined.
bool readPathFacts(const std::string& path, PathFacts* facts, std::string* error);

// The names in a directory, without "." and "..", in the order the system gives.
bool listDirectory(const std::string& path, std::vector<std::string>* names, std::string* error);

// `path` made absolute, so that a folder given as "." still has a name of its own.
std::string absolutePath(const std::string& path);

// Puts `from` in the place of `to` in one step, replacing any file there.
bool replaceFile(const std::string& from, const std::string& to, std::string* error);

// Creates `path` holding `bytes`, refusing a path that exists. `ownerOnly`: readable
// by its owner alone (mode 0600; on Windows the folder's permissions apply).
bool createNewFile(const std::string& path, const std::string& bytes, bool ownerOnly, std::string* error);

bool stderrIsTerminal();
