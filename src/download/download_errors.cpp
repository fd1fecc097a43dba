#include "download/download_errors.h"

#include <windows.h>

#include <cstdio>

#include "services/message_box.h"

void showUtilityError(const char* text) { showError(nullptr, "Downloading Utility", text); }

void reportDownloadError(const char* text) {
  fputs(text, stdout);
  fflush(stdout);
  showError(nullptr, "Downloading", text);
}
