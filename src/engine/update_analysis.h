// The update analysis: the first worker thread of an installation run. In modes 0
// and 1 it prepares the download root and the manifest's directories, compares
// every file already on disk with the manifest, asks about an update where one is
// found, then runs the download loop on a thread of its own and waits for it. In
// mode 2 it lets the user point at a directory holding an earlier download instead.
#pragma once
#include <windows.h>

// Thread body; the argument is the main window. Returns 0.
DWORD WINAPI runUpdateAnalysis(LPVOID mainWindow);
