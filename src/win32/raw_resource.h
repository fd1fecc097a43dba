// The program's raw data resources (RCDATA): the install descriptor, the documents,
// the rescue setup program. Their bytes stay mapped for the life of the process.
#pragma once
#include <windows.h>

struct RawResource {
  bool found = false;            // the module has a raw data resource with this id
  const char* bytes = nullptr;   // null when it was found but could not be loaded
  DWORD size = 0;                // its size when found
};

// Raw data resource `id` of `module`, by default the program's own.
RawResource rawResource(int id, HMODULE module = nullptr);
