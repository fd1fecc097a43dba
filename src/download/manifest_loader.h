// Loads the install manifest ("downloadgi.txt") of the base URL into the process-wide
// file list and directory list.
#pragma once
#include "download/file_record.h"

// Creates the download root (one level), downloads the manifest and parses it.
// Returns the file list, or nullptr when the user gave up the download or the
// manifest was refused (the user has been told).
RecordNode* loadManifest(const char* downloadRoot, const char* baseUrl);
