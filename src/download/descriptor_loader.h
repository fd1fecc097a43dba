// Loads the install descriptor from raw data resource 455 of the program's module,
// or from "setup.ini" in the current directory (after the "Ini taked" warning).
#pragma once

// Loads the descriptor text into g_descriptorText/g_descriptorLength if none is
// loaded yet. With no descriptor: "Failure loading header" and exit code -1.
void loadInstallDescriptor();
