// The program's main window, recorded when it opens (the main installer window, or
// the rescue setup's window): owner of the engine's boxes and of the transport's
// error boxes.
#pragma once
#include <windows.h>

extern HWND g_mainWindow;
