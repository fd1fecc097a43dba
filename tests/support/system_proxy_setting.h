// The proxy of the user's Internet settings, written into the value that WinHTTP
// reads for the Wine prefix's user, and put back as it was afterwards. Tests that
// use it share the ctest resource lock "internet_settings".
#pragma once
#include <windows.h>

#include <string>

class SystemProxySetting {
 public:
  // A fixed proxy with its bypass list, or (script not empty) a proxy script.
  SystemProxySetting(const std::string& proxy, const std::string& bypass, const std::string& script = "") {
    RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    DWORD size = 0;
    had_ = RegQueryValueExA(key_, kValue, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
    saved_.resize(size);
    if (had_) RegQueryValueExA(key_, kValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&saved_[0]), &size);
    // Version, counter, flags (direct, plus a fixed proxy or a script), then the
    // proxy, the bypass list and the script's address, each after its length.
    const DWORD flags = script.empty() ? 3 : 5;
    std::string blob = word(0x46) + word(0) + word(flags) + word(proxy.size()) + proxy + word(bypass.size()) +
                       bypass + word(script.size()) + script + std::string(32, '\0');
    RegSetValueExA(key_, kValue, 0, REG_BINARY, reinterpret_cast<const BYTE*>(blob.data()),
                   static_cast<DWORD>(blob.size()));
  }
  ~SystemProxySetting() {
    if (had_)
      RegSetValueExA(key_, kValue, 0, REG_BINARY, reinterpret_cast<const BYTE*>(saved_.data()),
                     static_cast<DWORD>(saved_.size()));
    else
      RegDeleteValueA(key_, kValue);
    RegCloseKey(key_);
  }
  SystemProxySetting(const SystemProxySetting&) = delete;
  SystemProxySetting& operator=(const SystemProxySetting&) = delete;

 private:
  static std::string word(size_t value) {
    const DWORD v = static_cast<DWORD>(value);
    return std::string(reinterpret_cast<const char*>(&v), sizeof v);
  }
  static constexpr const char* kKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";
  static constexpr const char* kValue = "DefaultConnectionSettings";
  HKEY key_ = nullptr;
  bool had_ = false;
  std::string saved_;
};
