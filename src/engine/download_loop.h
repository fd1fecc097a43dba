// The download loop: brings every missing or changed file of the file list into the
// download root, verifies its digest, writes it with the manifest's last-write time,
// and puts every failure to the user. With every file sound it hands over to the
// launch of the installer library.
#pragma once
#include <windows.h>

#include "download/file_record.h"

// Thread body of the download thread; the argument is the main window. Returns 0.
DWORD WINAPI runDownloadLoop(LPVOID mainWindow);

// Downloads, verifies and writes one file; also run alone from the file list's "Try
// Download" menu. False when the user cancelled a failed write.
bool downloadAndVerifyFile(FileRecord* record, HWND owner);
