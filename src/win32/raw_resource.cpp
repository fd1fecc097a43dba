#include "win32/raw_resource.h"

namespace {
const LPCSTR kRawData = MAKEINTRESOURCEA(10);  // RT_RCDATA, whatever the character set
}

RawResource rawResource(int id, HMODULE module) {
  RawResource resource;
  if (!module) module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), kRawData);
  if (!found) return resource;
  resource.found = true;
  resource.size = SizeofResource(module, found);
  // A loaded resource is never freed: it is part of the module's image.
  HGLOBAL loaded = LoadResource(module, found);
  if (loaded) resource.bytes = static_cast<const char*>(LockResource(loaded));
  return resource;
}
