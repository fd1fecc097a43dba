#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "folder_access.h"

const char kPathSeparator = '/';

namespace {
// Seconds from 1601-01-01 to 1970-01-01, in 100 ns steps.
constexpr int64_t kUnixEpochAsFileTime = 116444736000000000;

std::string systemError(const std::string& what) { return what + ": " + std::strerror(errno); }
}  // namespace

bool readPathFacts(const std::string& path, PathFacts* facts, std::string* error) {
  *facts = PathFacts{};
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    if (errno != ENOENT && errno != ENOTDIR && errno != ELOOP) {
      *error = systemError("cannot examine it");
      return false;
    }
    // The path itself may be there as a link that leads nowhere, or round in a loop.
    struct stat link;
    if (lstat(path.c_str(), &link) == 0) facts->kind = PathKind::brokenLink;
    return true;
  }
  facts->volume = static_cast<uint64_t>(info.st_dev);
  facts->node = static_cast<uint64_t>(info.st_ino);
  if (S_ISDIR(info.st_mode)) {
    facts->kind = PathKind::directory;
    return true;
  }
  if (!S_ISREG(info.st_mode)) {
    facts->kind = PathKind::other;
    return true;
  }
  facts->kind = PathKind::file;
  facts->size = static_cast<uint64_t>(info.st_size);
  // The file system keeps nanoseconds; a Windows file time keeps 100 ns steps.
  const int64_t time = static_cast<int64_t>(info.st_mtim.tv_sec) * 10000000 +
                       info.st_mtim.tv_nsec / 100 + kUnixEpochAsFileTime;
  if (time < 0) {
    *error = "its last-write time lies before 1601, which a Windows file time cannot hold";
    return false;
  }
  facts->lastWriteTime = static_cast<uint64_t>(time);
  return true;
}

bool listDirectory(const std::string& path, std::vector<std::string>* names, std::string* error) {
  DIR* directory = opendir(path.c_str());
  if (!directory) {
    *error = systemError("cannot list it");
    return false;
  }
  errno = 0;
  while (dirent* entry = readdir(directory)) {
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
      names->push_back(entry->d_name);
  }
  const bool complete = errno == 0;
  if (!complete) *error = systemError("cannot list it");
  closedir(directory);
  return complete;
}

std::string absolutePath(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

bool replaceFile(const std::string& from, const std::string& to, std::string* error) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  *error = systemError("cannot put it in place");
  return false;
}

bool createNewFile(const std::string& path, const std::string& bytes, bool ownerOnly, std::string* error) {
  const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, ownerOnly ? 0600 : 0644);
  if (file < 0) {
    *error = errno == EEXIST ? "it exists already (a key is never overwritten)" : systemError("cannot be created");
    return false;
  }
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t now = write(file, bytes.data() + written, bytes.size() - written);
    if (now <= 0) break;
    written += static_cast<size_t>(now);
  }
  const bool complete = written == bytes.size() && fsync(file) == 0;
  if (!complete) *error = systemError("cannot be written");
  close(file);
  if (!complete) std::remove(path.c_str());
  return complete;
}

bool stderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }
