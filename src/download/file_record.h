// One file of the install manifest, and the process-wide lists built from it.
#pragma once
#include <cstdint>

#include "download/record_list.h"

struct FileRecord {
  char localPath[256];  // download root, "\", relative path
  char baseUrl[256];    // the base URL the manifest was read from
  char name[256];       // relative path exactly as in the manifest
  char digest[64];      // digest text before the bar
  int64_t size;         // in bytes, never negative
  int64_t received;     // bytes of the file received so far in the current attempt
  int32_t index;        // position among the file entries, from 0
  uint8_t missing;
  uint8_t updateNeeded;
  uint8_t digestError;
  uint64_t lastWriteTime;  // Windows file time
};

// Process-wide lists: items are FileRecord* and char* (directory names with their
// trailing backslash). They live until the process ends.
extern RecordNode* g_fileList;
extern RecordNode* g_directoryList;
