// Settings files of installer libraries: lines "key=value", kept as entries whose
// key and value are also upper-cased (ASCII letters only) for lookups.
#pragma once
#include <cstddef>

constexpr size_t kSettingsTextSize = 256;  // each text of an entry, terminator included

struct SettingsEntry {
  char key[kSettingsTextSize];         // upper-cased
  char value[kSettingsTextSize];       // as written
  char valueUpper[kSettingsTextSize];  // upper-cased
};
static_assert(sizeof(SettingsEntry) == 768, "installer libraries read entries laid out this way");

// Upper-cases the letters a to z in place and nothing else (no code-page letters).
void upperCaseAscii(char* text);

// Splits a line at its first "=". False, with `entry` untouched, for a line without
// "=" (blank lines among them). Texts longer than an entry holds are cut.
bool parseSettingsLine(const char* line, SettingsEntry& entry);
