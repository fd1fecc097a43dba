// Loading an installer library and running its entry point on the installer thread:
// shared by the launch in the installer and by the rescue setup program.
#pragma once
#include <windows.h>

// Runs on the installer thread with the entry point's result; it must end the process.
// `failure` says why the library gave no result (an exception escaped it, its thread
// ended), or is null when it returned.
using InstallerFinish = void (*)(bool succeeded, const char* failure);

// Loads the library at `path`, finds its entry point, fills the installer arguments
// (product name, download root, the eight services), sets the status line to
// "Installation ..." and starts the installer thread (its handle in
// g_installerThread), which calls the entry point and then `finish`; a watcher calls
// `finish` instead if that thread ends without it. False when the library cannot be
// loaded, has no entry point or its thread cannot start, or, in a program with a
// publisher key, is not the signed one (checked right before the load): that is
// reported on the console in red and in a box owned by `mainWindow`, and the library
// is let go again.
bool startInstallerLibrary(HWND mainWindow, const char* path, InstallerFinish finish);
