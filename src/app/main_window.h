// The main installer window, recorded when it opens: owner of the engine's boxes
// and of the transport's error boxes.
#pragma once
#include <windows.h>

extern HWND g_mainWindow;
