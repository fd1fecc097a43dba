// The end of a run, on the installer thread once the installer library has
// returned: the result, the rescue package, the log, and the end of the process.
#pragma once

// Reports the result, offers the rescue package after a success, offers the log and
// ends the process with exit code 512. `failure`: why the library gave no result, or
// null.
[[noreturn]] void finishInstallation(bool succeeded, const char* failure = nullptr);
// "Installation finished." or "Installation failure." on the console and in a box
// owned by the main window; a failure's reason, when there is one, in red before it
// and in the box after it.
void reportInstallationResult(bool succeeded, const char* failure = nullptr);
// Saves the package, a rescue setup program and a readme into an empty directory
// that the user chooses.
void saveRescuePackage();
