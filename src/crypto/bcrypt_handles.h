// Owners of BCrypt's algorithm and key handles. Local to the crypto layer until the
// shared handle owners of the Windows plumbing take their place.
#pragma once
#include <windows.h>

#include <bcrypt.h>

#include <cstdio>
#include <string>

struct AlgorithmProvider {
  BCRYPT_ALG_HANDLE handle = nullptr;
  AlgorithmProvider() = default;
  AlgorithmProvider(const AlgorithmProvider&) = delete;
  AlgorithmProvider& operator=(const AlgorithmProvider&) = delete;
  ~AlgorithmProvider() {
    if (handle) BCryptCloseAlgorithmProvider(handle, 0);
  }
};

struct KeyHandle {
  BCRYPT_KEY_HANDLE handle = nullptr;
  KeyHandle() = default;
  KeyHandle(const KeyHandle&) = delete;
  KeyHandle& operator=(const KeyHandle&) = delete;
  ~KeyHandle() {
    if (handle) BCryptDestroyKey(handle);
  }
};

constexpr NTSTATUS kStatusInvalidSignature = static_cast<NTSTATUS>(0xC000A000L);  // STATUS_INVALID_SIGNATURE

// "what (status 0x...)": BCrypt's failures have no system message text under Wine.
inline std::string bcryptStatusText(const char* what, NTSTATUS status) {
  char text[160];
  std::snprintf(text, sizeof text, "%s (status 0x%08lX)", what, static_cast<unsigned long>(status));
  return text;
}
