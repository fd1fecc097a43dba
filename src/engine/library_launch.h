// The launch of the product's installer library, once the package is complete: the
// main window's handler of kPackageComplete (main thread). Loading the library and
// its installer thread are installer_start's, which the rescue setup program shares.
#pragma once
#include <windows.h>

// Asks for confirmation, loads the library from the download root and starts the
// installer thread; on a refusal or a failure the run's buttons are enabled again.
void offerInstallerLaunch(HWND mainWindow);
