#include "engine/installer_fault.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

const char* exceptionName(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION: return "access violation";
    case EXCEPTION_STACK_OVERFLOW: return "stack overflow";
    case EXCEPTION_ILLEGAL_INSTRUCTION: return "illegal instruction";
    case EXCEPTION_INT_DIVIDE_BY_ZERO: return "integer division by zero";
    case EXCEPTION_BREAKPOINT: return "breakpoint";
    case 0xE06D7363: return "C++ exception";  // thrown by code built with MSVC
    case 0x20474343: return "C++ exception";  // thrown by code built with gcc
  }
  return nullptr;
}

// "record_check.dll+0x1410", or empty when the address lies in no module.
std::string moduleOffset(const void* address) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<LPCSTR>(address), &module))
    return "";
  char path[MAX_PATH] = "";
  const DWORD length = GetModuleFileNameA(module, path, sizeof path);
  if (length == 0 || length >= sizeof path) return "";
  const char* slash = std::strrchr(path, '\\');
  char offset[24];
  std::snprintf(offset, sizeof offset, "+0x%llX",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(address) -
                                                reinterpret_cast<uintptr_t>(module)));
  return std::string(slash ? slash + 1 : path) + offset;
}

}  // namespace

const char kInstallerThreadEnded[] = "The installer thread ended before the installer library returned";

std::string escapedExceptionText(const EscapedException& escaped) {
  char text[160];
  const char* name = exceptionName(escaped.code);
  std::snprintf(text, sizeof text, "The installer library stopped on exception 0x%08lX%s%s%s at 0x%0*llX",
                static_cast<unsigned long>(escaped.code), name ? " (" : "", name ? name : "", name ? ")" : "",
                static_cast<int>(2 * sizeof(void*)),
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(escaped.address)));
  const std::string module = moduleOffset(escaped.address);
  return module.empty() ? text : text + (" in " + module);
}
