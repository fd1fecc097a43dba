/* A library that exports no "quorvane_install2": the launch must say so. */
#include <windows.h>

__declspec(dllexport) int QUORVANE_CALLED_SOMETHING_ELSE(void) { return 1; }
