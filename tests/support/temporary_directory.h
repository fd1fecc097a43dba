// The tests' own folders in the system's temporary directory, and TMP pointed at one
// of them (where the installer puts its log and its download root).
#pragma once
#ifdef _WIN32
#include <windows.h>
#endif

#include <filesystem>
#include <string>

// The system's temporary directory as it was when a test first asked, ending in a
// separator: tests point TMP elsewhere, and their folders must not follow it.
inline std::string systemTemporaryDirectory() {
  static const std::string directory = [] {
#ifdef _WIN32
    char path[MAX_PATH + 1] = "";
    const DWORD length = GetTempPathA(sizeof path, path);
    return std::string(path, length < sizeof path ? length : 0);
#else
    return std::filesystem::temp_directory_path().string() + "/";
#endif
  }();
  return directory;
}

// A fresh folder `name` in the system's temporary directory: whatever a former run
// left there is removed first (process ids come round again), and the folder goes
// with all it holds at the end.
class ScratchDirectory {
 public:
  explicit ScratchDirectory(const std::string& name) : path_(systemTemporaryDirectory() + name) {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    std::filesystem::create_directories(path_, ignored);
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

#ifdef _WIN32
// Points TMP and TEMP at another directory for as long as it lives, then puts back
// what they were (or removes them, when they were not set).
class TemporaryDirectoryRedirect {
 public:
  TemporaryDirectoryRedirect() : tmp_(valueOf("TMP")), temp_(valueOf("TEMP")) {}
  explicit TemporaryDirectoryRedirect(const std::string& path) : TemporaryDirectoryRedirect() { pointAt(path); }
  ~TemporaryDirectoryRedirect() {
    SetEnvironmentVariableA("TMP", tmp_.empty() ? nullptr : tmp_.c_str());
    SetEnvironmentVariableA("TEMP", temp_.empty() ? nullptr : temp_.c_str());
  }
  TemporaryDirectoryRedirect(const TemporaryDirectoryRedirect&) = delete;
  TemporaryDirectoryRedirect& operator=(const TemporaryDirectoryRedirect&) = delete;

  void pointAt(const std::string& path) const {
    SetEnvironmentVariableA("TMP", path.c_str());
    SetEnvironmentVariableA("TEMP", path.c_str());
  }

 private:
  static std::string valueOf(const char* name) {
    char value[32768];
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length && length < sizeof value ? std::string(value, length) : std::string();
  }

  std::string tmp_, temp_;
};
#endif
