// Ending the process after worker threads have been terminated.
//
// Exit and close terminate worker threads wherever they are: inside the heap, the
// loader, a message box or the HTTP client. A lock such a thread held is never
// released, so the usual orderly exit (window destruction, library detach) could
// block for ever. The guard is a thread started at start-up, before any worker
// exists; once armed it ends the process with the given code if the orderly way has
// not done so in time. It needs neither the heap nor the loader to do that.
#pragma once
#include <windows.h>

// Starts the guard thread (once); call before any worker thread exists.
void startExitGuard();
// From now on the process ends with `exitCode` within `milliseconds` at the latest.
void armExitGuard(UINT exitCode, DWORD milliseconds);
// Ends the process at once with `exitCode`, without running any library's detach
// code: the way out once a worker thread has been terminated.
[[noreturn]] void endProcessNow(UINT exitCode);
