// Settings files with arbitrary bytes: lines stay inside their buffers, entries
// keep the split and the upper-casing, and every key loaded is found again.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/settings_entry.h"
#include "engine/settings_lookup.h"
#include "engine/settings_reader.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

bool isUpperCasedCopy(const char* upper, const char* text) {
  if (std::strlen(upper) != std::strlen(text)) return false;
  for (; *text; ++text, ++upper) {
    const char expected = (*text >= 'a' && *text <= 'z') ? static_cast<char>(*text - 32) : *text;
    if (*upper != expected) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  MemoryByteSource lines(bytes);
  char line[kSettingsLineSize];
  size_t before = 0;
  for (bool more = true; more;) {
    more = readSettingsLineFrom(lines, line);
    check(std::strlen(line) < kSettingsLineSize);
    check(lines.position() > before || !more);  // every terminated line consumes bytes
    before = lines.position();
  }
  check(lines.position() == bytes.size());

  MemoryByteSource source(bytes);
  RecordNode* list = loadSettingsFrom(source);
  for (const RecordNode* node = list; node; node = node->next) {
    const SettingsEntry* entry = static_cast<const SettingsEntry*>(node->item);
    check(std::strlen(entry->key) < kSettingsTextSize && std::strlen(entry->value) < kSettingsTextSize);
    check(std::strchr(entry->key, '=') == nullptr);
    for (const char* c = entry->key; *c; ++c) check(!(*c >= 'a' && *c <= 'z'));
    check(isUpperCasedCopy(entry->valueUpper, entry->value));
    const char* found = findSetting(list, entry->key, false);
    if (std::strlen(entry->key) <= kSettingsKeyLimit) {
      // The first entry with this key answers, and its value is this one's or an earlier twin's.
      const RecordNode* first = list;
      while (std::strcmp(static_cast<const SettingsEntry*>(first->item)->key, entry->key) != 0) first = first->next;
      check(found == static_cast<const SettingsEntry*>(first->item)->value);
    }
    findSettingNumber(list, entry->key);
  }
  releaseSettingsList(list);
  return 0;
}
