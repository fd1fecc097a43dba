#include "engine/release_serial.h"

#include <windows.h>

#include "win32/handles.h"

namespace {
constexpr char kSerialsKey[] = "Software\\Quorvane\\velmorin\\Serials";
}  // namespace

uint64_t rememberedSerial(const char* product) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSerialsKey, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return 0;
  RegistryKey key(opened);
  uint64_t serial = 0;
  DWORD type = 0, size = sizeof serial;
  if (RegQueryValueExA(key.get(), product, nullptr, &type, reinterpret_cast<BYTE*>(&serial), &size) !=
          ERROR_SUCCESS ||
      type != REG_QWORD || size != sizeof serial)
    return 0;
  return serial;
}

// A failure to remember leaves the protection as it was: the next run still refuses
// anything below the serial remembered before.
void rememberSerial(const char* product, uint64_t serial) {
  if (serial <= rememberedSerial(product)) return;
  HKEY created = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSerialsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &created,
                      nullptr) != ERROR_SUCCESS)
    return;
  RegistryKey key(created);
  RegSetValueExA(key.get(), product, 0, REG_QWORD, reinterpret_cast<const BYTE*>(&serial), sizeof serial);
}
