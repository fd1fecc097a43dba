// Small operations that several flows of the engine share, and two services of the
// installer library's table.
#pragma once
#include <windows.h>

#include <string>

#include "engine/download_root.h"
#include "quorvane_install.h"

// The download root's levels under this user's temporary directory, for the
// product the descriptor names.
DownloadRootLevels downloadRootLevels();
// Creates one directory level, reporting it on the console. True when it was
// created (an existing directory counts as a failure).
bool createDirectoryLogged(const char* path);
// "Error Windows n°<code>\n" and the first line of the system's text for the code,
// or "Unkown Error" when the system has none. A text that names a file through an
// insert ("Bad EXE format for %1.") names `fileName` there.
std::string windowsErrorText(DWORD code, const std::string& fileName = std::string());

// Services of the installer library's table (installer thread).
unsigned char QUORVANE_CALL registerRelatedFile(const QuorvaneRelatedFile* file);
int QUORVANE_CALL libraryMessageBox(const char* text, UINT style);
