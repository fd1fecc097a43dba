#include "services/main_window.h"

HWND g_mainWindow = nullptr;
