#include "engine/engine_state.h"

HWND g_consoleWindow = nullptr;
chinstall* g_progressControl = nullptr;
unsigned char g_installMode = 0;

std::atomic<HANDLE> g_downloadThread{nullptr};
std::atomic<HANDLE> g_installerThread{nullptr};
std::atomic<HANDLE> g_singleFileThread{nullptr};

const char* g_supportAddress = VELMORIN_SUPPORT_ADDRESS;
