#include "app/exit_guard.h"

#include <atomic>

namespace {
HANDLE g_armed = nullptr;  // manual-reset event, signalled when armed
std::atomic<UINT> g_exitCode{0};
std::atomic<DWORD> g_delay{0};

DWORD WINAPI guardThread(LPVOID) {
  WaitForSingleObject(g_armed, INFINITE);
  Sleep(g_delay.load());
  TerminateProcess(GetCurrentProcess(), g_exitCode.load());
  return 0;
}
}  // namespace

void startExitGuard() {
  if (g_armed) return;
  g_armed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = CreateThread(nullptr, 0, &guardThread, nullptr, 0, nullptr);
  if (thread) CloseHandle(thread);
}

void armExitGuard(UINT exitCode, DWORD milliseconds) {
  g_exitCode.store(exitCode);
  g_delay.store(milliseconds);
  if (g_armed) SetEvent(g_armed);
}

void endProcessNow(UINT exitCode) {
  TerminateProcess(GetCurrentProcess(), exitCode);
  ExitProcess(exitCode);  // not reached; keeps the compiler sure this does not return
}
