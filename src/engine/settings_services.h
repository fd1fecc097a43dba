// The settings services of the installer library's table: reading settings files
// through a Windows file handle. The lookups are in settings_lookup.h.
#pragma once
#include <windows.h>

#include "download/record_list.h"
#include "engine/settings_lookup.h"
#include "engine/settings_reader.h"

// Reads one line of an open file into `line` (256 characters), one byte at a time,
// as readSettingsLineFrom does; the file position is left at the next line.
bool readSettingsLine(HANDLE file, char* line);

// Opens the file for reading, shared with nobody; an empty list (none) when it
// cannot be opened. The file is closed again once read.
RecordNode* loadSettings(const char* fileName);

// The four services as the installer arguments carry them.
using ReadSettingsLineService = bool (*)(HANDLE file, char* line);
using LoadSettingsService = RecordNode* (*)(const char* fileName);
using FindSettingService = const char* (*)(const RecordNode* list, const char* key, bool upperCased);
using FindSettingNumberService = int (*)(const RecordNode* list, const char* key);
