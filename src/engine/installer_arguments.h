// The installer arguments: the record an installer library's entry point receives,
// with this program's eight services wired in. Shared by the launch in the
// installer and by the rescue setup program.
#pragma once
#include <windows.h>

#include "quorvane_install.h"

// Fills every field but the main window, which the installer thread sets just
// before the call. The texts must outlive the call (process-wide buffers).
void fillInstallerArguments(QuorvaneInstallArgs& args, const char* productName,
                            const char* downloadRoot);

// The entry point of a loaded library, or nullptr when it does not export one.
QuorvaneInstallEntry findInstallerEntry(HMODULE library);
