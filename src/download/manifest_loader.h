// Loads the install manifest ("downloadgi.txt") of the base URL into the process-wide
// file list and directory list.
#pragma once
#include "download/file_record.h"

// Shows the user a line of text (the engine prints it in red on its console, which
// also writes it to the installation log).
using RefusalReport = void (*)(const char* text);

// Creates the download root (one level), downloads the manifest and parses it.
// Returns the file list, or nullptr when the user gave up the download or the
// manifest was refused. A refusal is reported first, naming the entry and the rule it
// broke ("Install manifest refused: <entry>: <rule>"), when `report` is given; then
// the error box says the manifest is unusable.
RecordNode* loadManifest(const char* downloadRoot, const char* baseUrl,
                         RefusalReport report = nullptr);

// The second half of loadManifest, for a manifest text already at hand (an installer
// with a publisher key checks the text's signature first): parses it into the lists,
// or reports a refusal as loadManifest does and returns nullptr.
RecordNode* useManifestText(const char* text, int size, const char* downloadRoot, const char* baseUrl,
                            RefusalReport report);
