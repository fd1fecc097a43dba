#include "app/main_window.h"

HWND g_mainWindow = nullptr;
