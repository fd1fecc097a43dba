// Lookups in a settings list (a record list of SettingsEntry) for installer
// libraries. Platform-free; the library reaches them through the services of
// settings_services.h, in the interface's calling convention.
#pragma once
#include <cstddef>

#include "download/record_list.h"

// Keys longer than this never match: they are longer than the key buffer the
// lookup upper-cases them in.
constexpr size_t kSettingsKeyLimit = 127;

// The first entry whose key equals `key` with a to z upper-cased; its value
// upper-cased or as written. An empty text when none matches. The text lives as
// long as the list (the whole process).
const char* findSetting(const RecordNode* list, const char* key, bool upperCased);

// The upper-cased value read as a decimal number (white space, sign, digits),
// clamped to 32 bits; 0 when the key is missing or the value is no number.
int findSettingNumber(const RecordNode* list, const char* key);
