#include "engine/settings_lookup.h"

#include <cstring>

#include "download/decimal_text.h"
#include "engine/settings_entry.h"

const char* findSetting(const RecordNode* list, const char* key, bool upperCased) {
  static const char kNone[] = "";
  if (!key) return kNone;
  const size_t length = std::strlen(key);
  if (length > kSettingsKeyLimit) return kNone;
  char wanted[kSettingsKeyLimit + 1];
  std::memcpy(wanted, key, length + 1);
  upperCaseAscii(wanted);

  for (const RecordNode* node = list; node; node = node->next) {
    const SettingsEntry* entry = static_cast<const SettingsEntry*>(node->item);
    if (entry && std::strcmp(entry->key, wanted) == 0) return upperCased ? entry->valueUpper : entry->value;
  }
  return kNone;
}

int findSettingNumber(const RecordNode* list, const char* key) {
  return parseDecimal32(findSetting(list, key, true));
}
