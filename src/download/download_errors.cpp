#include "download/download_errors.h"

#include <windows.h>

#include <cstdio>

#include "app/message_box.h"

void showUtilityError(const char* text) {
  showMessageBox(nullptr, text, "Downloading Utility", MB_SYSTEMMODAL | MB_ICONERROR | MB_OK);
}

void reportDownloadError(const char* text) {
  fputs(text, stdout);
  fflush(stdout);
  showMessageBox(nullptr, text, "Downloading", MB_SYSTEMMODAL | MB_ICONERROR | MB_OK);
}
