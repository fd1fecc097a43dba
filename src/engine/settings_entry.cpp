#include "engine/settings_entry.h"

#include <cstring>

namespace {

// Copies at most `count` characters, cut to what `out` holds, and terminates.
void copyCut(char (&out)[kSettingsTextSize], const char* text, size_t count) {
  if (count > kSettingsTextSize - 1) count = kSettingsTextSize - 1;
  std::memcpy(out, text, count);
  out[count] = '\0';
}

}  // namespace

void upperCaseAscii(char* text) {
  for (; *text; ++text)
    if (*text >= 'a' && *text <= 'z') *text = static_cast<char>(*text - 'a' + 'A');
}

bool parseSettingsLine(const char* line, SettingsEntry& entry) {
  const char* equals = std::strchr(line, '=');
  if (!equals) return false;
  const char* value = equals + 1;
  copyCut(entry.key, line, static_cast<size_t>(equals - line));
  copyCut(entry.value, value, std::strlen(value));
  copyCut(entry.valueUpper, value, std::strlen(value));
  upperCaseAscii(entry.key);
  upperCaseAscii(entry.valueUpper);
  return true;
}
