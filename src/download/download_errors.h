// The two error boxes of the download paths.
#pragma once

// System-modal error box, no owner, caption "Downloading Utility".
void showUtilityError(const char* text);
// Writes the text to standard output, then shows it in a system-modal error box,
// no owner, caption "Downloading".
void reportDownloadError(const char* text);
