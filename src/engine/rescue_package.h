// The end of a run, on the installer thread once the installer library has
// returned: the result, the rescue package, the log, and the end of the process.
#pragma once

// Reports the result, offers the rescue package after a success, offers the log and
// ends the process with exit code 512.
[[noreturn]] void finishInstallation(bool succeeded);
// "Installation finished." or "Installation failure." on the console and in a box
// owned by the main window.
void reportInstallationResult(bool succeeded);
// Saves the package, a rescue setup program and a readme into an empty directory
// that the user chooses.
void saveRescuePackage();
