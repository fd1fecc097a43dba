// The settings services of the installer library's table: reading settings files
// through a Windows file handle. The lookups are in settings_lookup.h.
#pragma once
#include <windows.h>

#include "download/record_list.h"
#include "engine/settings_lookup.h"
#include "engine/settings_reader.h"
#include "quorvane_install.h"

// Reads one line of an open file into `line` (256 characters), one byte at a time,
// as readSettingsLineFrom does; the file position is left at the next line.
bool readSettingsLine(HANDLE file, char* line);

// Opens the file for reading, shared with nobody; an empty list (none) when it
// cannot be opened. The file is closed again once read.
RecordNode* loadSettings(const char* fileName);

// The four services as the installer arguments carry them: the library's types and
// calling convention (a settings list is a record list the library cannot see into).
unsigned char QUORVANE_CALL readSettingsLineService(HANDLE file, char* line);
QuorvaneSettingsList* QUORVANE_CALL loadSettingsService(const char* fileName);
const char* QUORVANE_CALL findSettingService(const QuorvaneSettingsList* list, const char* key,
                                             unsigned char upperCased);
int32_t QUORVANE_CALL findSettingNumberService(const QuorvaneSettingsList* list,
                                               const char* key);
