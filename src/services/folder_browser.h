// Every folder choice of the program goes through browseForFolder, so that tests can
// answer it without a window, as they answer the message boxes.
#pragma once
#include <windows.h>

// The shell's folder browser (SHBrowseForFolderA) owned by `owner`, with no root
// folder, the given title and flags. Returns true and fills `path` (MAX_PATH bytes)
// when a file-system folder was chosen; false when the user cancelled.
bool browseForFolder(HWND owner, const char* title, UINT flags, char* path);

// Replaces the browser with an answerer (tests); nullptr restores the shell's browser.
using FolderAnswerer = bool (*)(HWND owner, const char* title, UINT flags, char* path);
void setFolderAnswerer(FolderAnswerer answerer);
