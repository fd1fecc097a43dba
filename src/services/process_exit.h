// How the process ends: its exit codes, and the one way out for every layer.
//
// Exit and close terminate worker threads wherever they are: inside the heap, the
// loader, a message box or the HTTP client. A lock such a thread held is never
// released, so the usual orderly exit (window destruction, library detach) could
// block for ever. The guard is a thread started at start-up, before any worker
// exists; once armed it ends the process with the given code if the orderly way has
// not done so in time. It needs neither the heap nor the loader to do that.
#pragma once
#include <windows.h>

// The exit codes of the whole process.
enum ExitCode : UINT {
  kExitClosed = 0,            // the main window was closed; start-up gave up before any dialog
  kExitStopped = 1,           // the main window's Exit button; an update declined
  kExitRunEnded = 0x200,      // the installer library has returned, whatever its result
  kExitAborted = 0xFFFFFFFF,  // -1: a wizard page left; no install descriptor or manifest
};

// How long the orderly exit may take before the guard ends the process.
constexpr DWORD kOrderlyExitLimitMs = 5000;

// Starts the guard thread (once); call before any worker thread exists.
void startExitGuard();
// From now on the process ends with `code` within `milliseconds` at the latest.
void armExitGuard(ExitCode code, DWORD milliseconds);
// Whether the guard has been armed: the process is on its way out, and a worker that
// another thread ended was ended on purpose.
bool processEnding();

// Ends the process with `code` the orderly way (ExitProcess), with the guard armed
// in case another thread was stopped inside a lock that the exit needs.
[[noreturn]] void endProcess(ExitCode code);
// Ends the process at once with `code`, without running any library's detach
// code: the way out once a worker thread has been terminated.
[[noreturn]] void endProcessNow(ExitCode code);
