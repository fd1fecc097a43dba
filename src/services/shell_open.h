// Every file or folder the program opens with the shell goes through openWithShell,
// so that tests can record it instead of starting a folder window or an editor.
#pragma once
#include <windows.h>

// ShellExecuteA(owner, verb, path, no parameters, no directory, shown normally) by
// default. Returns true when the shell reported success.
bool openWithShell(HWND owner, const char* verb, const char* path);

// Replaces the shell with an opener (tests); nullptr restores ShellExecuteA.
using ShellOpener = bool (*)(HWND owner, const char* verb, const char* path);
void setShellOpener(ShellOpener opener);
