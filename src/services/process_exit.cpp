#include "services/process_exit.h"

#include <atomic>

#include "win32/handles.h"

namespace {
HANDLE g_armed = nullptr;  // manual-reset event, signalled when armed; lives as long as the process
std::atomic<UINT> g_exitCode{0};
std::atomic<DWORD> g_delay{0};
std::atomic<bool> g_ending{false};

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
  KernelHandle thread(CreateThread(nullptr, 0, &guardThread, nullptr, 0, nullptr));
}

void armExitGuard(ExitCode code, DWORD milliseconds) {
  g_exitCode.store(code);
  g_delay.store(milliseconds);
  g_ending.store(true);
  if (g_armed) SetEvent(g_armed);
}

bool processEnding() { return g_ending.load(); }

void endProcess(ExitCode code) {
  armExitGuard(code, kOrderlyExitLimitMs);
  ExitProcess(code);
}

void endProcessNow(ExitCode code) {
  TerminateProcess(GetCurrentProcess(), code);
  ExitProcess(code);  // not reached; keeps the compiler sure this does not return
}
